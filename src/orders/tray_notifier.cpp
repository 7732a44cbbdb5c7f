#include "orders/tray_notifier.h"

#include "platform/outward_text.h"

#include <QSystemTrayIcon>
#include <QWidget>

NotifierWithTray::NotifierWithTray(std::unique_ptr<DesktopNotifier> service, QWidget* window)
    : m_service(std::move(service)), m_window(window) {
    if (m_service) connect(m_service.get(), &DesktopNotifier::activated, this, &DesktopNotifier::activated);
}

NotifierWithTray::~NotifierWithTray() = default;

bool NotifierWithTray::notify(const QString& appName, const QString& summary, const QString& body) {
    if (m_service && m_service->notify(appName, summary, body)) return true;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) return false;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(m_window->windowIcon(), this);
        m_tray->setToolTip(appName);
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, &DesktopNotifier::activated);
        connect(m_tray, &QSystemTrayIcon::activated, this, &DesktopNotifier::activated);
    }
    m_tray->show();
    m_tray->showMessage(outward_text::noticeText(summary), outward_text::noticeText(body),
                        QSystemTrayIcon::Information, 10000);
    return true;
}
