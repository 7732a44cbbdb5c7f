#include "platform/http.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkInformation>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

namespace http {

namespace {

Limits g_limits;

constexpr qint64 kReadBuffer = 262144;  // what the reply may buffer ahead of the reader

// Errors that only report the HTTP status the server answered with (404, 500, ...): the body is the
// server's answer all the same. Every other error means the transfer itself failed.
bool isStatusError(QNetworkReply::NetworkError e) {
    return (e >= QNetworkReply::ContentAccessDenied && e <= QNetworkReply::UnknownContentError) ||
           (e >= QNetworkReply::InternalServerError && e <= QNetworkReply::UnknownServerError);
}

qint64 monotonicMs() {
    static QElapsedTimer clock;
    if (!clock.isValid()) clock.start();
    return clock.elapsed();
}

}  // namespace

Limits limits() {
    return g_limits;
}
void setLimits(const Limits& l) {
    g_limits = l;
}

bool isOnline() {
    if (!QNetworkInformation::instance())
        QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
    const QNetworkInformation* info = QNetworkInformation::instance();
    return !info || info->reachability() != QNetworkInformation::Reachability::Disconnected;
}

bool canReach(const QUrl& url) {
    if (!url.isValid() || url.host().isEmpty()) return false;
    const int defaultPort = url.scheme() == QLatin1String("https") ? 443 : 80;
    QTcpSocket socket;
    socket.connectToHost(url.host(), quint16(url.port(defaultPort)));
    const bool reached = socket.waitForConnected(g_limits.connectMs);
    socket.abort();
    return reached;
}

Request::Request() = default;

void Request::setDeadline(int ms) {
    m_deadline = monotonicMs() + ms;
}

void Request::cancel() {
    m_cancelled = true;
    if (m_loop) m_loop->quit();
}

// A wait's limit, cut to what is left before the deadline.
int Request::remainingMs(int limitMs) const {
    if (m_deadline < 0) return limitMs;
    return int(qBound<qint64>(0, m_deadline - monotonicMs(), qint64(limitMs)));
}

bool Request::transferFailed() const {
    return m_reply && m_reply->isFinished() && m_reply->error() != QNetworkReply::NoError &&
           !isStatusError(m_reply->error());
}

Request::~Request() {
    close();
}

bool Request::open(const QUrl& url, const QByteArray& userAgent, bool bypassCache) {
    close();
    if (!url.isValid() || url.host().isEmpty() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https")))
        return false;
    m_manager = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::UserAgentHeader, userAgent);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    if (bypassCache) {
        request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
        request.setRawHeader("Cache-Control", "no-cache");
    }
    m_reply = m_manager->get(request);
    m_reply->setReadBufferSize(kReadBuffer);
    m_failed = false;
    m_cancelled = false;

    // Until the request has gone out the connect limit applies; after that, the silence limit.
    bool sent = false;
    QObject scope;
    QObject::connect(m_reply, &QNetworkReply::requestSent, &scope, [&sent] { sent = true; });
    QNetworkReply* reply = m_reply;
    // The headers of the final answer: a redirection that will be followed does not count, and after one
    // the old status stands until the next answer's headers arrive.
    bool redirected = false;
    QObject::connect(m_reply, &QNetworkReply::redirected, &scope, [&redirected] { redirected = true; });
    QObject::connect(m_reply, &QNetworkReply::metaDataChanged, &scope, [&redirected] { redirected = false; });
    const auto headersArrived = [reply, &redirected] {
        if (reply->isFinished()) return true;
        const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        const bool redirect = status.toInt() / 100 == 3 && reply->hasRawHeader("Location");
        return status.isValid() && !redirect && !redirected;
    };
    bool ok = waitFor([&] { return sent || headersArrived(); }, g_limits.connectMs, false) &&
              waitFor(headersArrived, g_limits.silenceMs, true);
    if (ok && m_reply->isFinished() && m_reply->error() != QNetworkReply::NoError &&
        !m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid())
        ok = false;  // refused, unknown host, TLS failure: no HTTP answer at all
    if (!ok) close();
    return ok;
}

bool Request::isOpen() const {
    return m_reply != nullptr;
}

int Request::status() const {
    return m_reply ? m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() : 0;
}

QUrl Request::finalUrl() const {
    return m_reply ? m_reply->url() : QUrl();
}

QString Request::contentType() const {
    return m_reply ? QString::fromLatin1(m_reply->rawHeader("Content-Type")) : QString();
}

qint64 Request::contentLength() const {
    if (!m_reply || !m_reply->hasRawHeader("Content-Length")) return -1;
    bool ok = false;
    const qint64 length = m_reply->rawHeader("Content-Length").trimmed().toLongLong(&ok);
    return ok && length >= 0 ? length : -2;
}

qint64 Request::read(char* buffer, qint64 max) {
    if (!m_reply || m_failed) return -1;
    QNetworkReply* reply = m_reply;
    if (!waitFor([reply, max] { return reply->isFinished() || reply->bytesAvailable() >= max; },
                 g_limits.silenceMs, true)) {
        m_failed = true;
        m_reply->abort();
        return -1;
    }
    // A transfer that broke off is a failure, whatever of it arrived.
    if (transferFailed()) {
        m_failed = true;
        return -1;
    }
    const qint64 n = m_reply->read(buffer, max);
    if (n > 0) return n;
    if (m_reply->isFinished()) return 0;  // the end of the body (of the server's answer, status errors too)
    m_failed = true;
    return -1;
}

void Request::close() {
    if (m_reply) {
        m_reply->disconnect();
        if (!m_reply->isFinished()) m_reply->abort();
        delete m_reply.data();
    }
    m_reply = nullptr;
    m_manager.reset();
}

// Runs a local event loop until `done` holds. The limit counts from the start, or from the latest arrival
// of data when restartOnData is set. False when the limit ran out first.
bool Request::waitFor(const std::function<bool()>& done, int limitMs, bool restartOnData) {
    if (m_cancelled) return false;
    if (done()) return true;
    if (remainingMs(limitMs) <= 0) return false;
    QEventLoop loop;
    m_loop = &loop;
    QTimer timer;
    timer.setSingleShot(true);
    bool timedOut = false;
    QObject::connect(&timer, &QTimer::timeout, &loop, [&] {
        timedOut = true;
        loop.quit();
    });
    const auto check = [&] {
        if (done()) loop.quit();
    };
    const auto progress = [&] {
        if (restartOnData) timer.start(remainingMs(limitMs));
        check();
    };
    QNetworkReply* reply = m_reply;
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, progress);
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, progress);
    QObject::connect(reply, &QNetworkReply::requestSent, &loop, check);
    QObject::connect(reply, &QNetworkReply::finished, &loop, check);
    timer.start(remainingMs(limitMs));
    if (!done()) loop.exec(m_interactive ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    m_loop = nullptr;
    return !timedOut && !m_cancelled && done();
}

}  // namespace http
