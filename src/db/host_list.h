#pragma once

#include <QString>

#include <vector>

// The order database's address: one server, or several (a Galera cluster, or a primary with servers that
// stand in for it) written as a comma-separated list, each with an optional port: "10.0.0.5,10.0.0.6:3307".
// The order is the administrators' preference: the connection takes the first server that answers.
struct DBEndpoint {
    QString host;  // as written; empty for the client library's default (this machine)
    int port = 0;  // the server's own port, or the default port given to the parser
    // "host:port", as the status and the messages name the server.
    QString name() const;
};

struct DBHostList {
    std::vector<DBEndpoint> hosts;
    QString error;  // empty when the text is a valid list
    bool ok() const { return error.isEmpty(); }
};

// The longest address text taken; a longer one is no list a person typed.
inline constexpr int kMaxHostListLength = 1000;

// Reads an address text. An empty text is one server at the library's default host. Each entry is trimmed;
// an empty entry, a port that is no number from 1 to 65535, a character no host name or address has, or a
// text longer than kMaxHostListLength gives `error` (one Korean sentence naming the fault) and no hosts.
// IPv6 addresses take a port in brackets: "[fe80::1]:3307".
DBHostList ParseHostList(const QString& text, int defaultPort);

// Servers that failed a moment ago. A connection tries the others first, and tries these only when no
// other answers, so that a dead server does not cost every workstation its connect time-out again and
// again. Shared by every connection of the process.
namespace host_deny_list {

inline constexpr int kDefaultSeconds = 60;
void deny(const DBEndpoint& endpoint);
void allow(const DBEndpoint& endpoint);
bool denied(const DBEndpoint& endpoint);
// Tests: forget every entry; and how long an entry lasts.
void clear();
void setSeconds(int seconds);

}  // namespace host_deny_list
