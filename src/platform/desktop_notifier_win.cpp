#include "platform/desktop_notifier.h"

// Windows has no notification service to call beside the tray: the main window's tray balloon shows it.
std::unique_ptr<DesktopNotifier> makeSessionNotifier() {
    return nullptr;
}
