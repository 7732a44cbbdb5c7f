#include "platform/freedesktop_notifier_unix.h"

#include "platform/outward_text.h"

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
// The installed icon's theme name and the desktop entry's name (share/peloraorder.desktop).
const QString kIcon = QStringLiteral("peloraorder");
const QString kDesktopEntry = QStringLiteral("peloraorder");

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
    // The desktop finds the program's name and icon through its desktop entry (peloraorder.desktop).
    hints.insert(QStringLiteral("desktop-entry"), kDesktopEntry);
    // The texts come from the order data: one short line each, as a bubble shows them.
    call << appName << m_lastId << kIcon << outward_text::noticeText(summary)
         << outward_text::noticeText(body) << actions << hints << kShowMilliseconds;
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
