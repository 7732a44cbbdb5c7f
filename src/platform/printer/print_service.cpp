#include "platform/printer/print_service.h"

#ifdef PELORA_HAVE_CUPS
#include <cups/cups.h>
#endif

namespace print_service {

#ifdef PELORA_HAVE_CUPS
namespace {

const QString kNotAccepting = QStringLiteral("인쇄 작업을 받지 않도록 설정되어 있습니다 (작업 거부 상태).");
const QString kUnreachable =
    QStringLiteral("인쇄 서비스(CUPS)가 응답하지 않습니다. 인쇄 서비스가 실행 중인지 확인하세요.");
const QString kNotFound = QStringLiteral("인쇄 서비스에 이 프린터가 없습니다.");

// The reason for a status the service gave; empty for success.
QString reasonOf(ipp_status_t status) {
    if (status <= IPP_STATUS_OK_EVENTS_COMPLETE) return QString();
    switch (status) {
        case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
            return kNotAccepting;
        case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
            return kUnreachable;
        case IPP_STATUS_ERROR_NOT_FOUND:
            return kNotFound;
        default:
            return QStringLiteral("인쇄 서비스가 작업을 받지 않았습니다: ") +
                   QString::fromUtf8(cupsLastErrorString());
    }
}

}  // namespace

QString unreachable() {
    // Asking for the default printer talks to the service once; an answer of any kind means it is there.
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    cupsFreeDests(count, dests);
    return cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE ? kUnreachable : QString();
}

QString refusal(const QString& printer) {
    // The service knows queues by their name without an instance ("queue/instance").
    const QByteArray name = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, name.constData(), nullptr);
    if (!dest) {
        const QString why = reasonOf(cupsLastError());
        return why.isEmpty() ? kNotFound : why;
    }
    const char* accepting = cupsGetOption("printer-is-accepting-jobs", dest->num_options, dest->options);
    const bool refuses = accepting && qstrcmp(accepting, "false") == 0;
    cupsFreeDests(1, dest);
    return refuses ? kNotAccepting : QString();
}

QString lastSubmissionFailure() {
    return reasonOf(cupsLastError());
}

#else

QString unreachable() {
    return QString();
}
QString refusal(const QString&) {
    return QString();
}
QString lastSubmissionFailure() {
    return QString();
}

#endif

}  // namespace print_service
