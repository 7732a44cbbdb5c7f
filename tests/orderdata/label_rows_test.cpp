// An order line becoming labels without a window or a server: the split by the product's label unit, the
// remainder label, the field flags of the buyer or the product's first buyer, and the receiving date.
#include "orderdata/label_rows.h"

#include <gtest/gtest.h>

#include <optional>

using namespace orderdata;

namespace {

const QDate kToday(2031, 1, 2);
const QString kTodayText = QStringLiteral("2031년 01월 02일");
const QString kLineDate = QStringLiteral("2030년 05월 10일");

LabelOrderLine orderLine(const QString& quantity, int buyerCode) {
    LabelOrderLine line;
    line.Customer = QStringLiteral("한빛초등학교");
    line.ProductName = QStringLiteral("양파(주문)");
    line.Quantity = quantity;
    line.Vehicle = QStringLiteral("1호차");
    line.Remarks = QStringLiteral("문 앞");
    line.ReceiveDate = kLineDate;
    line.ProductCode = 1;
    line.LabelBuyerCode = buyerCode;
    return line;
}

LabelProduct onion(double labelUnit, int buyerFlags = kAllLabelFields) {
    return LabelProduct{QStringLiteral("깐양파"),
                        QStringLiteral("kg"),
                        QStringLiteral("국산"),
                        QStringLiteral("냉장"),
                        QStringLiteral("7일"),
                        QStringLiteral("라벤농산"),
                        labelUnit,
                        buyerFlags};
}

// Every label of a line carries the same texts but the quantity.
QList<LabelRowTexts> labels(const LabelRowTexts& texts, const QStringList& quantities) {
    QList<LabelRowTexts> rows;
    for (const QString& q : quantities) {
        LabelRowTexts row = texts;
        row[2] = q;
        rows.append(row);
    }
    return rows;
}

const LabelRowTexts kOnionLabel = {
    QStringLiteral("한빛초등학교"), QStringLiteral("깐양파"), QString(),
    QStringLiteral("국산"),         QStringLiteral("냉장"),   kLineDate,
    QStringLiteral("7일"),          QStringLiteral("1호차"),  QStringLiteral("라벤농산"),
    QStringLiteral("문 앞")};

struct Case {
    const char* name;
    LabelOrderLine line;
    std::optional<int> buyerFlags;
    std::optional<LabelProduct> product;
    QList<LabelRowTexts> expected;
};

}  // namespace

TEST(LabelRowsTest, SplitFlagsAndDatesOfAnOrderLine) {
    const QString kg10of35 = QStringLiteral("10kg/35kg");
    const QString half = QStringLiteral("2.5kg/7.5kg");
    const QString tenth = QStringLiteral("0.1kg/0.3kg");
    LabelOrderLine noName = orderLine(QStringLiteral("35 KG"), 0);
    noName.ReceiveDate.clear();
    LabelProduct unnamed = onion(0);
    unnamed.Name.clear();
    LabelRowTexts unnamedLabel = kOnionLabel;
    unnamedLabel[1] = QStringLiteral("양파(주문)");
    unnamedLabel[5] = kTodayText;

    const Case cases[] = {
        {"35 by 10: three full labels and the remainder", orderLine(QStringLiteral("35 KG"), 0), std::nullopt,
         onion(10), labels(kOnionLabel, {kg10of35, kg10of35, kg10of35, QStringLiteral("5kg/35kg")})},
        {"label unit 0 never splits", orderLine(QStringLiteral("35 KG"), 0), std::nullopt, onion(0),
         labels(kOnionLabel, {QStringLiteral("35kg")})},
        {"a label unit equal to the quantity gives one label", orderLine(QStringLiteral("35 KG"), 0),
         std::nullopt, onion(35), labels(kOnionLabel, {QStringLiteral("35kg")})},
        {"a negative label unit never splits", orderLine(QStringLiteral("35 KG"), 0), std::nullopt, onion(-5),
         labels(kOnionLabel, {QStringLiteral("35kg")})},
        {"7.5 by 2.5: the last label is a full one", orderLine(QStringLiteral("7.5 KG"), 0), std::nullopt,
         onion(2.5), labels(kOnionLabel, {half, half, half})},
        {"0.3 by 0.1: no float noise in the texts", orderLine(QStringLiteral("0.3 KG"), 0), std::nullopt,
         onion(0.1), labels(kOnionLabel, {tenth, tenth, tenth})},
        {"a product without a row: the line's own texts, no unit, today's date",
         orderLine(QStringLiteral("35 KG"), 0),
         std::nullopt,
         std::nullopt,
         {{QStringLiteral("한빛초등학교"), QStringLiteral("양파(주문)"), QStringLiteral("35"), QString(),
           QString(), kTodayText, QString(), QStringLiteral("1호차"), QString(), QStringLiteral("문 앞")}}},
        {"empty product values take the line's, a missing date today's", noName, std::nullopt, unnamed,
         labels(unnamedLabel, {QStringLiteral("35kg")})},
        {"buyer flags 1882: no customer, quantity, date or vehicle; bit 10 ignored",
         orderLine(QStringLiteral("35 KG"), 7),
         1882,
         onion(10),
         {{QString(), QStringLiteral("깐양파"), QStringLiteral("0kg"), QStringLiteral("국산"),
           QStringLiteral("냉장"), QString(), QStringLiteral("7일"), QString(), QStringLiteral("라벤농산"),
           QStringLiteral("문 앞")}}},
        {"flags 1019 of the product's first buyer when the line names none",
         orderLine(QStringLiteral("35 KG"), 0), std::nullopt, onion(10, 1019),
         labels(kOnionLabel, {QStringLiteral("0kg")})},
        {"the buyer's own flags win over the product's buyer's", orderLine(QStringLiteral("35 KG"), 7), 1023,
         onion(0, 1019), labels(kOnionLabel, {QStringLiteral("35kg")})},
        {"a buyer without a row prints every field", orderLine(QStringLiteral("35 KG"), 7), std::nullopt,
         onion(0, 1019), labels(kOnionLabel, {QStringLiteral("35kg")})},
    };
    for (const Case& c : cases)
        EXPECT_EQ(MakeLabelRows(c.line, c.buyerFlags, c.product, kToday), c.expected) << c.name;
}
