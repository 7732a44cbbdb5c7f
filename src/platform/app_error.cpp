#include "platform/app_error.h"

const char* AppError::what() const noexcept {
    if (m_what.isEmpty()) m_what = (m_source + QStringLiteral(": ") + m_description).toUtf8();
    return m_what.constData();
}
