#pragma once

#include <QString>

// How values are written into the text of a statement. Every statement of the program writes its numbers
// and its quoted texts through these two, so that the same value always reads the same way to the server.

// The number as a plain decimal: whole numbers without a decimal point ("42"), others with up to ten
// decimals and no trailing zeros ("2.5"), never in exponent notation. Codes, the only numbers the
// statements carry, are whole numbers and read exactly as they are stored.
QString SqlNumber(double number);

// The text between single quotes, made safe by SQLEscape: "'O''Brien'".
QString SqlQuoted(const QString& text);
