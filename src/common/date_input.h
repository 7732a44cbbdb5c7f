#pragma once

#include <QDate>
#include <QString>

// Reads a date as users type it into a date box: "20261211", "2026-12-11", "2026.12.11", "2026/12/11",
// "2026. 12. 11." and "261211" or "26-12-11" (years 2000 to 2099), and "12-11", "12.11" or "1211" for a
// day of the year of `today`. Blanks around the text are ignored. An invalid date when the text is none
// of these or names no day of the calendar (2026-02-30, 1399).
QDate ParseDateInput(const QString& typed, const QDate& today);

// A stored date, "yyyy-MM-dd" as the server sends a DATE (a time may follow), read by hand: a list of
// 1,000 directions shows 2,000 of them, and Qt's general format parser would cost more than the rest of
// loading the list. An invalid date when the first ten characters are no such date.
QDate StoredDate(QStringView text);
