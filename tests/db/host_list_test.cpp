// The address text of the order database: one server as always, or a list of servers.
#include "db/host_list.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

QString described(const DBHostList& list) {
    if (!list.ok()) return QStringLiteral("error");
    QStringList names;
    for (const DBEndpoint& e : list.hosts) names << e.host + QLatin1Char('|') + QString::number(e.port);
    return names.join(QLatin1Char(' '));
}

TEST(HostList, ReadsOneServerOrAListInItsOrder) {
    struct Case {
        QString text;
        QString hosts;
    };
    const Case cases[] = {
        {QStringLiteral("10.0.0.5"), QStringLiteral("10.0.0.5|3306")},
        {QStringLiteral("localhost"), QStringLiteral("localhost|3306")},
        {QString(), QStringLiteral("|3306")},  // the library's default host, as before
        {QStringLiteral("db.example.com:3307"), QStringLiteral("db.example.com|3307")},
        {QStringLiteral("10.0.0.5,10.0.0.6:3307"), QStringLiteral("10.0.0.5|3306 10.0.0.6|3307")},
        {QStringLiteral(" b , a:1 ,c:65535"), QStringLiteral("b|3306 a|1 c|65535")},
        {QStringLiteral("fe80::1,[::1]:3310"), QStringLiteral("fe80::1|3306 ::1|3310")},
        {QStringLiteral("db_1.local-net"), QStringLiteral("db_1.local-net|3306")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(described(ParseHostList(c.text, 3306)), c.hosts) << c.text.toStdString();
}

TEST(HostList, GarbageGivesOneSentenceAndNoHosts) {
    struct Case {
        QString text;
        QString errorStart;
    };
    const Case cases[] = {
        {QStringLiteral("a,,b"), QStringLiteral("서버 주소 목록에 빈 항목이 있습니다.")},
        {QStringLiteral("a,"), QStringLiteral("서버 주소 목록에 빈 항목이 있습니다.")},
        {QStringLiteral(",a"), QStringLiteral("서버 주소 목록에 빈 항목이 있습니다.")},
        {QStringLiteral("a:0"), QStringLiteral("포트는 1부터 65535 사이의 숫자여야 합니다: a:0")},
        {QStringLiteral("a:65536"), QStringLiteral("포트는 1부터 65535 사이의 숫자여야 합니다: a:65536")},
        {QStringLiteral("a:-1"), QStringLiteral("포트는 1부터 65535 사이의 숫자여야 합니다")},
        {QStringLiteral("a:33o6"), QStringLiteral("포트는 1부터 65535 사이의 숫자여야 합니다")},
        {QStringLiteral("a:"), QStringLiteral("포트는 1부터 65535 사이의 숫자여야 합니다")},
        {QStringLiteral(":3306"), QStringLiteral("서버 주소가 빠진 항목이 있습니다")},
        {QStringLiteral("db server"), QStringLiteral("서버 주소에 쓸 수 없는 문자가 있습니다: db server")},
        {QStringLiteral("a;b"), QStringLiteral("서버 주소에 쓸 수 없는 문자가 있습니다")},
        {QStringLiteral("host\r\n"), QStringLiteral("서버 주소에 쓸 수 없는 문자가 있습니다")},
        {QStringLiteral("[::1"), QStringLiteral("서버 주소의 형식이 잘못되었습니다")},
        {QStringLiteral("[::1]x"), QStringLiteral("서버 주소의 형식이 잘못되었습니다")},
        {QStringLiteral("a,").repeated(2500), QStringLiteral("서버 주소가 너무 깁니다. 1000자 이내로")},
    };
    for (const Case& c : cases) {
        const DBHostList list = ParseHostList(c.text, 3306);
        EXPECT_TRUE(list.hosts.empty()) << c.text.toStdString();
        EXPECT_TRUE(list.error.startsWith(c.errorStart)) << list.error.toStdString();
    }
}

TEST(HostDenyList, AFailedServerIsDeniedForAWhileAndAllowedAgainOnSuccess) {
    host_deny_list::clear();
    const DBEndpoint a{QStringLiteral("DB1"), 3306}, sameButCased{QStringLiteral("db1"), 3306},
        otherPort{QStringLiteral("db1"), 3307};
    host_deny_list::deny(a);
    EXPECT_TRUE(host_deny_list::denied(sameButCased));
    EXPECT_FALSE(host_deny_list::denied(otherPort));
    host_deny_list::allow(a);
    EXPECT_FALSE(host_deny_list::denied(a));
    host_deny_list::setSeconds(0);  // an entry whose time is up is gone
    host_deny_list::deny(a);
    EXPECT_FALSE(host_deny_list::denied(a));
    host_deny_list::setSeconds(host_deny_list::kDefaultSeconds);
}

}  // namespace
