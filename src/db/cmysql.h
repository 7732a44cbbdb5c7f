#pragma once

#include "db/host_list.h"
#include "db/recordset.h"

#include <QString>

#include <atomic>

#include <cstdint>

struct st_mysql;
struct st_mysql_res;

// One client connection to a MySQL server. Texts cross the boundary in code page 949; every library
// failure becomes an AppError (number, "cMysql::<operation>", message) except in real_connect and query,
// which report their own failures in a box. A statement that fails because the connection was lost is
// sent once more on a fresh connection when that is safe (see query).
//
// The host may be a comma-separated list of servers, each with an optional port: the connection takes the
// first that answers and, on a Galera node, is ready and synced; a server that just failed is tried last
// (host_deny_list). A connection lost during a statement fails over to the next good server.
class cMySQL {
public:
    // Time limits of every connection, in seconds: a server that does not answer the connect within the
    // first, or a statement's reply (or its sending) within the others, fails like a lost connection
    // instead of freezing the program.
    struct TimeLimits {
        unsigned connectSeconds = 10;
        unsigned readSeconds = 60;
        unsigned writeSeconds = 60;
    };
    static TimeLimits timeLimits();
    // Tests shorten the limits; they apply to connections made afterwards.
    static void setTimeLimits(const TimeLimits& limits);

    // Raises AppError 512 when the client library cannot initialise a connection.
    cMySQL();
    ~cMySQL();
    cMySQL(const cMySQL&) = delete;
    cMySQL& operator=(const cMySQL&) = delete;

    // Properties.
    QString user() const { return m_user; }
    void setUser(const QString& user) { m_user = user; }
    QString password() const { return m_password; }
    void setPassword(const QString& password) { m_password = password; }
    QString host() const { return m_host; }
    void setHost(const QString& host) { m_host = host; }
    std::int32_t port() const { return m_port; }
    void setPort(std::int32_t port) { m_port = port; }
    QString db() const { return m_db; }
    void setDb(const QString& db) { m_db = db; }
    std::int32_t ClientFlags() const { return m_clientFlags; }
    void setClientFlags(std::int32_t clientFlags) { m_clientFlags = clientFlags; }
    QString unix_socket() const { return m_unixSocket; }
    void setUnix_socket(const QString& unixSocket) { m_unixSocket = unixSocket; }
    void DoMemFree(bool on) { m_doMemFree = on; }
    // The connection character set, applied to every native connection before it connects. The order
    // database keeps code page 949 bytes in latin1 columns, so latin1 passes them through unchanged.
    QString characterSet() const { return m_charset; }
    void setCharacterSet(const QString& charset);

    bool real_connect(const QString& host, const QString& user, const QString& password, const QString& db,
                      std::int32_t port, const QString& unixSocket, std::int32_t clientFlag, bool noErrMsg);
    // Runs a statement; its rows, an empty Recordset with columns, or none (no result, or a failure that
    // has been reported in a box). A statement lost with its connection is sent again on the new one only
    // when it reads (SELECT, SHOW, DESCRIBE, EXPLAIN) or the caller says it is `idempotent` (an UPDATE that
    // sets fixed values: a second run leaves the rows as the first did). Any other statement may have
    // been applied before the connection broke: the new connection is made for the statements after it,
    // and its failure is reported. An idempotent statement or a read that meets a deadlock (1213, also how
    // a Galera cluster refuses a write that conflicts with another node's) is sent again a few times.
    RecordsetPtr query(const QString& sql, bool idempotent = false);
    // Runs the first `length` bytes of `statementText` (code page 949); failures raise AppError, with no
    // reconnect.
    RecordsetPtr real_query(const QString& statementText, unsigned long length);

    std::int32_t affected_rows() const;
    // The rows the last UPDATE matched, changed or not (the server's info line "Rows matched: n"); -1 when
    // the statement failed or was no UPDATE. An update that sets what a row already holds changes no row
    // but matches it.
    std::int32_t matched_rows() const;
    void create_db(const QString& db);
    void debug_push(const QString& debugOptions);
    void dump_debug_info();
    bool eof() const;
    std::int32_t err_no() const;
    QString err_description() const;
    unsigned long escape_string(char* to, const char* from, unsigned long fromLength);
    void free_result();
    QString get_client_info() const;
    QString get_host_info() const;
    QString get_proto_info() const;
    QString get_server_info() const;
    QString info() const;
    std::int32_t insert_id() const;
    void Kill(std::int32_t threadId);
    RecordsetPtr list_dbs(const QString& wild);
    RecordsetPtr list_fields(const QString& table, const QString& wild);
    RecordsetPtr list_processes();
    RecordsetPtr list_tables(const QString& wild);
    std::int32_t num_fields() const;
    std::int32_t num_rows() const;
    void data_seek(std::int32_t row);
    void ping();
    void Refresh(std::int32_t refreshOptions);
    void select_db(const QString& db);
    void shutdown();
    QString stat();
    std::int32_t thread_id() const;
    std::int32_t thread_safe() const;

    // True when the last statement failed because no connection to the server could be had (lost, and
    // the reconnect failed or was lost again): the caller's further statements would only fail the same
    // way, each with its own box.
    bool connectionLost() const { return m_connectionLost; }
    // While quiet, failed statements and reconnects show no box: a caller that runs a series of statements
    // reports the first failure once, in its own words (err_no and err_description keep the reason).
    void setQuiet(bool quiet) { m_quiet = quiet; }
    bool quiet() const { return m_quiet; }
    // In the background (a limit above 0) a statement shows nothing at all: no box, no wait dialog, no wait
    // cursor. After `limitMs` it is given up (the connection is shut; the next statement connects again),
    // and a lost connection is left for the next statement to restore, so that the background never waits
    // on a server that does not answer. 0 runs statements in the foreground.
    void setBackgroundLimit(int limitMs) { m_backgroundLimitMs = limitMs; }
    int backgroundLimit() const { return m_backgroundLimitMs; }
    // True when the last statement was cancelled by the user while the program waited for it: it failed
    // without a box, and the command that ran it should stop and leave things as they were.
    bool statementCancelled() const { return m_cancelled; }
    // Ends the running statement on the server (KILL QUERY on a connection of its own); where the server
    // cannot be reached for that, the connection itself is shut, which ends the wait at once. Called by the
    // waiter from another thread while query() waits.
    void cancelRunningStatement();

    // The server of the connection ("host:port"), empty when not connected.
    QString serverInUse() const { return m_connected ? m_endpoint.name() : QString(); }
    // Whether that server is a Galera node (it has the provider's status).
    bool onGaleraNode() const { return m_galera; }
    // Statements sent again after a deadlock or certification conflict, since the object was made.
    int conflictRetries() const { return m_conflictRetries; }
    static constexpr int kConflictRetries = 3;

private:
    void initNative();
    void closeNative();
    [[noreturn]] void raise(const char* operation) const;
    // Replaces the stored native result; builds the Recordset from it when there is one.
    RecordsetPtr keepResult(st_mysql_res* result);
    RecordsetPtr runOnce(const QByteArray& statement, bool* failed);
    bool reconnectAfterLoss();
    // KILL QUERY of the running statement's server thread on a connection of its own; false when the
    // server could not be reached for it.
    bool killRunningQuery();
    // Shuts the connection's socket: a statement waiting on it ends at once.
    void shutSocket();
    void markOwnConnection();
    // Connects the native handle to one server; false with the library's failure left in the handle.
    bool connectEndpoint(const DBEndpoint& endpoint, std::int32_t clientFlags);
    // On a Galera node, whether it takes statements (ready and synced); a plain server always does. One
    // round trip. False with the reason in `number` and `text`.
    bool nodeUsable(std::int32_t* number, QString* text);
    // True when an idle connection's server has closed it or sent what no idle connection gets (the
    // notice of a KILL): a statement sent there would be lost with it.
    bool idleConnectionBroken() const;
    unsigned long lockHolder(const QString& lock);

    st_mysql* m_conn = nullptr;
    st_mysql_res* m_result = nullptr;
    QString m_user, m_password, m_host, m_db, m_unixSocket;
    QString m_charset;
    std::int32_t m_port = 0;
    std::int32_t m_clientFlags = 0;
    bool m_doMemFree = false;
    bool m_noErrMsg = false;
    bool m_quiet = false;
    int m_backgroundLimitMs = 0;
    bool m_gaveUp = false;  // the last statement was given up in the background
    // The statement in flight: its server thread, whether the user asked to cancel it, and whether the
    // last one ended so.
    bool m_inFlight = false;
    unsigned long m_runningThread = 0;
    std::atomic<bool> m_cancelRequested{false};
    std::atomic<bool> m_statementEnded{true};
    bool m_cancelled = false;
    // A statement whose result could not be built counts as failed, like one the server refused.
    bool m_lastFailed = false;
    std::int32_t m_lastErrNo = 0;
    QString m_lastErrText;
    bool m_connectionLost = false;
    // The server connected to, whether it is a Galera node, and whether the connection stands.
    DBEndpoint m_endpoint;
    bool m_galera = false;
    bool m_connected = false;
    // Set while a lost connection is replaced: when this session has written, the new one waits, on a
    // Galera node, until it has applied what the cluster committed (wsrep_sync_wait), so that its reads
    // see those writes. Without a write there is nothing to wait for: a read goes on at once, while the
    // cluster may still be settling its membership after the node's death.
    bool m_replacing = false;
    bool m_wrote = false;
    int m_conflictRetries = 0;
    // A user lock with a name of its own that the connection takes at connect: while the server thread
    // of this connection lives, the server names it as the lock's holder. After a lost connection this is
    // how the reconnect knows that a thread id still belongs to this program's old connection on the
    // same server, and not to another client after a restart. Empty when the lock could not be taken.
    QString m_ownLock;
};
