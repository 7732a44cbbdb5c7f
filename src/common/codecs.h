#pragma once

#include <QString>

// The two codecs that carry values through the settings store and the hand-over with the launcher. The
// launcher reads and writes exactly these forms, quirks included, so they must not be "corrected".

// Standard base64 (alphabet A-Z a-z 0-9 + /, "=" padding, no line breaks) of the text's bytes, one byte
// per character (Latin-1). A character above 255 shows the procedure error report for EncodeStr and gives
// the empty text.
QString EncodeStr(const QString& text);
// The inverse of EncodeStr, one character per byte. A character outside the alphabet and "=" (spaces and
// line breaks too) shows the procedure error report for DecodeStr and gives the empty text. A trailing
// group of fewer than four characters is ignored; padding shortens only the group it stands in.
QString DecodeStr(const QString& text);

// The text as hexadecimal UTF-16 code units, four upper-case digits each: code units below 0x10 and from
// 0x100 up come out low byte first ("0A00", "01AC" for U+AC01), those from 0x10 to 0xFF high byte first
// ("0041" for "A").
QString EncodeUniCode(const QString& text);
// Reads that form back: "0D0A" is a line break (CR LF); a group not beginning with "00" is low byte
// first; a group beginning with "00" names the ASCII character of its last two digits when that is a
// letter, digit or accepted punctuation (not the backtick), otherwise it is read low byte first.
QString DecodeUniCode(const QString& text);
