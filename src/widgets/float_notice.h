#pragma once

#include <QString>

class QWidget;

// The floating notice: a short text in a small frameless tool window that shows for a moment and goes,
// without taking the focus from the window the user works in.
namespace float_notice {

// Shows `text` for `durationMs` milliseconds near the centre of the active window (or the screen). A newer
// notice replaces one still showing.
void show(const QString& text, int durationMs);
// The notice on screen, null when none.
QWidget* current();

}  // namespace float_notice
