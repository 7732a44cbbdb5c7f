#pragma once

#include "platform/desktop_notifier.h"

#include <QDBusConnection>

// The desktop's notification service (org.freedesktop.Notifications) on a D-Bus connection: the session
// bus in the program. The call is sent without waiting for its answer, so a slow service never holds the
// window; the answer's notice id is kept to recognise the click on this notifier's own notice.
class FreedesktopNotifier : public DesktopNotifier {
    Q_OBJECT

public:
    explicit FreedesktopNotifier(const QDBusConnection& bus, QObject* parent = nullptr);
    bool notify(const QString& appName, const QString& summary, const QString& body) override;

private slots:
    void onActionInvoked(uint id, const QString& actionKey);
    void onClosed(uint id, uint reason);

private:
    QDBusConnection m_bus;
    uint m_lastId = 0;
};
