#pragma once

#include <QString>

struct st_mysql;

// The three-node cluster that ctest started (scripts/galera, in PELORA_GALERA_DIR): its nodes, reached as
// root through their sockets for setting up and checking, and the signals that kill or pause one.
namespace cluster {

struct Env {
    QString hosts;  // the address list of all three nodes
    int port[3] = {};
    QString socket[3];
    QString pidFile[3];
    QString user, password, database;
};
const Env& env();
// "127.0.0.1:port" of node n (0..2).
QString node(int n);

// A root client of node n with the latin1 character set; null when the node does not answer.
st_mysql* root(int n);
void exec(int n, const QString& sql);
QString scalar(int n, const QString& sql);
// The same once node n has applied everything the cluster committed before it (a causal read): what a
// check there must see, however far behind a loaded machine leaves the node's appliers.
QString syncedScalar(int n, const QString& sql);

bool alive(int n);
// Starts every node that is not running and waits until each is synced.
void ensureAllUp();
void signal(int n, int signal);

}  // namespace cluster
