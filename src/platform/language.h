#pragma once

// The program speaks Korean only, whatever the language of the system it runs on: Qt's own texts (the
// buttons of the message boxes, 예/아니요/확인/취소, and the calendar's month and day names) are Korean,
// and dates and numbers follow the Korean locale (a week starts on Sunday). Called once at start by the
// program and the test programs, after the application object exists. False when Qt's Korean
// translations are not installed; the buttons then keep Qt's English texts.
bool installKoreanLanguage();
