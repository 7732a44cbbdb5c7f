// Texts handed to other systems (desktop notices, print job names): no control characters, bounded, never
// cut inside a character.
#include "platform/outward_text.h"
#include "platform/desktop_notifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDeadlineTimer>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

TEST(OutwardText, ControlCharactersAndLengthsAreMadeSafe) {
    EXPECT_EQ(outward_text::controlsAsBlanks(QStringLiteral("라벤\n청과\t\x01끝")),
              QStringLiteral("라벤 청과  끝"));
    EXPECT_EQ(outward_text::withoutControls(QStringLiteral("라벤\r\n청과\x07!")),
              QStringLiteral("라벤  청과!"));

    const QString emoji = QString::fromUtf8("\xF0\x9F\x8D\x8E");  // four octets, two UTF-16 units
    const struct {
        QString text;
        int bytes;
        QString expected;
    } cuts[] = {
        {QString(560, QChar(0xB2E4)), 255, QString(85, QChar(0xB2E4))},  // 다: three octets each
        {QStringLiteral("ab") + QString(3, QChar(0xB2E4)), 6, QStringLiteral("ab") + QChar(0xB2E4)},
        {QStringLiteral("abc") + emoji, 6, QStringLiteral("abc")},
        {QStringLiteral("abc") + emoji, 7, QStringLiteral("abc") + emoji},
        {QStringLiteral("short"), 255, QStringLiteral("short")},
    };
    for (const auto& c : cuts) {
        const QString cut = outward_text::cutToUtf8(c.text, c.bytes);
        EXPECT_EQ(cut, c.expected) << c.bytes;
        EXPECT_LE(cut.toUtf8().size(), c.bytes);
    }

    const QString name = QString(382, QChar(0xAC00));
    const QString notice = outward_text::noticeText(QStringLiteral("새 발주:\n") + name);
    EXPECT_EQ(notice.size(), outward_text::kNoticeCharacters);
    EXPECT_TRUE(notice.startsWith(QStringLiteral("새 발주: 가")));
    EXPECT_TRUE(notice.endsWith(QChar(0x2026)));
    EXPECT_EQ(outward_text::noticeText(QStringLiteral("짧은 알림")), QStringLiteral("짧은 알림"));
    // An ellipsis never leaves half of a pair of surrogates before it.
    const QString pairs = QString(98, u'a') + emoji + emoji;
    EXPECT_EQ(outward_text::elided(pairs, 100), QString(98, u'a') + QChar(0x2026));
}

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

#include "outward_text_test.moc"
