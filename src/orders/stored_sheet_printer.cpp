#include "orders/stored_sheet_printer.h"

#include "common/app_title.h"
#include "platform/settings_store.h"
#include "print/buy_order.h"

QString StoredSheetPrinter() {
    return settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString());
}

void StoreSheetPrinter(const QString& name) {
    settings::save(AppTitle(), kPrinterSection, kPrinterKey, name);
}
