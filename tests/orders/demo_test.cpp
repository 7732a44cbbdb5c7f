// The demo data that scripts/demo loads: tomorrow always has directions of every kind to show.
#include "orders_fixture.h"

#include <QFile>

#include <set>

namespace orders_test {
namespace {

// The demo file's statements: UTF-8 text, each ending with a semicolon at the end of a line. They reach
// the server as code page 949 bytes, as scripts/demo sends them.
QString demoPath() {
    return testdb::sourcePath(QStringLiteral("db/demo.sql"));
}

QStringList demoStatements() {
    QFile file(demoPath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    QStringList statements;
    QString current;
    for (const QString& line : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
        if (line.trimmed().startsWith(QStringLiteral("--")) || line.trimmed().isEmpty()) continue;
        current += line + QLatin1Char('\n');
        if (line.trimmed().endsWith(QLatin1Char(';'))) {
            statements << current.trimmed().chopped(1);
            current.clear();
        }
    }
    return statements;
}

class DemoTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        testdb::truncate(kOrderTables + QStringList{QStringLiteral("options")});
        const QStringList statements = demoStatements();
        ASSERT_GT(statements.size(), 5);
        testdb::execAll(statements);
        BuyerCode = 1;  // ADMIN's buyer
    }
    void TearDown() override {
        OrdersTest::TearDown();
        testdb::truncate(kOrderTables + QStringList{QStringLiteral("options")});
    }
};

TEST_F(DemoTest, TomorrowListsDirectionsOfEveryKindAndAnAdvanceOrderFollows) {
    frmMain& w = open();  // the window lists tomorrow's deliveries as it loads
    std::set<QString> kinds;
    for (const QString& kind : column(w.spListO(), 5)) kinds.insert(kind);
    EXPECT_EQ(kinds, (std::set<QString>{"선발", "리드", "추가", "재고"}));
    EXPECT_GT(w.spList()->maxRows(), 0) << "the first direction has lines";

    query(QStringLiteral("납품일"), w.DateText(), true);
    ASSERT_GT(w.spListO()->maxRows(), 0);
    for (const QString& kind : column(w.spListO(), 5)) EXPECT_EQ(kind, QStringLiteral("선발"));

    // The demo account logs in with the first-login hint and is admitted.
    EXPECT_EQ(testdb::scalar(
                  QStringLiteral("SELECT COUNT(*) FROM local_user WHERE loginid = 'ADMIN' AND loginpwd = '' "
                                 "AND branch = 2 AND c_buyer = 1")),
              QStringLiteral("1"));
    // One text holds 똠, which plain EUC-KR lacks.
    EXPECT_EQ(testdb::scalar(QStringLiteral("SELECT COUNT(*) FROM t_product WHERE mname LIKE '똠%'")),
              QStringLiteral("1"));
}

}  // namespace
}  // namespace orders_test
