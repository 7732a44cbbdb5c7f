#include "labels/print_queues.h"

#include <cups/cups.h>

namespace labels {

QStringList PrintQueueNames(QString* error) {
    QStringList names;
    http_t* http =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 5000, nullptr);
    if (!http) {
        if (error)
            *error =
                QStringLiteral("인쇄 서비스(%1)에 연결할 수 없습니다").arg(QString::fromUtf8(cupsServer()));
        return names;
    }
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(http, &dests);
    if (count == 0 && cupsLastError() > IPP_STATUS_OK_CONFLICTING && error)
        *error = QString::fromUtf8(cupsLastErrorString());
    for (int i = 0; i < count; ++i)
        if (!dests[i].instance) names << QString::fromUtf8(dests[i].name);
    cupsFreeDests(count, dests);
    httpClose(http);
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

}  // namespace labels
