#include "platform/freedesktop_notifier_unix.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kDefaultAction = QStringLiteral("default");
constexpr int kShowMilliseconds = 10000;

}  // namespace

FreedesktopNotifier::FreedesktopNotifier(const QDBusConnection& bus, QObject* parent)
    : DesktopNotifier(parent), m_bus(bus) {
    if (!m_bus.isConnected()) return;
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
}

bool FreedesktopNotifier::notify(const QString& appName, const QString& summary, const QString& body) {
    if (!m_bus.isConnected()) return false;
    QDBusConnectionInterface* daemon = m_bus.interface();
    if (!daemon || !daemon->isServiceRegistered(kService).value()) return false;

    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // The default action is what a click on the bubble invokes; its caption shows where a desktop lists
    // the actions as buttons.
    const QStringList actions{kDefaultAction, QStringLiteral("보기")};
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(uchar(1)));
    call << appName << m_lastId << QString() << summary << body << actions << hints << kShowMilliseconds;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<uint> reply = *w;
        if (!reply.isError()) m_lastId = reply.value();
        w->deleteLater();
    });
    return true;
}

void FreedesktopNotifier::onActionInvoked(uint id, const QString& actionKey) {
    if (id != 0 && id == m_lastId && actionKey == kDefaultAction) emit activated();
}

void FreedesktopNotifier::onClosed(uint id, uint /*reason*/) {
    // A closed notice is not replaced: the next one gets an id of its own.
    if (id == m_lastId) m_lastId = 0;
}

std::unique_ptr<DesktopNotifier> makeSessionNotifier() {
    return std::make_unique<FreedesktopNotifier>(QDBusConnection::sessionBus());
}
