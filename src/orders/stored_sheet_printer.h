#pragma once

#include <QString>

// The page printer the user chose for order sheets (AppTitle / "Config" / "주문서_Printer"); empty when
// none was chosen. Read and written here only.
QString StoredSheetPrinter();
void StoreSheetPrinter(const QString& name);
