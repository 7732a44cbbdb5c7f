// The split of an order line into labels, the field flags and the dates.
#include "orderdata/label_rows.h"

#include "common/text_helpers.h"

#include <QLocale>

#include <cmath>

namespace orderdata {

namespace {

enum Field { Customer, ProductName, Quantity, Origin, Storage, ReceiveDate, Expiry, Vehicle, Maker, Remarks };

// A quantity as the labels write it: the shortest decimal form, without the last digits' float noise
// that repeated subtraction of a fractional label unit leaves.
QString quantityText(double value) {
    return QLocale::c().toString(std::round(value * 1e9) / 1e9, 'f', QLocale::FloatingPointShortest);
}

// The texts before the split: the product's values over the line's own, today as the missing date.
LabelRowTexts labelTexts(const LabelOrderLine& line, const std::optional<LabelProduct>& product,
                         const QDate& today) {
    LabelRowTexts v;
    if (product) {
        v[ProductName] = product->Name;
        v[Origin] = product->Origin;
        v[Storage] = product->Storage;
        v[Expiry] = product->Expiry;
        v[Maker] = product->Maker;
        v[Customer] = line.Customer;
        v[Quantity] = line.Quantity;
        v[ReceiveDate] = line.ReceiveDate;
        v[Vehicle] = line.Vehicle;
    }
    // The line's receiving date is used only with a product row; without one the label is dated today.
    const QString own[kLabelFieldCount] = {line.Customer, line.ProductName, line.Quantity, line.Origin,
                                           line.Storage,  LabelDate(today), line.Expiry,   line.Vehicle,
                                           line.Maker,    line.Remarks};
    for (int i = 0; i < kLabelFieldCount; ++i)
        if (v[size_t(i)].isEmpty()) v[size_t(i)] = own[i];
    return v;
}

int flagsFor(const LabelOrderLine& line, const std::optional<int>& buyerFlags,
             const std::optional<LabelProduct>& product) {
    if (line.LabelBuyerCode != 0) return buyerFlags.value_or(kAllLabelFields);
    return product ? product->BuyerFlags : kAllLabelFields;
}

}  // namespace

QString LabelDate(const QDate& date) {
    return date.isValid() ? date.toString(QStringLiteral("yyyy년 MM월 dd일")) : QString();
}

QList<LabelRowTexts> MakeLabelRows(const LabelOrderLine& line, const std::optional<int>& buyerFlags,
                                   const std::optional<LabelProduct>& product, const QDate& today) {
    LabelRowTexts v = labelTexts(line, product, today);
    const int flags = flagsFor(line, buyerFlags, product);
    // Bits above 9 stand for no field.
    for (int i = 0; i < kLabelFieldCount; ++i)
        if ((flags & (1 << i)) == 0) v[size_t(i)].clear();

    const QString unit = product ? product->Unit : QString();
    const double labelUnit = product ? product->LabelUnit : 0;
    const double total = LeadingNumber(v[Quantity]);
    const QString ofTotal = QLatin1Char('/') + quantityText(total) + unit;
    QList<LabelRowTexts> rows;
    double remaining = total;
    while (labelUnit > 0 && labelUnit < remaining) {
        v[Quantity] = quantityText(labelUnit) + unit + ofTotal;
        rows.append(v);
        remaining -= labelUnit;
    }
    v[Quantity] = quantityText(remaining) + unit + (remaining != total ? ofTotal : QString());
    rows.append(v);
    return rows;
}

}  // namespace orderdata
