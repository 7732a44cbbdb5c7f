#pragma once

class QWidget;

// Session switches that the window styling reads. The start-up sets them (they are session values, see
// startup/session.h); they live here because the windows of every folder style themselves at load.
// The program runs inside its development environment (never in a build).
inline bool DevMode = false;
// SetFormStyle recolours panels (true from InitApp on).
inline bool UseFormStyle = false;

// Window styling at load: the main window's icon when `setIcon`; with UseFormStyle, panels of the old
// teal and khaki backgrounds recoloured, buttons given the arrow pointer, and in development mode every
// control its name as tooltip. Panels are QFrame widgets (QLabel included) whose background is the
// palette's Window colour; a panel's caption is a QLabel's text or its "caption" property.
void SetFormStyle(QWidget* window, bool setIcon);
