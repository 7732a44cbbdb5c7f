#include "platform/printer/print_service.h"

#include "platform/printer/print_service_reasons.h"

#include <windows.h>
#include <winspool.h>

#include <vector>

// Windows: the print spooler, asked through its own API. The spooler has no state in which a printer
// refuses jobs (a paused or offline printer keeps them in its queue), so refusals are a printer that is
// not there and a spooler that does not answer.
namespace print_service {

const QString kUnreachable = QStringLiteral(
    "Windows 인쇄 스풀러가 응답하지 않습니다. 서비스에서 Print Spooler가 실행 중인지 확인하세요.");

namespace {

bool spoolerDown(DWORD error) {
    return error == RPC_S_SERVER_UNAVAILABLE || error == RPC_S_CALL_FAILED ||
           error == ERROR_SERVICE_NOT_ACTIVE;
}

// The printer's level-2 information (driver, status), or an empty buffer with the system's error.
std::vector<BYTE> printerInfo(const QString& printer, DWORD* error) {
    std::wstring name = printer.toStdWString();
    HANDLE handle = nullptr;
    if (!OpenPrinterW(name.data(), &handle, nullptr)) {
        *error = GetLastError();
        return {};
    }
    DWORD needed = 0;
    GetPrinterW(handle, 2, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed);
    if (needed == 0 || !GetPrinterW(handle, 2, buffer.data(), needed, &needed)) {
        *error = GetLastError();
        buffer.clear();
    }
    ClosePrinter(handle);
    return buffer;
}

}  // namespace

QString unreachable() {
    DWORD needed = 0, count = 0;
    if (EnumPrintersW(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count))
        return QString();
    return spoolerDown(GetLastError()) ? kUnreachable : QString();
}

QString refusal(const QString& printer) {
    DWORD error = 0;
    const std::vector<BYTE> info = printerInfo(printer, &error);
    if (info.empty()) return spoolerDown(error) ? kUnreachable : kNotFound;
    const auto* p = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    return (p->Status & PRINTER_STATUS_PENDING_DELETION) ? kNotFound : QString();
}

// Qt's Windows printing starts the spooler's job when the painter begins, and a printer the spooler
// cannot reach fails there; once the job has started, the spooler has taken it.
QString lastSubmissionFailure() {
    return QString();
}

// A Windows printer whose driver is "Generic / Text Only" passes the bytes through as they are: a label
// printer set up that way must not get the sheets.
bool isRawQueue(const QString& printer) {
    DWORD error = 0;
    const std::vector<BYTE> info = printerInfo(printer, &error);
    if (info.empty()) return false;
    const auto* p = reinterpret_cast<const PRINTER_INFO_2W*>(info.data());
    return p->pDriverName && QString::fromWCharArray(p->pDriverName) == QLatin1String("Generic / Text Only");
}

}  // namespace print_service
