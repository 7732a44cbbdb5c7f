#include "db/mysql_func.h"

#include "build_config.h"
#include "common/app_title.h"
#include "db/sql_text.h"
#include "platform/app_error.h"
#include "platform/error_reporter.h"
#include "platform/settings_store.h"

#include <memory>

namespace {

std::unique_ptr<cMySQL> g_conn;

}  // namespace

cMySQL* DBConn() {
    return g_conn.get();
}

bool DBInit(const QString& host, const QString& user, const QString& password, const QString& database,
            int port) {
    try {
        g_conn = std::make_unique<cMySQL>();
        g_conn->setCharacterSet(settings::get(AppTitle(), QStringLiteral("Config"),
                                              QStringLiteral("DBCharset"),
                                              QStringLiteral(PELORA_DB_CHARSET)));
        return g_conn->real_connect(host, user, password, database, port, QString(), 0, false);
    } catch (const AppError& e) {
        errorReporter().procedureError(QStringLiteral("DBInit"), QStringLiteral("modMySQL_Func"), e);
        return false;
    }
}

void DBClose() {
    g_conn.reset();
}

bool DBConnectionLost() {
    return g_conn && g_conn->connectionLost();
}

DBQuietScope::DBQuietScope(int backgroundLimitMs) {
    if (!g_conn) return;
    m_was = g_conn->quiet();
    m_wasLimit = g_conn->backgroundLimit();
    g_conn->setQuiet(true);
    if (backgroundLimitMs > 0) g_conn->setBackgroundLimit(backgroundLimitMs);
}

DBQuietScope::~DBQuietScope() {
    if (!g_conn) return;
    g_conn->setQuiet(m_was);
    g_conn->setBackgroundLimit(m_wasLimit);
}

QString DBServerInUse() {
    return g_conn ? g_conn->serverInUse() : QString();
}

bool DBStatementCancelled() {
    return g_conn && g_conn->statementCancelled();
}

int DBOpenRecordset(RecordsetPtr& rs, const QString& sql) {
    rs = g_conn->query(sql);
    const int count = g_conn->affected_rows();
    g_conn->free_result();
    return count;
}

int DBExecute(const QString& sql) {
    RecordsetPtr rs = g_conn->query(sql);
    const int n = g_conn->affected_rows();
    CloseRecordset(rs);
    return n < 0 ? 0 : n;
}

DBUpdateResult DBUpdate(const QString& sql) {
    RecordsetPtr rs = g_conn->query(sql, true);
    DBUpdateResult result;
    result.changed = g_conn->affected_rows();
    result.matched = g_conn->matched_rows();
    result.failed = result.changed < 0 || result.matched < 0;
    CloseRecordset(rs);
    if (result.failed) result.changed = result.matched = 0;
    return result;
}

QString DBGetValue(const QString& sql) {
    RecordsetPtr rs = g_conn->query(sql);
    QString value;
    if (rs && !rs->Eof() && rs->FieldCount() > 0) value = rs->Fields(0).Value();
    CloseRecordset(rs);
    g_conn->free_result();
    return value;
}

QString SQLEscape(const QString& text) {
    QString s = text;
    const qsizetype nul = s.indexOf(QChar(u'\0'));
    if (nul >= 0) s.truncate(nul);
    s.replace(QLatin1Char('\''), QStringLiteral("''"));
    s.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return s;
}

QString GetOption(const QString& name, const QString& defaultValue) {
    RecordsetPtr rs;
    QString result = defaultValue;
    try {
        const int count = DBOpenRecordset(
            rs, QStringLiteral("SELECT optvalue FROM options WHERE optname = ") + SqlQuoted(name));
        if (count == 0) {
            DBExecute(QStringLiteral("INSERT INTO options") + QStringLiteral(" (optname, optvalue)") +
                      QStringLiteral(" VALUES") + QStringLiteral(" (") + SqlQuoted(name) +
                      QStringLiteral(", ") + SqlQuoted(defaultValue) + QStringLiteral(")"));
        } else {
            if (!rs) throw AppError(g_conn->err_no(), QStringLiteral("GetOption"), g_conn->err_description());
            result = rs->Fields(QStringLiteral("optvalue")).Value();
        }
        CloseRecordset(rs);
    } catch (const AppError& e) {
        CloseRecordset(rs);
        errorReporter().errorMessage(QStringLiteral("프로그램 수행도중 오류가 발생했습니다."), e);
        return defaultValue;
    }
    return result;
}

bool SetOption(const QString& name, const QString& value) {
    RecordsetPtr rs;
    const int count =
        DBOpenRecordset(rs, QStringLiteral("SELECT * FROM options WHERE optname = ") + SqlQuoted(name));
    if (count != 0)
        DBExecute(QStringLiteral("UPDATE options") + QStringLiteral(" SET") + QStringLiteral(" optvalue = ") +
                  SqlQuoted(value) + QStringLiteral(" WHERE optname = ") + SqlQuoted(name));
    else
        DBExecute(QStringLiteral("INSERT INTO options") + QStringLiteral(" (optname, optvalue)") +
                  QStringLiteral(" VALUES") + QStringLiteral(" (") + SqlQuoted(name) + QStringLiteral(", ") +
                  SqlQuoted(value) + QStringLiteral(")"));
    CloseRecordset(rs);
    return true;
}
