#include "db/cmysql.h"

#include "build_config.h"
#include "platform/app_error.h"
#include "platform/blocking_wait.h"
#include "platform/cp949.h"
#include "platform/dialogs.h"
#include "platform/error_reporter.h"
#include "platform/socket_ops.h"

#include <QUuid>

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <thread>

namespace {

// Arguments go to the library as NUL-terminated code page 949; an empty text is passed as no value.
struct CArg {
    explicit CArg(const QString& text) : bytes(cp949::encode(text)), empty(text.isEmpty()) {}
    const char* get() const { return empty ? nullptr : bytes.constData(); }
    QByteArray bytes;
    bool empty;
};

std::int32_t low32(my_ulonglong value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

constexpr int kServerLost = CR_SERVER_LOST;        // 2013
constexpr int kServerGone = CR_SERVER_GONE_ERROR;  // 2006
constexpr int kConnError = CR_CONN_HOST_ERROR;     // 2003

cMySQL::TimeLimits g_timeLimits;

// The statement's first value as an unsigned number; 0 for no row, NULL or a failure.
unsigned long firstNumber(MYSQL* conn, const QByteArray& sql) {
    if (mysql_real_query(conn, sql.constData(), static_cast<unsigned long>(sql.size())) != 0) return 0;
    MYSQL_RES* result = mysql_store_result(conn);
    if (!result) return 0;
    unsigned long value = 0;
    if (MYSQL_ROW row = mysql_fetch_row(result); row && row[0]) value = std::strtoul(row[0], nullptr, 10);
    mysql_free_result(result);
    return value;
}

}  // namespace

cMySQL::TimeLimits cMySQL::timeLimits() {
    return g_timeLimits;
}

void cMySQL::setTimeLimits(const TimeLimits& limits) {
    g_timeLimits = limits;
}

cMySQL::cMySQL() : m_charset(QStringLiteral(PELORA_DB_CHARSET)) {
    initNative();
}

cMySQL::~cMySQL() {
    if (m_result) mysql_free_result(m_result);
    closeNative();
}

void cMySQL::initNative() {
    m_conn = mysql_init(nullptr);
    if (!m_conn)
        throw AppError(512, QStringLiteral("cMysql::Initialize"),
                       QStringLiteral("Cannot Initialize a mysql record::Fatal"));
    // The library's default (utf8mb4) would refuse or mangle the code page 949 bytes the database holds.
    mysql_options(m_conn, MYSQL_SET_CHARSET_NAME, cp949::encode(m_charset).constData());
    // Without limits a stopped server, or a port that accepts and never greets, holds the program for as
    // long as it stays so.
    const unsigned connect = g_timeLimits.connectSeconds, read = g_timeLimits.readSeconds,
                   write = g_timeLimits.writeSeconds;
    mysql_options(m_conn, MYSQL_OPT_CONNECT_TIMEOUT, &connect);
    mysql_options(m_conn, MYSQL_OPT_READ_TIMEOUT, &read);
    mysql_options(m_conn, MYSQL_OPT_WRITE_TIMEOUT, &write);
}

void cMySQL::closeNative() {
    if (m_conn) mysql_close(m_conn);
    m_conn = nullptr;
}

void cMySQL::setCharacterSet(const QString& charset) {
    m_charset = charset;
    mysql_options(m_conn, MYSQL_SET_CHARSET_NAME, cp949::encode(m_charset).constData());
}

void cMySQL::raise(const char* operation) const {
    throw AppError(mysql_errno(m_conn), QStringLiteral("cMysql::") + QLatin1String(operation),
                   CStrToText(mysql_error(m_conn)));
}

bool cMySQL::real_connect(const QString& host, const QString& user, const QString& password,
                          const QString& db, std::int32_t port, const QString& unixSocket,
                          std::int32_t clientFlag, bool noErrMsg) {
    if (!host.isEmpty()) m_host = host;
    if (!user.isEmpty()) m_user = user;
    if (!password.isEmpty()) m_password = password;
    if (!db.isEmpty()) m_db = db;
    if (!unixSocket.isEmpty()) m_unixSocket = unixSocket;
    if (port != 3306) m_port = port;
    if (clientFlag != 0) m_clientFlags = clientFlag;
    m_noErrMsg = noErrMsg;

    // A text that is no valid list is one host, as it always was: the library then says what is wrong
    // with it.
    DBHostList list = ParseHostList(m_host, port);
    if (!list.ok()) list.hosts = {DBEndpoint{m_host, port}};
    // The administrators' order, servers that failed a moment ago last.
    std::vector<DBEndpoint> order;
    for (const DBEndpoint& e : list.hosts)
        if (!host_deny_list::denied(e)) order.push_back(e);
    for (const DBEndpoint& e : list.hosts)
        if (host_deny_list::denied(e)) order.push_back(e);

    m_connected = false;
    unsigned int n = 0;
    QString message;
    DBEndpoint failed;
    {
        // A reconnect in the background shows nothing (and runs beside the window's thread).
        std::optional<WaitCursor> wait;
        if (m_backgroundLimitMs <= 0) wait.emplace();
        for (const DBEndpoint& endpoint : order) {
            if (connectEndpoint(endpoint, m_clientFlags)) {
                std::int32_t number = 0;
                QString text;
                if (nodeUsable(&number, &text)) {
                    host_deny_list::allow(endpoint);
                    m_endpoint = endpoint;
                    m_connected = true;
                    markOwnConnection();
                    if (m_galera && m_replacing && m_wrote) {
                        const QByteArray wait = "SET SESSION wsrep_sync_wait = 1";
                        mysql_real_query(m_conn, wait.constData(), static_cast<unsigned long>(wait.size()));
                    }
                    return true;
                }
                n = static_cast<unsigned int>(number);
                message = text;
            } else {
                n = mysql_errno(m_conn);
                message = CStrToText(mysql_error(m_conn));
            }
            failed = endpoint;
            host_deny_list::deny(endpoint);
            // A handle whose connect failed is replaced, so that the object stays usable for another
            // attempt.
            closeNative();
            initNative();
        }
    }

    // MariaDB Connector/C reports a refused or unreachable TCP server as 2002, where the MySQL client
    // library (and the box text below) say 2003: a local socket is the only true 2002.
    if (n == CR_CONNECTION_ERROR && !failed.host.isEmpty() && failed.host != QLatin1String("localhost"))
        n = kConnError;
    QString description = message + QStringLiteral("\r\n\r\n데이터베이스 서버에 접속할 수 없습니다.");
    if (n == kConnError)
        description += QStringLiteral(
            "\r\n\r\n인터넷이 연결되어 있는지 확인 해 주세요.\r\n\r\n인터넷이 연결되어 있다면 방화벽이나 "
            "각종 "
            "스파이웨어 차단 프로그램이 가동중인지 확인해 주세요.\r\n관련 프로그램이 데이터베이스 접속을 "
            "방해하는 경우 일 수도 있습니다.");
    if (!m_noErrMsg && !m_quiet)
        errorReporter().plainMessage(QStringLiteral("Error ") + QString::number(n) + QLatin1Char(' ') +
                                     description);
    // The failure stays readable through err_no and err_description after the handle is replaced.
    m_lastFailed = true;
    m_lastErrNo = static_cast<std::int32_t>(n);
    m_lastErrText = message;
    return false;
}

bool cMySQL::connectEndpoint(const DBEndpoint& endpoint, std::int32_t clientFlags) {
    const CArg h(endpoint.host), u(m_user), p(m_password), d(m_db), s(m_unixSocket);
    return mysql_real_connect(m_conn, h.get(), u.get(), p.get(), d.get(),
                              static_cast<unsigned int>(endpoint.port), s.get(),
                              static_cast<unsigned long>(clientFlags)) != nullptr;
}

bool cMySQL::nodeUsable(std::int32_t* number, QString* text) {
    m_galera = false;
    // A plain server has no wsrep_local_state (a MariaDB built with Galera support but running without
    // it still shows wsrep_ready = OFF): only a node with the provider's status is checked.
    const QByteArray check = "SHOW STATUS WHERE Variable_name IN ('wsrep_ready', 'wsrep_local_state')";
    if (mysql_real_query(m_conn, check.constData(), static_cast<unsigned long>(check.size())) != 0) {
        *number = static_cast<std::int32_t>(mysql_errno(m_conn));
        *text = CStrToText(mysql_error(m_conn));
        return false;
    }
    MYSQL_RES* result = mysql_store_result(m_conn);
    QByteArray ready, state;
    bool hasState = false;
    if (result) {
        while (MYSQL_ROW row = mysql_fetch_row(result)) {
            if (!row[0] || !row[1]) continue;
            if (std::strcmp(row[0], "wsrep_ready") == 0) ready = row[1];
            if (std::strcmp(row[0], "wsrep_local_state") == 0) {
                state = row[1];
                hasState = true;
            }
        }
        mysql_free_result(result);
    }
    if (!hasState) return true;
    m_galera = true;
    // 4 is Synced; a joiner, a donor or a desynced node lags behind the cluster, and a node cut off from
    // the primary component is not ready.
    if (ready == "ON" && state == "4") return true;
    *number = ER_UNKNOWN_COM_ERROR;  // what such a node answers to a statement
    *text = QStringLiteral("Galera 노드가 사용할 수 있는 상태가 아닙니다 (wsrep_ready=") +
            QString::fromLatin1(ready) + QStringLiteral(", wsrep_local_state=") + QString::fromLatin1(state) +
            QLatin1Char(')');
    return false;
}

bool cMySQL::idleConnectionBroken() const {
    if (!m_conn || !m_connected) return false;
    return socket_ops::hasPendingInput(static_cast<std::intptr_t>(mysql_get_socket(m_conn)));
}

RecordsetPtr cMySQL::keepResult(MYSQL_RES* result) {
    if (m_result) mysql_free_result(m_result);
    m_result = result;
    if (!result) return nullptr;
    return FillRecordset(result);
}

// Sends one statement and stores its result. `failed` tells a refused statement from one without rows.
// The wait for the server goes through the program's waiter, so that the window stays alive and the user
// can cancel a statement that the server holds.
RecordsetPtr cMySQL::runOnce(const QByteArray& statement, bool* failed) {
    *failed = false;
    int status = 0;
    MYSQL_RES* result = nullptr;
    bool rowsLost = false;
    m_runningThread = mysql_thread_id(m_conn);
    m_cancelRequested = false;
    m_statementEnded = false;
    m_inFlight = true;
    const auto work = [&] {
        status =
            mysql_real_query(m_conn, statement.constData(), static_cast<unsigned long>(statement.size()));
        if (status == 0) {
            result = mysql_store_result(m_conn);
            rowsLost = !result && mysql_field_count(m_conn) != 0;  // announced but not read
        }
        m_statementEnded = true;
    };
    m_gaveUp = false;
    if (m_backgroundLimitMs > 0)
        m_gaveUp = !blocking_wait::runWithin(
            work, [this] { shutSocket(); }, m_backgroundLimitMs);
    else
        blocking_wait::run(work, [this] { cancelRunningStatement(); });
    m_inFlight = false;
    if (status != 0 || rowsLost) {
        *failed = true;
        return nullptr;
    }
    return keepResult(result);
}

bool cMySQL::killRunningQuery() {
    MYSQL* other = mysql_init(nullptr);
    if (!other) return false;
    // A short try: a server that cannot take a second connection soon will not end the statement soon.
    const unsigned limit = 3;
    mysql_options(other, MYSQL_OPT_CONNECT_TIMEOUT, &limit);
    mysql_options(other, MYSQL_OPT_READ_TIMEOUT, &limit);
    mysql_options(other, MYSQL_OPT_WRITE_TIMEOUT, &limit);
    const CArg h(m_endpoint.host), u(m_user), p(m_password), d(m_db), s(m_unixSocket);
    const unsigned int port = static_cast<unsigned int>(m_endpoint.port != 0 ? m_endpoint.port : 3306);
    bool killed = false;
    if (mysql_real_connect(other, h.get(), u.get(), p.get(), d.get(), port, s.get(), 0)) {
        const QByteArray kill = "KILL QUERY " + QByteArray::number(qulonglong(m_runningThread));
        killed = mysql_real_query(other, kill.constData(), static_cast<unsigned long>(kill.size())) == 0;
    }
    mysql_close(other);
    return killed;
}

void cMySQL::cancelRunningStatement() {
    m_cancelRequested = true;
    // On a loaded machine the statement may reach the server only after a first kill, which then found
    // nothing to end: the kill is repeated while the statement is still waiting.
    for (int attempt = 0; attempt < 3 && !m_statementEnded; ++attempt) {
        if (!killRunningQuery()) break;
        for (int i = 0; i < 50 && !m_statementEnded; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    // The server did not take the kill: the connection is shut instead, and the next statement connects
    // again.
    if (!m_statementEnded) shutSocket();
}

void cMySQL::shutSocket() {
    if (!m_conn) return;
    socket_ops::shutdownBoth(static_cast<std::intptr_t>(mysql_get_socket(m_conn)));
}

void cMySQL::markOwnConnection() {
    m_ownLock = QStringLiteral("PeloraOrder-") + QUuid::createUuid().toString(QUuid::Id128);
    if (firstNumber(m_conn, "SELECT GET_LOCK('" + m_ownLock.toLatin1() + "', 0)") != 1) m_ownLock.clear();
}

unsigned long cMySQL::lockHolder(const QString& lock) {
    return firstNumber(m_conn, "SELECT IS_USED_LOCK('" + lock.toLatin1() + "')");
}

bool cMySQL::reconnectAfterLoss() {
    const unsigned long oldThread = mysql_thread_id(m_conn);
    const QString oldLock = m_ownLock;
    const DBEndpoint oldEndpoint = m_endpoint;
    // The server that lost the connection is tried last: with a list, the next good server takes over.
    if (m_connected) host_deny_list::deny(oldEndpoint);
    if (m_result) {
        mysql_free_result(m_result);
        m_result = nullptr;
    }
    closeNative();
    initNative();
    if (m_backgroundLimitMs > 0) {
        // A reconnect in the background waits no longer for the server's greeting than its statement would.
        const unsigned seconds = unsigned(std::max(1, (m_backgroundLimitMs + 999) / 1000));
        mysql_options(m_conn, MYSQL_OPT_CONNECT_TIMEOUT, &seconds);
    }
    // Empty socket and zero flags keep the stored ones in force; the port is the one connected to before.
    const std::int32_t port = m_port != 0 ? m_port : 3306;
    m_replacing = true;
    const bool connected = real_connect(m_host, m_user, m_password, m_db, port, QString(), 0, m_noErrMsg);
    m_replacing = false;
    if (!connected) return false;
    // The old server thread may still hold locks of the lost statement: it is ended, but only when the
    // server still names it as the holder of the old connection's own lock. After a restart the same id
    // belongs to another client (every copy of the program may log in with the same account), and a
    // handle that never connected has no thread at all. Another server of a list never holds it.
    if (oldThread != 0 && !oldLock.isEmpty() && m_endpoint.name() == oldEndpoint.name() &&
        lockHolder(oldLock) == oldThread)
        mysql_kill(m_conn, oldThread);
    return true;
}

namespace {

// Statements that change nothing on the server: sending one again cannot apply anything twice.
bool readsOnly(const QByteArray& statement) {
    qsizetype i = 0;
    while (i < statement.size() &&
           (std::isspace(static_cast<unsigned char>(statement[i])) || statement[i] == '('))
        ++i;
    qsizetype end = i;
    while (end < statement.size() && std::isalpha(static_cast<unsigned char>(statement[end]))) ++end;
    const QByteArray word = statement.mid(i, end - i).toUpper();
    return word == "SELECT" || word == "SHOW" || word == "DESCRIBE" || word == "DESC" || word == "EXPLAIN";
}

}  // namespace

RecordsetPtr cMySQL::query(const QString& sql, bool idempotent) {
    const QByteArray statement = cp949::encode(sql);
    m_cancelled = false;
    if (m_inFlight) {
        // Asked from the waiting window (a timer) while the connection still waits for another statement:
        // one connection carries one statement at a time, so this one fails without a box.
        m_lastFailed = true;
        m_lastErrNo = CR_COMMANDS_OUT_OF_SYNC;
        m_lastErrText = QStringLiteral("Commands out of sync; you can't run this command now");
        return nullptr;
    }
    const bool background = m_backgroundLimitMs > 0;
    std::optional<WaitCursor> wait;
    if (!background) wait.emplace();
    const bool resendable = idempotent || readsOnly(statement);
    bool reconnected = false;
    int conflicts = 0;
    m_connectionLost = false;
    // A statement that must not be sent twice goes only onto a connection known to stand: one that the
    // server closed while it was idle is replaced first (nothing was sent on it yet).
    if (!resendable && idleConnectionBroken()) {
        if (!reconnectAfterLoss()) {
            m_connectionLost = true;
            return nullptr;
        }
        reconnected = true;
    }
    for (;;) {
        m_lastFailed = false;
        m_lastErrNo = 0;
        bool failed = false;
        std::int32_t number = 0;
        QString description;
        try {
            RecordsetPtr rs = runOnce(statement, &failed);
            if (!failed) {
                if (!readsOnly(statement)) m_wrote = true;
                return rs;
            }
            number = static_cast<std::int32_t>(mysql_errno(m_conn));
            description = CStrToText(mysql_error(m_conn));
        } catch (const AppError& e) {  // the rows could not be held (duplicate column names)
            number = static_cast<std::int32_t>(e.number());
            description = e.description();
        }
        m_lastFailed = true;
        m_lastErrNo = number;
        m_lastErrText = description;
        if (m_cancelRequested) {
            // The user ended it: no box, no second try.
            m_cancelled = true;
            return nullptr;
        }
        // A Galera node that left the cluster's primary component refuses every statement without running
        // it: another node takes over, as for a lost connection, and the statement is safe to send again.
        const bool nodeLeft = m_galera && number == ER_UNKNOWN_COM_ERROR;
        const bool lost = number == kServerLost || number == kServerGone || nodeLeft;
        bool notResent = false;
        // A statement given up in the background leaves the connection to the next statement: the server
        // that did not answer it would not answer a reconnect either.
        if (lost && !reconnected && !m_gaveUp) {
            bool restored = false;
            if (background) {
                // Beside the window as well; the connect's own time limit ends it.
                m_inFlight = true;
                blocking_wait::runWithin([&] { restored = reconnectAfterLoss(); }, [] {},
                                         m_backgroundLimitMs);
                m_inFlight = false;
            } else {
                restored = reconnectAfterLoss();
            }
            if (!restored) {
                m_connectionLost = true;
                return nullptr;
            }
            reconnected = true;
            // 2006: the library found the connection gone before the statement reached the server.
            if (resendable || nodeLeft || number == kServerGone) continue;
            // The server may have applied it before the connection broke: it is not sent twice. The new
            // connection stands for the next statements; this one is reported as the failure it was.
            m_lastFailed = true;
            m_lastErrNo = number;
            m_lastErrText = description;
            notResent = true;
        } else if (number == ER_LOCK_DEADLOCK && resendable && conflicts < kConflictRetries) {
            // Rolled back whole, so sending it again applies it once.
            ++conflicts;
            ++m_conflictRetries;
            std::this_thread::sleep_for(std::chrono::milliseconds(10 * conflicts));
            continue;
        }
        m_connectionLost = lost && !notResent;
        if (m_quiet || background) return nullptr;
        errorReporter().plainMessage(QStringLiteral("Error ") + QString::number(number) +
                                     QStringLiteral(" (") + description + QLatin1Char(')'));
        return nullptr;
    }
}

RecordsetPtr cMySQL::real_query(const QString& statementText, unsigned long length) {
    const QByteArray statement = cp949::encode(statementText);
    m_lastFailed = false;
    const unsigned long sent = std::min<unsigned long>(length, static_cast<unsigned long>(statement.size()));
    if (mysql_real_query(m_conn, statement.constData(), sent) != 0) {
        m_lastFailed = true;
        raise("real_query");
    }
    MYSQL_RES* result = mysql_store_result(m_conn);
    if (!result && mysql_field_count(m_conn) != 0) {
        m_lastFailed = true;
        raise("real_query");
    }
    return keepResult(result);
}

std::int32_t cMySQL::affected_rows() const {
    return m_lastFailed ? -1 : low32(mysql_affected_rows(m_conn));
}

std::int32_t cMySQL::matched_rows() const {
    if (m_lastFailed) return -1;
    const char* info = mysql_info(m_conn);
    if (!info) return -1;
    const char* at = std::strstr(info, "Rows matched:");
    if (!at) return -1;
    return static_cast<std::int32_t>(std::strtol(at + std::strlen("Rows matched:"), nullptr, 10));
}

void cMySQL::create_db(const QString& db) {
    const QByteArray name = cp949::encode(db);
    const QByteArray statement = "CREATE DATABASE `" + name + "`";
    if (mysql_real_query(m_conn, statement.constData(), static_cast<unsigned long>(statement.size())) != 0)
        raise("create_db");
}

void cMySQL::debug_push(const QString& debugOptions) {
    mysql_debug(cp949::encode(debugOptions).constData());
}

void cMySQL::dump_debug_info() {
    if (mysql_dump_debug_info(m_conn) != 0) raise("dump_debug_info");
}

bool cMySQL::eof() const {
    return m_result ? mysql_eof(m_result) != 0 : true;
}

std::int32_t cMySQL::err_no() const {
    return m_lastFailed && m_lastErrNo != 0 ? m_lastErrNo : static_cast<std::int32_t>(mysql_errno(m_conn));
}

QString cMySQL::err_description() const {
    return m_lastFailed && m_lastErrNo != 0 ? m_lastErrText : CStrToText(mysql_error(m_conn));
}

unsigned long cMySQL::escape_string(char* to, const char* from, unsigned long fromLength) {
    return mysql_real_escape_string(m_conn, to, from, fromLength);
}

void cMySQL::free_result() {
    if (!m_doMemFree || !m_result) return;
    mysql_free_result(m_result);
    m_result = nullptr;
}

QString cMySQL::get_client_info() const {
    const char* s = mysql_get_client_info();
    if (!s) raise("get_client_info");
    return CStrToText(s);
}

QString cMySQL::get_host_info() const {
    const char* s = mysql_get_host_info(m_conn);
    if (!s) raise("get_host_info");
    return CStrToText(s);
}

QString cMySQL::get_proto_info() const {
    const unsigned int v = mysql_get_proto_info(m_conn);
    if (v == 0) raise("get_proto_info");
    return QString::number(v);
}

QString cMySQL::get_server_info() const {
    const char* s = mysql_get_server_info(m_conn);
    if (!s) raise("get_server_info");
    return CStrToText(s);
}

QString cMySQL::info() const {
    const char* s = mysql_info(m_conn);
    if (!s) raise("info");
    return CStrToText(s);
}

std::int32_t cMySQL::insert_id() const {
    return low32(mysql_insert_id(m_conn));
}

void cMySQL::Kill(std::int32_t threadId) {
    mysql_kill(m_conn, static_cast<unsigned long>(threadId));
}

RecordsetPtr cMySQL::list_dbs(const QString& wild) {
    MYSQL_RES* r = mysql_list_dbs(m_conn, CArg(wild).get());
    return r ? keepResult(r) : nullptr;
}

RecordsetPtr cMySQL::list_fields(const QString& table, const QString& wild) {
    MYSQL_RES* r = mysql_list_fields(m_conn, CArg(table).get(), CArg(wild).get());
    return r ? keepResult(r) : nullptr;
}

RecordsetPtr cMySQL::list_processes() {
    MYSQL_RES* r = mysql_list_processes(m_conn);
    return r ? keepResult(r) : nullptr;
}

RecordsetPtr cMySQL::list_tables(const QString& wild) {
    MYSQL_RES* r = mysql_list_tables(m_conn, CArg(wild).get());
    return r ? keepResult(r) : nullptr;
}

std::int32_t cMySQL::num_fields() const {
    return m_result ? std::int32_t(mysql_num_fields(m_result)) : 0;
}

std::int32_t cMySQL::num_rows() const {
    return m_result ? low32(mysql_num_rows(m_result)) : 0;
}

void cMySQL::data_seek(std::int32_t row) {
    if (m_result) mysql_data_seek(m_result, static_cast<my_ulonglong>(static_cast<std::int64_t>(row)));
}

void cMySQL::ping() {
    if (mysql_ping(m_conn) != 0) raise("ping");
}

void cMySQL::Refresh(std::int32_t refreshOptions) {
    if (mysql_refresh(m_conn, static_cast<unsigned int>(refreshOptions)) != 0) raise("refresh");
}

void cMySQL::select_db(const QString& db) {
    if (mysql_select_db(m_conn, cp949::encode(db).constData()) != 0) raise("select_db");
}

void cMySQL::shutdown() {
    if (mysql_shutdown(m_conn, SHUTDOWN_DEFAULT) != 0) raise("shutdown");
}

QString cMySQL::stat() {
    const char* s = mysql_stat(m_conn);
    if (!s) raise("stat");
    return CStrToText(s);
}

std::int32_t cMySQL::thread_id() const {
    const unsigned long id = mysql_thread_id(m_conn);
    if (id == 0) raise("thread_id");
    return static_cast<std::int32_t>(id);
}

std::int32_t cMySQL::thread_safe() const {
    return static_cast<std::int32_t>(mysql_thread_safe());
}
