#pragma once

#include <QString>

// The current date and/or time as text, from the database server's clock ("SELECT NOW()") when
// fromServer is set, else from the local clock. Kind 0 "yyyymmdd hhmmss", 1 "yyyy-mm-dd", 2 "hh:nn",
// 3 "yyyy-mm-dd hh:mm:ss" (hours 00 to 23); any other kind gives the empty text.
QString GetNowText(bool fromServer, int kind);
