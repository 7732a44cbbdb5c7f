#include "platform/http.h"

#include "platform/http_backend.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibrary>
#include <QStringList>

namespace http {

namespace {

Limits g_limits;

struct Loaded {
    Backend* backend = nullptr;
    QString error;
};

// Where the module may be: the packager's or a test's own place when one is named, else beside the
// installed program, then where this build made it.
QStringList moduleCandidates() {
    const QString named = qEnvironmentVariable("PELORA_HTTP_MODULE");
    if (!named.isEmpty()) return {named};
    QStringList candidates;
    if (QCoreApplication::instance())
        candidates << QDir::cleanPath(
            QCoreApplication::applicationDirPath() +
            QStringLiteral("/" PELORA_HTTP_MODULE_INSTALL_DIR "/" PELORA_HTTP_MODULE_FILE));
    candidates << QStringLiteral(PELORA_HTTP_MODULE_BUILD_PATH);
    return candidates;
}

Loaded load() {
    Loaded loaded;
    QStringList reasons;
    for (const QString& path : moduleCandidates()) {
        if (!QFile::exists(path)) {
            reasons << path + QStringLiteral(": 파일이 없습니다 (no such file)");
            continue;
        }
        // Never unloaded: the module's objects live until the process ends.
        auto* library = new QLibrary(path);
        auto entry = library->load() ? reinterpret_cast<PeloraHttpEntry>(library->resolve(PELORA_HTTP_ENTRY))
                                     : nullptr;
        Backend* backend = entry ? entry() : nullptr;
        if (backend) {
            backend->setLimits(g_limits);
            loaded.backend = backend;
            return loaded;
        }
        reasons << path + QStringLiteral(": ") + library->errorString();
        library->unload();
        delete library;
    }
    loaded.error =
        QStringLiteral("HTTP 모듈을 불러오지 못했습니다 (the HTTP module could not be loaded):\r\n") +
        reasons.join(QStringLiteral("\r\n"));
    return loaded;
}

// Loaded on the first HTTP call, once per process.
const Loaded& loaded() {
    static const Loaded once = load();
    return once;
}

Backend* backend() {
    return loaded().backend;
}

bool g_needed = false;  // whether an HTTP call has asked for the module yet

}  // namespace

Limits limits() {
    return g_limits;
}

void setLimits(const Limits& l) {
    g_limits = l;
    if (g_needed && backend()) backend()->setLimits(l);
}

QString loadError() {
    return g_needed ? loaded().error : QString();
}

bool isOnline() {
    g_needed = true;
    // Without the module nothing says the machine is disconnected: its server is then what cannot be reached.
    return backend() ? backend()->isOnline() : true;
}

bool canReach(const QUrl& url) {
    g_needed = true;
    return backend() && backend()->canReach(url);
}

Request::Request() {
    g_needed = true;
    if (backend()) m_impl.reset(backend()->newRequest());
}

Request::~Request() = default;

void Request::setDeadline(int ms) {
    if (m_impl) m_impl->setDeadline(ms);
}

void Request::setInteractive(bool interactive) {
    if (m_impl) m_impl->setInteractive(interactive);
}

void Request::cancel() {
    if (m_impl) m_impl->cancel();
}

bool Request::open(const QUrl& url, const QByteArray& userAgent, bool bypassCache) {
    return m_impl && m_impl->open(url, userAgent, bypassCache);
}

bool Request::isOpen() const {
    return m_impl && m_impl->isOpen();
}

int Request::status() const {
    return m_impl ? m_impl->status() : 0;
}

QUrl Request::finalUrl() const {
    return m_impl ? m_impl->finalUrl() : QUrl();
}

QString Request::contentType() const {
    return m_impl ? m_impl->contentType() : QString();
}

qint64 Request::contentLength() const {
    return m_impl ? m_impl->contentLength() : -1;
}

qint64 Request::read(char* buffer, qint64 max) {
    return m_impl ? m_impl->read(buffer, max) : -1;
}

void Request::close() {
    if (m_impl) m_impl->close();
}

}  // namespace http
