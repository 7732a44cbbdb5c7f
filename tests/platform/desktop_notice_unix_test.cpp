// The desktop notice on Linux: what the session's notification service receives.
#include "platform/freedesktop_notifier_unix.h"
#include "platform/outward_text.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

// The desktop's notification service as the notifier meets it: records each Notify call.
class NotificationService : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QString icon, summary, body;
    QVariantMap hints;
    int calls = 0;

public slots:
    uint Notify(const QString&, uint, const QString& appIcon, const QString& summaryText,
                const QString& bodyText, const QStringList&, const QVariantMap& hintMap, int) {
        icon = appIcon;
        summary = summaryText;
        body = bodyText;
        hints = hintMap;
        ++calls;
        return 7;
    }
};

// The notice carries the program's icon and desktop entry, and a customer name of any length arrives as
// one bounded line.
TEST(OutwardText, TheDesktopNoticeIsBoundedAndNamesTheProgram) {
    QProcess daemon;
    daemon.start(
        QStringLiteral("dbus-daemon"),
        {QStringLiteral("--session"), QStringLiteral("--print-address"), QStringLiteral("--nofork")});
    ASSERT_TRUE(daemon.waitForStarted(5000) && daemon.waitForReadyRead(5000));
    const QString address = QString::fromUtf8(daemon.readLine()).trimmed();
    {
        NotificationService service;
        QDBusConnection serviceBus = QDBusConnection::connectToBus(address, QStringLiteral("service"));
        ASSERT_TRUE(serviceBus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                              QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(serviceBus.registerService(QStringLiteral("org.freedesktop.Notifications")));
        FreedesktopNotifier notifier(QDBusConnection::connectToBus(address, QStringLiteral("program")));
        const QString customer = QStringLiteral("라벤\n청과\t") + QString(382, QChar(0xAC00));
        ASSERT_TRUE(notifier.notify(QStringLiteral("펠로라푸드주문서"),
                                    QStringLiteral("새 발주 1건: ") + customer, customer));
        const QDeadlineTimer deadline(5000);
        while (service.calls == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_EQ(service.calls, 1);
        EXPECT_EQ(service.icon, QStringLiteral("peloraorder"));
        EXPECT_EQ(service.hints.value(QStringLiteral("desktop-entry")).toString(),
                  QStringLiteral("peloraorder"));
        for (const QString& text : {service.summary, service.body}) {
            EXPECT_LE(text.size(), outward_text::kNoticeCharacters);
            EXPECT_TRUE(text.endsWith(QChar(0x2026)));
            for (const QChar c : text) EXPECT_NE(c.category(), QChar::Other_Control) << text.toStdString();
        }
        EXPECT_TRUE(service.summary.startsWith(QStringLiteral("새 발주 1건: 라벤 청과 가")));
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("service"));
    QDBusConnection::disconnectFromBus(QStringLiteral("program"));
    daemon.terminate();
    daemon.waitForFinished(5000);
}

}  // namespace

#include "desktop_notice_unix_test.moc"
