// Recordset as the connection builds it from real results.
#include "db/recordset.h"
#include "db/mysql_func.h"
#include "platform/app_error.h"
#include "support/scripted_dialogs.h"
#include "support/test_db.h"

#include <gtest/gtest.h>

namespace {

class RecordsetTest : public testing::Test {
protected:
    void SetUp() override {
        testdb::exec(QStringLiteral("DROP TABLE IF EXISTS rs_a"));
        testdb::exec(QStringLiteral("DROP TABLE IF EXISTS rs_b"));
        testdb::exec(QStringLiteral("CREATE TABLE rs_a (code INT, name VARCHAR(20), optvalue VARCHAR(20))"));
        testdb::exec(QStringLiteral("CREATE TABLE rs_b (code INT, name VARCHAR(20))"));
        testdb::exec(QStringLiteral("INSERT INTO rs_a VALUES (1, 'abc   ', '  lead'), (2, '   ', NULL)"));
        testdb::exec(QStringLiteral("INSERT INTO rs_b VALUES (1, '사과')"));
        ASSERT_TRUE(testdb::openSession());
    }
    void TearDown() override { DBClose(); }

    RecordsetPtr open(const QString& sql) {
        RecordsetPtr rs;
        DBOpenRecordset(rs, sql);
        return rs;
    }
};

TEST_F(RecordsetTest, ValuesLoseTrailingSpacesKeepLeadingAndNullIsEmpty) {
    RecordsetPtr rs = open(QStringLiteral("SELECT code, name, optvalue FROM rs_a ORDER BY code"));
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(rs->Fields(QStringLiteral("name")).Value(), QStringLiteral("abc"));
    EXPECT_EQ(rs->Fields(QStringLiteral("OPTVALUE")).Value(), QStringLiteral("  lead"));
    rs->MoveNext();
    EXPECT_EQ(rs->Fields(QStringLiteral("Name")).Value(), QString());
    EXPECT_EQ(rs->Fields(2).Value(), QString());
    rs->MoveNext();
    EXPECT_TRUE(rs->Eof());
    EXPECT_THROW(rs->Fields(0).Value(), AppError);
    EXPECT_THROW(rs->Fields(QStringLiteral("nosuch")), AppError);
    EXPECT_EQ(rs->ColumnIndex(QStringLiteral("OptValue")), 2);
    try {
        rs->ColumnIndex(QStringLiteral("nosuch"));
        ADD_FAILURE() << "a missing column gave a position";
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), 3265);
    }
    rs->MoveFirst();
    EXPECT_EQ(rs->Fields(QStringLiteral("code")).Value(), QStringLiteral("1"));
}

// Long ASCII runs are copied several bytes at a time: the cut at a NUL, the hand-over to the double-byte
// decoder and the trailing blanks must land where they would byte by byte, also on a row boundary.
TEST_F(RecordsetTest, LongValuesDecodeAsByteByByte) {
    RecordsetPtr rs = open(QStringLiteral(
        "SELECT 'abcdefgh' AS v1, CONCAT('abcdefghij', UNHEX('BBE7B0FA'), ' x  ') AS v2, "
        "CONCAT('abcdefghijkl', CHAR(0), 'zz') AS v3, CONCAT(UNHEX('8C63BEE4'), CHAR(0), 'zz') AS v4, "
        "'abcdefgh        ' AS v5, CONCAT('abcdefg', UNHEX('BB')) AS v6 "
        "UNION ALL SELECT 'a', '', NULL, '12345678', '          ', '  z'"));
    ASSERT_TRUE(rs);
    const QStringList expected[] = {
        {"abcdefgh", "abcdefghij사과 x", "abcdefghijkl", "똠얌", "abcdefgh", "abcdefg\uFFFD"},
        {"a", "", "", "12345678", "", "  z"},
    };
    for (const QStringList& row : expected) {
        QStringList values;
        for (int c = 0; c < rs->FieldCount(); ++c) values << rs->Fields(c).Value();
        EXPECT_EQ(values, row);
        rs->MoveNext();
    }
    EXPECT_TRUE(rs->Eof());
}

TEST_F(RecordsetTest, DuplicateNamesAreQualifiedByTheirAlias) {
    struct Case {
        const char* sql;
        QStringList names;
    };
    const Case cases[] = {
        {"SELECT a.code, b.name FROM rs_a AS a, rs_b AS b LIMIT 1", {"code", "name"}},
        {"SELECT a.code, b.code FROM rs_a AS a, rs_b AS b LIMIT 1", {"a.code", "b.code"}},
        {"SELECT a.code, b.code, c.code FROM rs_a AS a, rs_b AS b, rs_a AS c LIMIT 1",
         {"a.code", "b.code", "code"}},
    };
    for (const Case& c : cases) {
        RecordsetPtr rs = open(QLatin1String(c.sql));
        ASSERT_TRUE(rs) << c.sql;
        QStringList names;
        for (const auto& col : rs->Columns()) names << col.name;
        EXPECT_EQ(names, c.names) << c.sql;
    }
    RecordsetPtr rs = open(QStringLiteral("SELECT d.code, o.code FROM rs_a AS d, rs_b AS o LIMIT 1"));
    EXPECT_EQ(rs->Fields(QStringLiteral("d.code")).Value(), QStringLiteral("1"));
    EXPECT_THROW(rs->Fields(QStringLiteral("code")), AppError);
}

TEST_F(RecordsetTest, NamesThatStillCoincideFailTheStatement) {
    testDialogs().answer(Dialogs::ResultOk);
    RecordsetPtr rs;
    EXPECT_EQ(DBOpenRecordset(rs, QStringLiteral("SELECT a.code, a.code FROM rs_a AS a")), -1);
    EXPECT_FALSE(rs);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 1060 (Duplicate column name")));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(DBOpenRecordset(rs, QStringLiteral("SELECT 1 AS x, 2 AS X")), -1);
}

TEST_F(RecordsetTest, EmptyResultHasItsColumnsAndStartsAtTheEnd) {
    RecordsetPtr rs;
    EXPECT_EQ(DBOpenRecordset(rs, QStringLiteral("SELECT code, name FROM rs_b WHERE code = 99")), 0);
    ASSERT_TRUE(rs);
    EXPECT_EQ(rs->RecordCount(), 0);
    EXPECT_TRUE(rs->Eof());
    EXPECT_EQ(rs->FieldCount(), 2);
    EXPECT_EQ(rs->Columns()[1].name, QStringLiteral("name"));
    EXPECT_EQ(rs->Columns()[1].size, 20);
    EXPECT_THROW(rs->Fields(QStringLiteral("name")).Value(), AppError);
}

TEST_F(RecordsetTest, CloseRecordsetReleasesOnceAndToleratesNothing) {
    RecordsetPtr rs = open(QStringLiteral("SELECT name FROM rs_b"));
    EXPECT_EQ(rs->Fields(0).Value(), QStringLiteral("사과"));
    rs->Close();
    EXPECT_EQ(rs->GetState(), Recordset::State::Closed);
    CloseRecordset(rs);
    EXPECT_FALSE(rs);
    CloseRecordset(rs);
    EXPECT_FALSE(rs);
}

// A large result's values live in a block of the record sets' pool: once the record set is closed, the
// next result of the same size gets the same memory back instead of memory mapped afresh from the system.
TEST_F(RecordsetTest, TheNextLargeResultReusesTheBlockOfTheLastOne) {
    const QString sql = QStringLiteral(
        "SELECT CONCAT(UNHEX('BBE7B0FA'), ' ', seq, REPEAT('x', seq % 50)) AS v FROM seq_1_to_20000");
    RecordsetPtr first = open(sql);
    ASSERT_TRUE(first);
    const char16_t* firstText = first->ValueAt(0, 0).utf16();
    EXPECT_EQ(first->ValueAt(19999, 0).toString(), QStringLiteral("사과 20000"));
    const std::size_t keptBefore = recordset_blocks::keptBytes();
    CloseRecordset(first);
    EXPECT_GT(recordset_blocks::keptBytes(), keptBefore);
    RecordsetPtr second = open(sql);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->ValueAt(0, 0).utf16(), firstText);
    EXPECT_EQ(second->ValueAt(0, 0).toString(), QStringLiteral("사과 1x"));
    EXPECT_EQ(recordset_blocks::keptBytes(), keptBefore);
}

TEST(CStrToText, CutsAtNulAndTrailingSpaces) {
    EXPECT_EQ(CStrToText(nullptr), QString());
    EXPECT_EQ(CStrToText("abc   "), QStringLiteral("abc"));
    EXPECT_EQ(CStrToText("   "), QString());
    EXPECT_EQ(CStrToText("ab\0cd", 5), QStringLiteral("ab"));
    EXPECT_EQ(CStrToText("\xB0\xA1 ", 3), QStringLiteral("가"));
}

}  // namespace
