#pragma once

#include "platform/http.h"

#include <QByteArray>
#include <QString>
#include <QUrl>

// What the HTTP module (src/platform/http/, its own shared library, the only code that links Qt Network)
// hands to http.cpp. The program loads it on its first HTTP call, so that a start that speaks no HTTP does
// not load Qt Network and the libraries behind it. Module and program are built from the same sources by the
// same compiler, so the interface is a plain C++ one; only the entry point has C linkage.
namespace http {

// One GET request; the meaning of each call is that of http::Request's call of the same name.
class BackendRequest {
public:
    virtual ~BackendRequest() = default;
    virtual void setDeadline(int ms) = 0;
    virtual void setInteractive(bool interactive) = 0;
    virtual void cancel() = 0;
    virtual bool open(const QUrl& url, const QByteArray& userAgent, bool bypassCache) = 0;
    virtual bool isOpen() const = 0;
    virtual int status() const = 0;
    virtual QUrl finalUrl() const = 0;
    virtual QString contentType() const = 0;
    virtual qint64 contentLength() const = 0;
    virtual qint64 read(char* buffer, qint64 max) = 0;
    virtual void close() = 0;
};

class Backend {
public:
    // The limits every later wait keeps to; the loader passes them on whenever they change.
    virtual void setLimits(const Limits& limits) = 0;
    virtual bool isOnline() = 0;
    virtual bool canReach(const QUrl& url) = 0;
    virtual BackendRequest* newRequest() = 0;

protected:
    ~Backend() = default;  // the module's one instance lives as long as the process
};

}  // namespace http

// The module's entry point: its one backend.
#define PELORA_HTTP_ENTRY "pelora_http_backend"
extern "C" {
using PeloraHttpEntry = http::Backend* (*)();
}
