#include "platform/printer/print_service.h"

#include "platform/printer/print_service_reasons.h"

namespace print_service {

const QString kNotAccepting = QStringLiteral("인쇄 작업을 받지 않도록 설정되어 있습니다 (작업 거부 상태).");
const QString kNotFound = QStringLiteral("인쇄 서비스에 이 프린터가 없습니다.");

QString advice(const QString& printer, const QString& why) {
    if (why == kNotAccepting)
        return QStringLiteral("프린터(%1)가 인쇄 작업을 받지 않습니다. 프린터 대기열에서 작업 받기를 켜세요.")
            .arg(printer);
    if (why == kUnreachable) return why;
    if (why == kNotFound)
        return QStringLiteral(
                   "프린터(%1)가 인쇄 서비스에 없습니다. [프린터] 버튼에서 프린터를 다시 고르세요.")
            .arg(printer);
    return QStringLiteral("프린터(%1)가 인쇄 작업을 받지 않았습니다. 프린터가 켜져 있는지 확인하세요.")
        .arg(printer);
}

}  // namespace print_service
