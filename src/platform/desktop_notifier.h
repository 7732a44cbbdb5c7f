#pragma once

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

// The notifier of the user's desktop session: the freedesktop notification service of the session bus on
// Linux (freedesktop_notifier_unix.h); none on Windows, where the main window's tray balloon shows the news.
std::unique_ptr<DesktopNotifier> makeSessionNotifier();
