#pragma once

#include <QFont>
#include <QIcon>

// How the program's windows look on any desktop, set once at start (after the font substitutes):
// - one font for every window, menu and box: 굴림 9 pt as the window layouts name it (the Nanum fonts
//   stand in for it), so that Latin letters and digits are drawn in the same family and size as the
//   Hangul beside them, not in the desktop's Western font that is larger than the Hangul fallback;
// - the application icon as the icon of every window.
void applyDesktopLook();

// The font of every window, menu and box.
QFont screenFont();
// The application icon, in the sizes a desktop asks for (the same picture the .desktop entry names).
QIcon applicationIcon();
