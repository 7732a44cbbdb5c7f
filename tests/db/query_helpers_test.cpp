// The session helpers and the options table.
#include "db/mysql_func.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

namespace {

class HelpersTest : public testing::Test {
protected:
    void SetUp() override {
        testdb::truncate({QStringLiteral("options")});
        ASSERT_TRUE(testdb::openSession());
    }
    void TearDown() override { DBClose(); }
    QString optionRows(const QString& name) {
        return testdb::scalar(
            QStringLiteral("SELECT COUNT(*) FROM options WHERE optname = '%1'").arg(SQLEscape(name)));
    }
};

TEST_F(HelpersTest, GetOptionInsertsAMissingNameOnce) {
    EXPECT_EQ(GetOption(QStringLiteral("orderver"), QString()), QString());
    EXPECT_EQ(optionRows(QStringLiteral("orderver")), QStringLiteral("1"));
    EXPECT_EQ(testdb::scalar(QStringLiteral("SELECT optvalue FROM options")), QString());
    testdb::exec(QStringLiteral("UPDATE options SET optvalue = '19' WHERE optname = 'orderver'"));
    EXPECT_EQ(GetOption(QStringLiteral("orderver"), QString()), QStringLiteral("19"));
    EXPECT_EQ(optionRows(QStringLiteral("orderver")), QStringLiteral("1"));
}

TEST_F(HelpersTest, OptionNamesAndValuesAreEscaped) {
    const QString name = QStringLiteral("it's\\name");
    const QString value = QStringLiteral("O'Brien 값\\");
    EXPECT_TRUE(SetOption(name, value));
    EXPECT_EQ(optionRows(name), QStringLiteral("1"));
    EXPECT_EQ(GetOption(name, QStringLiteral("x")), value);
    EXPECT_TRUE(SetOption(name, QStringLiteral("두번째")));
    EXPECT_EQ(GetOption(name, QString()), QStringLiteral("두번째"));
    EXPECT_EQ(optionRows(name), QStringLiteral("1"));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(HelpersTest, GetOptionOnAFailedStatementReportsAndReturnsTheDefault) {
    testdb::exec(QStringLiteral("RENAME TABLE options TO options_away"));
    testDialogs().answer(Dialogs::ResultOk);  // the statement's own box
    testDialogs().answer(Dialogs::ResultOk);  // the error report
    const QString value = GetOption(QStringLiteral("orderver"), QStringLiteral("7"));
    testdb::exec(QStringLiteral("RENAME TABLE options_away TO options"));
    EXPECT_EQ(value, QStringLiteral("7"));
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    const auto& report = testDialogs().last();
    EXPECT_EQ(report.title, QStringLiteral("오류"));
    EXPECT_EQ(report.icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(report.text.startsWith(
        QStringLiteral("프로그램 수행도중 오류가 발생했습니다.\r\n오류번호 : 1146\r\n오류내용 : ")))
        << report.text.toStdString();
}

TEST_F(HelpersTest, CountsAndSingleValues) {
    testdb::exec(QStringLiteral("INSERT INTO options VALUES ('a', '1'), ('b', '2')"));
    RecordsetPtr rs;
    EXPECT_EQ(DBOpenRecordset(rs, QStringLiteral("SELECT * FROM options")), 2);
    CloseRecordset(rs);
    EXPECT_EQ(DBExecute(QStringLiteral("UPDATE options SET optvalue = '1' WHERE optname = 'a'")), 0);
    EXPECT_EQ(DBExecute(QStringLiteral("UPDATE options SET optvalue = '9' WHERE optname = 'zz'")), 0);
    EXPECT_EQ(DBExecute(QStringLiteral("UPDATE options SET optvalue = '9'")), 2);
    EXPECT_EQ(DBGetValue(QStringLiteral("SELECT COUNT(*) FROM options WHERE optname = 'zz'")),
              QStringLiteral("0"));
    EXPECT_EQ(DBGetValue(QStringLiteral("SELECT optvalue FROM options WHERE optname = 'zz'")), QString());
}

TEST(SQLEscape, Cases) {
    struct Case {
        QString in, out;
    };
    const Case cases[] = {
        {QStringLiteral("plain"), QStringLiteral("plain")},
        {QStringLiteral("a'b\\c"), QStringLiteral("a''b\\\\c")},
        {QStringLiteral("''"), QStringLiteral("''''")},
        {QString::fromUtf16(u"ab\0cd'", 6), QStringLiteral("ab")},
        {QStringLiteral("사과'"), QStringLiteral("사과''")},
        {QString(), QString()},
    };
    for (const Case& c : cases) EXPECT_EQ(SQLEscape(c.in), c.out) << c.in.toStdString();
}

}  // namespace
