#pragma once

#include "orderdata/label_data.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <optional>

// The labels of one order line, made from the line and what was read for it: no window, no database.
namespace orderdata {

// The ten texts of one label in the order of the label grid's columns 2 to 11: customer, product name,
// quantity, origin, storage, receiving date, expiry, vehicle, maker, remarks. Bit i of a field-flag value
// stands for text i.
inline constexpr int kLabelFieldCount = 10;
using LabelRowTexts = std::array<QString, kLabelFieldCount>;
// Every field printed.
inline constexpr int kAllLabelFields = 1023;

// A date as the labels write a receiving date: "yyyy년 mm월 dd일"; an invalid date gives the empty text.
QString LabelDate(const QDate& date);

// The labels of the order line, in order:
// - with a product row, its name, origin, storage, expiry and maker, and the line's customer, quantity,
//   receiving date and vehicle; a text still empty takes the line's own, the receiving date today's;
// - the flags are the buyer's (when the line names a buyer and it has a row), else, without a buyer code,
//   those of the product's first buyer, else all fields; a clear bit among 0 to 9 empties its text;
// - a label unit above zero and below the quantity splits the line into labels of that unit, the last
//   carrying what remains ("10kg/35kg" ... "5kg/35kg"); otherwise one label with the quantity ("35kg").
//   The unit is the product's, empty without a product row.
QList<LabelRowTexts> MakeLabelRows(const LabelOrderLine& line, const std::optional<int>& buyerFlags,
                                   const std::optional<LabelProduct>& product, const QDate& today);

}  // namespace orderdata
