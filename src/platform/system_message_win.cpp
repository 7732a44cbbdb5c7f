#include "platform/system_message_win.h"

#include <windows.h>

QString SystemMessage(unsigned long error) {
    wchar_t* text = nullptr;
    FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        DWORD(error), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString reason = text ? QString::fromWCharArray(text).trimmed() : QString::number(error);
    LocalFree(text);
    return reason;
}
