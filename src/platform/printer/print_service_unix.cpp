#include "platform/printer/print_service.h"

#include "platform/printer/print_service_reasons.h"

#include <cups/cups.h>

// Linux: the print service is CUPS, asked through libcups.
namespace print_service {

const QString kUnreachable =
    QStringLiteral("인쇄 서비스(CUPS)가 응답하지 않습니다. 인쇄 서비스가 실행 중인지 확인하세요.");

namespace {

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

bool isRawQueue(const QString& printer) {
    const QByteArray name = printer.section(QLatin1Char('/'), 0, 0).toUtf8();
    if (name.isEmpty()) return false;
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0, "/printers/%s",
                     name.constData());
    ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
    static const char* const wanted[] = {"printer-make-and-model", "document-format-supported"};
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", 2, nullptr, wanted);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    if (!response) return false;
    bool raw = false;
    if (ippGetStatusCode(response) <= IPP_STATUS_OK_EVENTS_COMPLETE) {
        ipp_attribute_t* model = ippFindAttribute(response, "printer-make-and-model", IPP_TAG_TEXT);
        if (model && qstricmp(ippGetString(model, 0, nullptr), "Local Raw Printer") == 0) raw = true;
        ipp_attribute_t* formats = ippFindAttribute(response, "document-format-supported", IPP_TAG_MIMETYPE);
        if (!raw && formats && ippGetCount(formats) > 0) {
            bool pages = false;
            for (int i = 0; i < ippGetCount(formats) && !pages; ++i) {
                const char* format = ippGetString(formats, i, nullptr);
                pages = qstricmp(format, "application/pdf") == 0 ||
                        qstricmp(format, "application/postscript") == 0;
            }
            raw = !pages;
        }
    }
    ippDelete(response);
    return raw;
}

}  // namespace print_service
