#include "labels/print_queues.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

namespace labels {

// Windows: the printers of the print spooler, local and connected (a shared label printer).
QStringList PrintQueueNames(QString* error) {
    DWORD needed = 0, count = 0;
    const DWORD flags = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
    EnumPrintersW(flags, nullptr, 4, nullptr, 0, &needed, &count);
    std::vector<BYTE> buffer(needed);
    QStringList names;
    if (needed > 0 && !EnumPrintersW(flags, nullptr, 4, buffer.data(), needed, &needed, &count)) {
        if (error) *error = QStringLiteral("인쇄 스풀러에서 프린터 목록을 읽을 수 없습니다.");
        return names;
    }
    const auto* printers = reinterpret_cast<const PRINTER_INFO_4W*>(buffer.data());
    for (DWORD i = 0; i < count; ++i) names << QString::fromWCharArray(printers[i].pPrinterName);
    names.sort();
    return names;
}

}  // namespace labels
