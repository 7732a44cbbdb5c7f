#include "db/session_statements.h"

#include "common/text_helpers.h"
#include "db/mysql_func.h"

bool IsFirstLoginUser(const QString& loginId) {
    const QString sql = QStringLiteral("SELECT loginpwd FROM local_user") +
                        QStringLiteral(" WHERE loginid = '") + SQLEscape(loginId.toUpper()) +
                        QStringLiteral("'");
    return DBGetValue(sql).isEmpty();
}

bool LoginAccepted(const QString& loginId, const QString& password) {
    const QString sql = QStringLiteral("SELECT COUNT(*) FROM local_user") +
                        QStringLiteral(" WHERE UCASE(loginid) = '") + SQLEscape(loginId.toUpper()) +
                        QStringLiteral("'") + QStringLiteral(" AND loginpwd = '") + SQLEscape(password) +
                        QStringLiteral("'");
    return LeadingNumber(DBGetValue(sql)) > 0;
}

LoginUser ReadLoginUser(const QString& loginId) {
    const QString sql = QStringLiteral(
                            "SELECT u.code, u.loginid, u.c_office, u.c_client, u.c_buyer, "
                            "u.local_name, u.loginpwd, u.branch") +
                        QStringLiteral(" FROM local_user AS u") + QStringLiteral(" WHERE 1 = 1") +
                        QStringLiteral(" AND u.loginid = '") + SQLEscape(loginId) + QStringLiteral("'");
    LoginUser user;
    RecordsetPtr rs;
    try {
        if (DBOpenRecordset(rs, sql) > 0 && rs && !rs->Eof()) {
            user.found = true;
            user.buyerCode = LeadingNumber(rs->Fields(QStringLiteral("c_buyer")).Value());
            user.branch = LeadingNumber(rs->Fields(QStringLiteral("branch")).Value());
        }
    } catch (...) {
        CloseRecordset(rs);
        throw;
    }
    CloseRecordset(rs);
    return user;
}
