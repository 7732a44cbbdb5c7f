#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <memory>

// A short notice on the user's desktop outside the program's windows (the notification bubble of the
// desktop), for news that arrives while the user works elsewhere.
class DesktopNotifier : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;
    // Shows one notice. False when nobody on this desktop can show it, so the caller can try another way.
    // A later notice of the same notifier replaces the earlier one, so they never pile up.
    virtual bool notify(const QString& appName, const QString& summary, const QString& body) = 0;

signals:
    // The user clicked the notice (its default action).
    void activated();
};

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

// The notifier of the user's session bus.
std::unique_ptr<DesktopNotifier> makeSessionNotifier();
