#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// What the label window reads from the order database for one order line: the field flags of the buyer
// and the product's label values. Plain values; the label rows are made from them by MakeLabelRows.
namespace orderdata {

// One order line as the main window hands it to the label window.
struct LabelOrderLine {
    QString Customer;     // ordering customer's name
    QString ProductName;  // product name
    QString Quantity;     // leading number, a blank and the order line's unit ("35 KG")
    QString Origin;       // country or region of origin
    QString Storage;      // storage method
    QString ReceiveDate;  // "yyyy년 mm월 dd일"
    QString Expiry;       // shelf life text
    QString Vehicle;      // delivery vehicle
    QString Maker;        // manufacturer
    QString Remarks;
    std::int32_t ProductCode = 0;     // t_product.code, 0 = none
    std::int32_t LabelBuyerCode = 0;  // t_buyer.code, 0 = none
};

// The product's row as the labels use it, with the field flags of its first buyer.
struct LabelProduct {
    QString Name;           // mname
    QString Unit;           // unit
    QString Origin;         // origin
    QString Storage;        // keepway
    QString Expiry;         // current
    QString Maker;          // maker
    double LabelUnit = 0;   // labelunit: the quantity of one label; 0 or below never splits
    int BuyerFlags = 1023;  // prnlistbyte of the first buyer (c_buyer1), rounded
};

// The statements, built as the label window has always sent them.
QString LabelBuyerSql(std::int32_t buyerCode);
QString LabelProductSql(std::int32_t productCode);

// The field flags (prnlistbyte, rounded to the nearest whole number) of the buyer; none when the buyer has
// no row. A failing statement raises AppError.
std::optional<int> ReadLabelBuyerFlags(std::int32_t buyerCode);
// The product's label values; none when the product has no row (or its first buyer none). A failing
// statement raises AppError.
std::optional<LabelProduct> ReadLabelProduct(std::int32_t productCode);

}  // namespace orderdata
