#pragma once

#include <QString>

#include <cstdint>

// The hand-over of one order line from the main window to the label window: the main window fills
// gLabelData, the label window's AddNewData turns it into label rows and resets it.
struct LabelData {
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

    // Empty texts, zero codes.
    void Reset() { *this = LabelData(); }
};

// The one instance.
inline LabelData gLabelData;
