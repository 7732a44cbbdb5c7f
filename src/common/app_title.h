#pragma once

#include <QString>

// The application title: the title of every box whose caller names none, and the application name of the
// program's own settings. Set once at start-up.
QString AppTitle();
void SetAppTitle(const QString& title);
