// Synchronous HTTP with bounded waits, against the local test server.
#include "platform/http.h"
#include "support/http_server.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

class HttpRequest : public testing::Test {
protected:
    void SetUp() override { http::setLimits({2000, 500}); }
    TestHttpServer m_server;
};

TEST_F(HttpRequest, HeadersAndBodyInPieces) {
    TestHttpServer::Response r;
    r.body = QByteArray(1000, 'x');
    r.contentType = "text/plain";
    m_server.route(QStringLiteral("/a"), r);
    http::Request request;
    ASSERT_TRUE(request.open(QUrl(m_server.url(QStringLiteral("/a"))), "agent", true));
    EXPECT_EQ(request.status(), 200);
    EXPECT_EQ(request.contentLength(), 1000);
    EXPECT_EQ(request.contentType(), QStringLiteral("text/plain"));
    char buffer[600];
    EXPECT_EQ(request.read(buffer, 600), 600);
    EXPECT_EQ(request.read(buffer, 600), 400);
    EXPECT_EQ(request.read(buffer, 600), 0);
    EXPECT_EQ(m_server.userAgents().value(0), QByteArray("agent"));

    EXPECT_FALSE(request.open(QUrl(QStringLiteral("ftp://127.0.0.1/a")), "agent", true));
    EXPECT_FALSE(request.open(QUrl(QStringLiteral("not a url")), "agent", true));
    EXPECT_FALSE(request.isOpen());
}

TEST_F(HttpRequest, InformationalAnswersBeforeTheReplyAreSkipped) {
    const QByteArray continueHead = "HTTP/1.1 100 Continue\r\n\r\n";
    const QByteArray hintsHead = "HTTP/1.1 103 Early Hints\r\nLink: </style.css>; rel=preload\r\n\r\n";
    struct Case {
        QByteArray interim;
        bool chunked;
        bool omitLength;
    } cases[] = {{continueHead, false, false},
                 {hintsHead, false, false},
                 {continueHead + hintsHead, true, false},
                 {hintsHead, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.interim.toStdString() + (c.chunked ? " chunked" : c.omitLength ? " until close" : ""));
        TestHttpServer::Response r;
        r.interim = c.interim;
        r.body = "setup bytes";
        r.chunked = c.chunked;
        r.omitLength = c.omitLength;
        m_server.route(QStringLiteral("/hinted"), r);
        http::Request request;
        ASSERT_TRUE(request.open(QUrl(m_server.url(QStringLiteral("/hinted"))), "agent", false));
        EXPECT_EQ(request.status(), 200);
        char buffer[64];
        EXPECT_EQ(request.read(buffer, sizeof buffer), qint64(r.body.size()));
        EXPECT_EQ(QByteArray(buffer, r.body.size()), r.body);
        EXPECT_EQ(request.read(buffer, sizeof buffer), 0);
    }
}

TEST_F(HttpRequest, SilenceInTheBodyEndsTheReadWithinTheLimit) {
    TestHttpServer::Response r;
    r.body = QByteArray(5000, 'y');
    r.stallAfter = 1000;
    m_server.route(QStringLiteral("/slow"), r);
    http::Request request;
    ASSERT_TRUE(request.open(QUrl(m_server.url(QStringLiteral("/slow"))), "agent", false));
    char buffer[4096];
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(request.read(buffer, 4096), -1);
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(request.read(buffer, 4096), -1);  // a failed transfer stays failed
}

TEST_F(HttpRequest, ReachabilityOfTheServer) {
    EXPECT_TRUE(http::canReach(QUrl(m_server.url(QStringLiteral("/")))));
    EXPECT_FALSE(http::canReach(QUrl(QStringLiteral("http:///nohost"))));
}

}  // namespace
