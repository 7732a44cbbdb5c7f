#include "db/host_list.h"

#include <QStringList>

#include <chrono>
#include <map>
#include <mutex>

namespace {

bool hostCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'.' ||
           c == u'-' || c == u'_';
}

bool ipv6Character(QChar c) {
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F') || c == u':' ||
           c == u'.' || c == u'%';
}

// The port text of an entry: digits only, 1 to 65535; 0 when it is none.
int portOf(const QString& text) {
    if (text.isEmpty() || text.size() > 5) return 0;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return 0;
    const int port = text.toInt();
    return port >= 1 && port <= 65535 ? port : 0;
}

// Spaces around an entry are a person's typing; any other blank (a line break that came with a fetched
// address) is no part of a list.
QString spacesTrimmed(const QString& text) {
    qsizetype from = 0, to = text.size();
    while (from < to && text.at(from) == u' ') ++from;
    while (to > from && text.at(to - 1) == u' ') --to;
    return text.mid(from, to - from);
}

DBHostList failure(const QString& error) {
    DBHostList list;
    list.error = error;
    return list;
}

}  // namespace

QString DBEndpoint::name() const {
    const QString shown = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    return (shown.isEmpty() ? QStringLiteral("localhost") : shown) + QLatin1Char(':') + QString::number(port);
}

DBHostList ParseHostList(const QString& text, int defaultPort) {
    DBHostList list;
    if (text.size() > kMaxHostListLength)
        return failure(
            QStringLiteral("서버 주소가 너무 깁니다. %1자 이내로 입력하세요.").arg(kMaxHostListLength));
    if (spacesTrimmed(text).isEmpty()) {
        list.hosts.push_back({QString(), defaultPort});
        return list;
    }
    const QStringList entries = text.split(QLatin1Char(','));
    for (const QString& raw : entries) {
        const QString entry = spacesTrimmed(raw);
        if (entry.isEmpty())
            return failure(
                QStringLiteral("서버 주소 목록에 빈 항목이 있습니다. 주소는 쉼표(,)로 구분하세요."));
        DBEndpoint endpoint{entry, defaultPort};
        QString portText;
        bool hasPort = false;
        if (entry.startsWith(QLatin1Char('['))) {
            const qsizetype close = entry.indexOf(QLatin1Char(']'));
            if (close < 0) return failure(QStringLiteral("서버 주소의 형식이 잘못되었습니다: ") + entry);
            endpoint.host = entry.mid(1, close - 1);
            const QString rest = entry.mid(close + 1);
            if (!rest.isEmpty()) {
                if (!rest.startsWith(QLatin1Char(':')))
                    return failure(QStringLiteral("서버 주소의 형식이 잘못되었습니다: ") + entry);
                hasPort = true;
                portText = rest.mid(1);
            }
            if (endpoint.host.isEmpty())
                return failure(QStringLiteral("서버 주소의 형식이 잘못되었습니다: ") + entry);
            for (QChar c : endpoint.host)
                if (!ipv6Character(c))
                    return failure(QStringLiteral("서버 주소에 쓸 수 없는 문자가 있습니다: ") + entry);
        } else if (entry.count(QLatin1Char(':')) > 1) {
            // A bare IPv6 address: no port of its own.
            for (QChar c : entry)
                if (!ipv6Character(c))
                    return failure(QStringLiteral("서버 주소에 쓸 수 없는 문자가 있습니다: ") + entry);
        } else {
            const qsizetype colon = entry.indexOf(QLatin1Char(':'));
            if (colon >= 0) {
                endpoint.host = entry.left(colon);
                portText = entry.mid(colon + 1);
                hasPort = true;
            }
            if (endpoint.host.isEmpty())
                return failure(QStringLiteral("서버 주소가 빠진 항목이 있습니다: ") + entry);
            for (QChar c : endpoint.host)
                if (!hostCharacter(c))
                    return failure(QStringLiteral("서버 주소에 쓸 수 없는 문자가 있습니다: ") + entry);
        }
        if (hasPort) {
            endpoint.port = portOf(portText);
            if (endpoint.port == 0)
                return failure(QStringLiteral("포트는 1부터 65535 사이의 숫자여야 합니다: ") + entry);
        }
        list.hosts.push_back(endpoint);
    }
    return list;
}

namespace host_deny_list {
namespace {

using Clock = std::chrono::steady_clock;
std::mutex g_mutex;
std::map<QString, Clock::time_point> g_failed;
int g_seconds = kDefaultSeconds;

QString keyOf(const DBEndpoint& endpoint) {
    return endpoint.host.toLower() + QLatin1Char('\n') + QString::number(endpoint.port);
}

}  // namespace

void deny(const DBEndpoint& endpoint) {
    const std::lock_guard lock(g_mutex);
    g_failed[keyOf(endpoint)] = Clock::now();
}

void allow(const DBEndpoint& endpoint) {
    const std::lock_guard lock(g_mutex);
    g_failed.erase(keyOf(endpoint));
}

bool denied(const DBEndpoint& endpoint) {
    const std::lock_guard lock(g_mutex);
    const auto it = g_failed.find(keyOf(endpoint));
    if (it == g_failed.end()) return false;
    if (Clock::now() - it->second < std::chrono::seconds(g_seconds)) return true;
    g_failed.erase(it);
    return false;
}

void clear() {
    const std::lock_guard lock(g_mutex);
    g_failed.clear();
}

void setSeconds(int seconds) {
    const std::lock_guard lock(g_mutex);
    g_seconds = seconds;
}

}  // namespace host_deny_list
