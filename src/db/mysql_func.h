#pragma once

#include "db/cmysql.h"
#include "db/recordset.h"

#include <QString>

// The session's one connection to the order database and the helpers through which every statement of
// the program runs.

// The session connection; null before DBInit and after DBClose.
cMySQL* DBConn();

// Opens the session connection. The connection character set comes from the setting
// AppTitle / "Config" / "DBCharset" (default latin1). False after a reported failure.
bool DBInit(const QString& host, const QString& user, const QString& password, const QString& database,
            int port = 3306);
// Closes the session connection.
void DBClose();
// True when the last statement failed because the server could not be reached (its box has been
// shown): a command that runs several statements stops there instead of showing the same box again.
bool DBConnectionLost();
// True when the user cancelled the last statement while waiting for the server: the command stops and
// leaves what it shows as it was.
bool DBStatementCancelled();
// The one way to run statements quietly. For its lifetime, failed statements of the session connection
// show no box (cMySQL::setQuiet): the caller tells the first failure once. With a background limit
// (milliseconds, above 0) they run in the background besides (cMySQL::setBackgroundLimit): nothing shown
// at all, no wait dialog that could take the focus, each statement given up silently after the limit.
// Scopes nest.
class DBQuietScope {
public:
    explicit DBQuietScope(int backgroundLimitMs = 0);
    ~DBQuietScope();
    DBQuietScope(const DBQuietScope&) = delete;
    DBQuietScope& operator=(const DBQuietScope&) = delete;

private:
    bool m_was = false;
    int m_wasLimit = 0;
};

// The server the session connection uses ("host:port"), so that a user can tell which server of a list
// answered; empty without a connection.
QString DBServerInUse();

// Runs a statement and hands its result set to `rs`; the affected-rows count, -1 after a failure.
int DBOpenRecordset(RecordsetPtr& rs, const QString& sql);
// Runs a statement; the number of changed rows, 0 after a failure.
int DBExecute(const QString& sql);
// What an UPDATE did: failed (the connection has reported it), or how many rows it matched and changed.
struct DBUpdateResult {
    bool failed = false;
    int matched = 0;
    int changed = 0;
};
// Runs an UPDATE and tells a failure from an update that changed no row because the rows already held the
// values (matched, unchanged) and from one that found no row at all. The UPDATE must set fixed values
// (no column computed from itself): it is sent again after a lost connection or a write conflict, and a
// second run leaves the rows as the first did.
DBUpdateResult DBUpdate(const QString& sql);
// The first column of the first row, the empty text for no row or a failure.
QString DBGetValue(const QString& sql);
// Makes a text safe between single quotes: cut at a NUL, quotes and backslashes doubled.
QString SQLEscape(const QString& text);
// The value of option `name`; a missing option is stored with `defaultValue`, which is returned.
QString GetOption(const QString& name, const QString& defaultValue);
// Stores option `name` with `value`.
bool SetOption(const QString& name, const QString& value);
