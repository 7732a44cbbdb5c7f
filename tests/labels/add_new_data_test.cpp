// Order lines becoming label rows (AddNewData) against the test server: the product's values, the label
// unit's split, the buyer's field flags and the receiving date as the window reads them. The split's rules
// case by case are tested without a server (tests/orderdata, label_rows_test).
#include "db/mysql_func.h"
#include "labels_fixture.h"
#include "orderdata/label_data.h"
#include "support/test_db.h"

using namespace labels_test;

namespace {

class AddNewDataTest : public LabelWindowTest {
protected:
    void SetUp() override {
        LabelWindowTest::SetUp();
        testdb::truncate({QStringLiteral("t_buyer"), QStringLiteral("t_product")});
        testdb::execAll({
            // Buyer 1 prints every field, 2 leaves out the quantity (bit 2), 3 the receiving date (bit 5).
            QStringLiteral("INSERT INTO t_buyer (code, mname, prnlistbyte) VALUES "
                           "(1, '라벤청과', 1023), (2, '한우리축산', 1019), (3, '똠방상회', 991)"),
            QStringLiteral(
                "INSERT INTO t_product (code, mname, unit, origin, keepway, current, maker, labelunit, "
                "c_buyer1) VALUES "
                "(1, '깐양파', 'kg', '국산', '냉장', '7일', '라벤농산', '10', 1),"
                "(2, '깐양파', 'kg', '국산', '냉장', '7일', '라벤농산', '0', 1),"
                "(3, '깐양파', 'kg', '국산', '냉장', '7일', '라벤농산', '35', 1),"
                "(4, '깐양파', 'kg', '국산', '냉장', '7일', '라벤농산', '-5', 1),"
                "(5, '대파', '단', '', '', '', '', '', 2),"
                "(6, '배추', '포기', '', '', '', '', '', 3)"),
        });
        ASSERT_TRUE(testdb::openSession());
    }
    void TearDown() override {
        DBClose();
        LabelWindowTest::TearDown();
    }

    // One order line as the main window hands it over.
    int add(int productCode, int buyerCode, const QString& quantity = QStringLiteral("35 KG")) {
        orderdata::LabelOrderLine line;
        line.Customer = QStringLiteral("한빛초등학교");
        line.ProductName = QStringLiteral("양파(주문)");
        line.Quantity = quantity;
        line.Vehicle = QStringLiteral("1호차");
        line.ReceiveDate = QStringLiteral("2030년 05월 10일");
        line.ProductCode = productCode;
        line.LabelBuyerCode = buyerCode;
        std::int32_t row = -2;
        window->AddNewData(line, row);
        return row;
    }
    QStringList rowTexts(int row) const {
        QStringList texts;
        for (int col = 2; col <= 11; ++col) texts << grid()->text(col, row);
        return texts;
    }
};

}  // namespace

TEST_F(AddNewDataTest, TheLabelUnitSplitsTheQuantityIntoLabels) {
    EXPECT_EQ(add(1, 0), 4);
    EXPECT_EQ(column(4), (QStringList{QStringLiteral("10kg/35kg"), QStringLiteral("10kg/35kg"),
                                      QStringLiteral("10kg/35kg"), QStringLiteral("5kg/35kg")}));
    // Every label of the line carries the product's values and the line's own.
    for (int row = 1; row <= 4; ++row)
        EXPECT_EQ(rowTexts(row),
                  (QStringList{QStringLiteral("한빛초등학교"), QStringLiteral("깐양파"), grid()->text(4, row),
                               QStringLiteral("국산"), QStringLiteral("냉장"),
                               QStringLiteral("2030년 05월 10일"), QStringLiteral("7일"),
                               QStringLiteral("1호차"), QStringLiteral("라벤농산"), QString()}));
}

TEST_F(AddNewDataTest, TheBuyersFlagsEmptyTheFieldsWhoseBitIsClear) {
    add(5, 2);  // 1019: no quantity
    EXPECT_EQ(grid()->text(4, 1), QStringLiteral("0단"));
    EXPECT_EQ(grid()->text(3, 1), QStringLiteral("대파"));
    add(6, 3);  // 991: no receiving date, although one was handed over
    EXPECT_EQ(grid()->text(7, 2), QString());
    EXPECT_EQ(grid()->text(4, 2), QStringLiteral("35포기"));
    // Without a buyer code the flags of the product's first buyer apply.
    add(6, 0);
    EXPECT_EQ(grid()->text(7, 3), QString());
    // A buyer code of its own wins over the product's buyer.
    add(6, 1);
    EXPECT_EQ(grid()->text(7, 4), QStringLiteral("2030년 05월 10일"));
}

TEST_F(AddNewDataTest, WithoutAProductTheRecordsOwnTextsAndTodaysDateAreUsed) {
    for (int product : {0, 999}) {  // none, and one that the database does not know
        window = std::make_unique<fBPrintLabel>();
        add(product, 0);
        EXPECT_EQ(rowTexts(1), (QStringList{QStringLiteral("한빛초등학교"), QStringLiteral("양파(주문)"),
                                            QStringLiteral("35"), QString(), QString(), TodayLabelDate(),
                                            QString(), QStringLiteral("1호차"), QString(), QString()}))
            << product;
    }
}
