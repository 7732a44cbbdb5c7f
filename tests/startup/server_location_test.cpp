// The server address fetched from the download directory, against a real local HTTP server.
#include "startup/server_location.h"
#include "common/msgbox.h"
#include "platform/http.h"
#include "platform/settings_store.h"
#include "support/http_server.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

#include <QElapsedTimer>
#include <QTcpServer>

#include <gtest/gtest.h>

namespace {

class ServerLocation : public testing::Test {
protected:
    void SetUp() override {
        http::setLimits({2000, 800});
        useDirectory(m_server.url(QStringLiteral("/download/")));
    }
    static void useDirectory(const QString& url) {
        settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("DownloadURL"), url);
    }
    void serve(const TestHttpServer::Response& r) {
        m_server.route(QStringLiteral("/download/cs_peloraip.txt"), r);
    }
    static TestHttpServer::Response body(const QByteArray& b, const QByteArray& type = "text/plain") {
        TestHttpServer::Response r;
        r.body = b;
        r.contentType = type;
        return r;
    }
    TestHttpServer m_server;
};

TEST_F(ServerLocation, BodyIsTheAddressUpToTwentyBytes) {
    EXPECT_EQ(DownloadDirectory(), m_server.url(QStringLiteral("/download")));
    const struct {
        QByteArray body;
        QString address;
    } cases[] = {
        {"192.168.100.200", QStringLiteral("192.168.100.200")},
        {"db.example-food.co.kr12", QStringLiteral("db.example-food.co.k")},  // 23 bytes
        {"abcdefghijklmnopqrstuvwxy", QStringLiteral("abcdefghijklmnopqrst")},
        {"10.0.0.1\r\n", QStringLiteral("10.0.0.1\r\n")},  // nothing is trimmed
        {"", QString()},
    };
    for (const auto& c : cases) {
        serve(body(c.body));
        EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), c.address) << c.body.toStdString();
    }
    EXPECT_EQ(m_server.userAgents().last(), QByteArray("VB OpenUrl"));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(ServerLocation, ErrorPagesGiveNoAddressWithoutABox) {
    serve(body("<!DOCTYPE html><html>moved</html>", "text/html"));
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QString());
    // A missing file: the server's 404 page.
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("no_such_file.txt")), QString());
    // A 404 whose body does not look like HTML is no address either.
    TestHttpServer::Response missing = body("Not Found");
    missing.status = 404;
    serve(missing);
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QString());
    // A redirection is followed to the file.
    m_server.route(QStringLiteral("/moved/cs_peloraip.txt"), body("172.16.0.9"));
    TestHttpServer::Response redirect;
    redirect.redirectTo = QStringLiteral("/moved/cs_peloraip.txt");
    serve(redirect);
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QStringLiteral("172.16.0.9"));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
}

TEST_F(ServerLocation, UnreachableOrSilentServerEndsWithTheOpenFailure) {
    // Nothing listening: a port that was free a moment ago.
    quint16 port;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    useDirectory(QStringLiteral("http://127.0.0.1:%1/download/").arg(port));
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QString());
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("InternetOpenUrl() 실패!"));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::None);
    EXPECT_EQ(testDialogs().last().title, AppTitle());

    // Accepts the connection and then says nothing: the silence limit ends the call.
    useDirectory(m_server.url(QStringLiteral("/download/")));
    TestHttpServer::Response stall;
    stall.stall = true;
    serve(stall);
    testDialogs().answer(Dialogs::ResultOk);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QString());
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("InternetOpenUrl() 실패!"));
}

TEST_F(ServerLocation, BodyThatBreaksOffIsAReadFailureNotAShorterAddress) {
    // Cut short after nothing, after "10.0" with its length announced, and as a chunked body without its
    // last chunk: what arrived is no host name.
    const struct {
        qint64 cutAfter;
        bool chunked;
    } cases[] = {{0, false}, {4, false}, {4, true}};
    for (const auto& c : cases) {
        TestHttpServer::Response cut = body("10.0.0.1");
        cut.cutAfter = c.cutAfter;
        cut.chunked = c.chunked;
        serve(cut);
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QString()) << c.cutAfter << c.chunked;
        EXPECT_EQ(testDialogs().last().text, QStringLiteral("InternetReadFile() 실패!"));
    }
    // Whole, chunked: the address.
    TestHttpServer::Response whole = body("10.0.0.1");
    whole.chunked = true;
    serve(whole);
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QStringLiteral("10.0.0.1"));
}

TEST_F(ServerLocation, ATrickleEndsAtTheDeadlineOfTheWholeFetch) {
    // One byte every 300 ms never falls silent for the 800 ms silence limit, but the whole fetch has 1.5 s.
    http::setLimits({2000, 800, 1500});
    TestHttpServer::Response slow = body("192.168.100.200");
    slow.trickleMs = 300;
    serve(slow);
    testDialogs().answer(Dialogs::ResultOk);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(GetCSManageDBIP(QStringLiteral("cs_peloraip.txt")), QString());
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("InternetReadFile() 실패!"));
}

}  // namespace
