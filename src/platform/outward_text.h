#pragma once

#include <QString>

// Texts that leave the program for another system (the desktop's notices, the print service's job names)
// come from the database and may hold anything: line breaks and tabs that split the other system's log
// lines, control characters, and lengths it cuts or refuses. These helpers make them safe to hand over.
namespace outward_text {

// Line breaks, tabs and every other control character as one blank each.
QString controlsAsBlanks(const QString& text);
// Control characters dropped, line breaks and tabs as a blank (so that words stay apart).
QString withoutControls(const QString& text);
// At most `bytes` octets of UTF-8, cut at a character's edge (never inside a character or a pair of
// surrogates).
QString cutToUtf8(const QString& text, int bytes);
// At most `characters` characters, the last one an ellipsis "…" when the text was longer; a pair of
// surrogates is never split.
QString elided(const QString& text, int characters);

// The desktop notice's summary and body: no control characters, about one line of a bubble.
inline constexpr int kNoticeCharacters = 100;
inline QString noticeText(const QString& text) {
    return elided(withoutControls(text), kNoticeCharacters);
}

// A print job's name: one line, within the print service's limit for a job name (IPP job-name, 255
// octets).
inline constexpr int kJobNameBytes = 255;

}  // namespace outward_text
