#include "platform/dialogs.h"

#include "platform/qt_dialogs.h"

namespace {
QtDialogs& qtDialogs() {
    static QtDialogs instance;
    return instance;
}
Dialogs* g_current = nullptr;
}  // namespace

Dialogs& dialogs() {
    return g_current ? *g_current : qtDialogs();
}

void setDialogs(Dialogs* d) {
    g_current = d;
}
