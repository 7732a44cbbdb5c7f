#pragma once

#include "platform/desktop_notifier.h"

#include <memory>

class QSystemTrayIcon;
class QWidget;

// The desktop's notification service first, and where it has none (no such service on the session bus,
// or no session bus at all) a balloon message of a tray icon that appears for it.
class NotifierWithTray : public DesktopNotifier {
public:
    // `window` gives the tray icon its picture.
    NotifierWithTray(std::unique_ptr<DesktopNotifier> service, QWidget* window);
    ~NotifierWithTray() override;
    bool notify(const QString& appName, const QString& summary, const QString& body) override;

private:
    std::unique_ptr<DesktopNotifier> m_service;
    QWidget* m_window;
    QSystemTrayIcon* m_tray = nullptr;
};
