// The downloader and the setup download, against a real local HTTP server.
#include "startup/chttpfile.h"
#include "common/msgbox.h"
#include "platform/app_paths.h"
#include "platform/http.h"
#include "platform/settings_store.h"
#include "support/http_server.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProgressDialog>
#include <QPushButton>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// What a holder that subscribes to the downloader's notifications sees.
struct Notifications {
    explicit Notifications(cHTTPFile& http) {
        QObject::connect(&http, &cHTTPFile::connectResult, [this](int s) { connects.append(s); });
        QObject::connect(&http, &cHTTPFile::downloadStarted, [this](qint64 size, const QString& name) {
            startedSize = size;
            startedName = name;
        });
        QObject::connect(&http, &cHTTPFile::dataArrived, [this](qint64 total, const QByteArray& data) {
            totals.append(total);
            chunks.append(data);
        });
        QObject::connect(&http, &cHTTPFile::downloadCompleted, [this] { ++completed; });
        QObject::connect(&http, &cHTTPFile::downloadError, [this](int e) { errors.append(e); });
    }
    QList<int> connects, errors;
    QList<qint64> totals;
    QList<QByteArray> chunks;
    qint64 startedSize = 0;
    QString startedName;
    int completed = 0;
};

QByteArray pattern(qsizetype size) {
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i) data[i] = char((i * 7 + i / 251) & 0xFF);
    return data;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

class Downloader : public testing::Test {
protected:
    void SetUp() override {
        http::setLimits({2000, 800});
        ASSERT_TRUE(m_folder.isValid());
        app_paths::setProgramFolderForTests(m_folder.path());
        settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("DownloadURL"),
                       m_server.url(QStringLiteral("/download/")));
    }
    void TearDown() override { app_paths::setProgramFolderForTests(QString()); }

    TestHttpServer::Response file(const QByteArray& body) {
        TestHttpServer::Response r;
        r.body = body;
        return r;
    }
    QString path(const QString& name) const { return m_folder.path() + QLatin1Char('/') + name; }

    TestHttpServer m_server;
    QTemporaryDir m_folder;
};

TEST_F(Downloader, FileOfTwoFullChunksEndsAtItsSize) {
    const QByteArray body = pattern(262144);
    m_server.route(QStringLiteral("/download/peloraorder.exe"), file(body));
    cHTTPFile http;
    Notifications seen(http);

    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), cHTTPFile::Success);
    EXPECT_EQ(seen.connects, QList<int>{0});
    ASSERT_TRUE(http.Download(true, m_server.url(QStringLiteral("/download/peloraorder.exe")),
                              m_folder.path(), QStringLiteral("peloraorder_Setup.exe")));
    EXPECT_EQ(readFile(path(QStringLiteral("peloraorder_Setup.exe"))), body);
    // Two reads of a full chunk, and no third: the size was reached.
    EXPECT_EQ(seen.totals, (QList<qint64>{131072, 262144}));
    ASSERT_EQ(seen.chunks.size(), 2);
    EXPECT_EQ(seen.chunks.at(1), body.mid(131072));
    EXPECT_EQ(seen.startedSize, 262144);
    EXPECT_EQ(seen.startedName, QStringLiteral("peloraorder_Setup.exe"));
    EXPECT_EQ(seen.completed, 1);
    EXPECT_EQ(http.Size(), 262144);
    EXPECT_EQ(http.StatusCode(), 200);
    EXPECT_EQ(http.Name(), QStringLiteral("peloraorder.exe"));
    EXPECT_FALSE(http.StillReceiving());
    QString folder, name;
    http.GetLocalPath(folder, name);
    EXPECT_EQ(folder, m_folder.path() + QLatin1Char('/'));
    EXPECT_EQ(name, QStringLiteral("peloraorder_Setup.exe"));
    EXPECT_EQ(m_server.userAgents().last(), QByteArray("cHTTPFile"));
}

TEST_F(Downloader, BodyWithoutLengthIsReadToItsEnd) {
    const QByteArray body = pattern(300000);
    TestHttpServer::Response r = file(body);
    r.omitLength = true;
    m_server.route(QStringLiteral("/download/a.bin"), r);
    cHTTPFile http;
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    ASSERT_TRUE(
        http.Download(true, m_server.url(QStringLiteral("/download/a.bin")), m_folder.path(), QString()));
    EXPECT_EQ(http.Size(), -1);
    EXPECT_EQ(readFile(path(QStringLiteral("a.bin"))), body);  // no file name given: the URL's name
}

TEST_F(Downloader, BodyCutShortIsAnErrorAndLeavesNoFile) {
    TestHttpServer::Response r = file(pattern(262144));
    r.cutAfter = 200000;
    m_server.route(QStringLiteral("/download/peloraorder.exe"), r);
    cHTTPFile http;
    Notifications seen(http);
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/peloraorder.exe")),
                               m_folder.path(), QStringLiteral("setup.exe")));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("setup.exe"))));
    EXPECT_EQ(seen.errors, QList<int>{cHTTPFile::Incomplete});
    EXPECT_EQ(seen.completed, 0);
    EXPECT_FALSE(http.StillReceiving());
}

TEST_F(Downloader, TransfersThatBrokeOffAreErrorsWhateverArrived) {
    // A chunked body (no length) without its last chunk, and a length beyond 32 bits of which a prefix
    // arrives: neither is a complete file, however much of it came.
    TestHttpServer::Response chunkedCut = file(pattern(300000));
    chunkedCut.chunked = true;
    chunkedCut.cutAfter = 150000;
    TestHttpServer::Response huge = file(pattern(100));
    huge.lengthHeader = "4294967396";  // 2^32 + 100: as a 32-bit number, exactly the 100 bytes sent
    for (const TestHttpServer::Response& r : {chunkedCut, huge}) {
        m_server.route(QStringLiteral("/download/peloraorder.exe"), r);
        cHTTPFile http;
        Notifications seen(http);
        ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
        EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/peloraorder.exe")),
                                   m_folder.path(), QStringLiteral("setup.exe")))
            << r.lengthHeader.toStdString();
        EXPECT_EQ(seen.errors, QList<int>{cHTTPFile::Incomplete});
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("setup.exe"))));
    }
    EXPECT_EQ(huge.lengthHeader.toLongLong(), Q_INT64_C(4294967396));

    // Whole and chunked: complete, its size unknown.
    TestHttpServer::Response chunked = file(pattern(300000));
    chunked.chunked = true;
    m_server.route(QStringLiteral("/download/whole.bin"), chunked);
    cHTTPFile http;
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    ASSERT_TRUE(
        http.Download(true, m_server.url(QStringLiteral("/download/whole.bin")), m_folder.path(), QString()));
    EXPECT_EQ(http.Size(), -1);
    EXPECT_EQ(readFile(path(QStringLiteral("whole.bin"))), pattern(300000));
}

TEST_F(Downloader, ServerFallingSilentEndsTheDownloadWithinTheLimit) {
    TestHttpServer::Response r = file(pattern(262144));
    r.stallAfter = 140000;
    m_server.route(QStringLiteral("/download/peloraorder.exe"), r);
    cHTTPFile http;
    Notifications seen(http);
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/peloraorder.exe")),
                               m_folder.path(), QStringLiteral("setup.exe")));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(seen.errors, QList<int>{cHTTPFile::Incomplete});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("setup.exe"))));
}

TEST_F(Downloader, RefusalsAndTheirCodes) {
    cHTTPFile http;
    Notifications seen(http);
    // Without Connect nothing is opened: not connected.
    EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/x")), m_folder.path(),
                               QStringLiteral("x")));
    EXPECT_EQ(seen.errors, QList<int>{cHTTPFile::Offline});
    seen.errors.clear();
    EXPECT_TRUE(m_server.requestedPaths().isEmpty());

    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    // 404: the open fails with code 4, no notification, no file.
    EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/missing.exe")), m_folder.path(),
                               QStringLiteral("missing.exe")));
    EXPECT_EQ(http.StatusCode(), 404);
    EXPECT_TRUE(seen.errors.isEmpty());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("missing.exe"))));

    // A length that is no number: the size cannot be determined.
    TestHttpServer::Response odd = file("abc");
    odd.lengthHeader = "three";
    m_server.route(QStringLiteral("/download/odd"), odd);
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    EXPECT_FALSE(
        http.Download(true, m_server.url(QStringLiteral("/download/odd")), m_folder.path(), QString()));
    EXPECT_TRUE(seen.errors.isEmpty());

    // Local folder and file name rules.
    m_server.route(QStringLiteral("/download/ok.exe"), file("MZ"));
    const struct {
        QString folder, name;
        int code;
    } cases[] = {
        {QString(), QStringLiteral("ok.exe"), cHTTPFile::NoFolder},
        {QStringLiteral("relative/folder"), QStringLiteral("ok.exe"), cHTTPFile::NoFolder},
        {m_folder.path() + QStringLiteral("/a*b"), QStringLiteral("ok.exe"), cHTTPFile::NoFolder},
        {m_folder.path() + QStringLiteral("/gone"), QStringLiteral("ok.exe"), cHTTPFile::NoFolder},
        {m_folder.path(), QStringLiteral("a:b.exe"), cHTTPFile::NoFileName},
        {m_folder.path(), QStringLiteral("sub/ok.exe"), cHTTPFile::NoFileName},
    };
    for (const auto& c : cases) {
        cHTTPFile fresh;
        Notifications freshSeen(fresh);
        ASSERT_EQ(fresh.Connect(m_server.url(QStringLiteral("/download"))), 0);
        EXPECT_FALSE(
            fresh.Download(true, m_server.url(QStringLiteral("/download/ok.exe")), c.folder, c.name));
        EXPECT_EQ(freshSeen.errors, QList<int>{c.code})
            << c.folder.toStdString() << " " << c.name.toStdString();
    }
    // A usable call after the refusals: nothing stayed "in progress".
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    EXPECT_TRUE(http.Download(true, m_server.url(QStringLiteral("/download/ok.exe")),
                              m_folder.path() + QStringLiteral("  "), QStringLiteral(" ok.exe ")));
    EXPECT_EQ(readFile(path(QStringLiteral("ok.exe"))), QByteArray("MZ"));
}

TEST_F(Downloader, ReusedDownloaderWritesOnlyWhereItIsTold) {
    m_server.route(QStringLiteral("/download/ok.exe"), file("MZ"));
    m_server.route(QStringLiteral("/download/new.exe"), file("NEW"));
    cHTTPFile http;
    Notifications seen(http);
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    ASSERT_TRUE(http.Download(true, m_server.url(QStringLiteral("/download/ok.exe")), m_folder.path(),
                              QStringLiteral("ok.exe")));

    // A folder or file name that is refused does not fall back on the previous download's file.
    const struct {
        QString folder, name;
        int code;
    } cases[] = {
        {m_folder.path() + QStringLiteral("/gone"), QStringLiteral("new.exe"), cHTTPFile::NoFolder},
        {m_folder.path(), QStringLiteral("a:b.exe"), cHTTPFile::NoFileName},
    };
    for (const auto& c : cases) {
        seen.errors.clear();
        ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
        EXPECT_FALSE(
            http.Download(true, m_server.url(QStringLiteral("/download/new.exe")), c.folder, c.name));
        EXPECT_EQ(seen.errors, QList<int>{c.code}) << c.folder.toStdString() << " " << c.name.toStdString();
        EXPECT_EQ(readFile(path(QStringLiteral("ok.exe"))), QByteArray("MZ"));
    }

    // After a request that could not be opened, a download without a new Connect is "not connected" and
    // leaves the existing file alone.
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    ASSERT_TRUE(http.Download(true, m_server.url(QStringLiteral("/download/ok.exe")), m_folder.path(),
                              QStringLiteral("ok.exe")));
    TestHttpServer::Response stall;
    stall.stall = true;
    m_server.route(QStringLiteral("/download/stall.exe"), stall);
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/stall.exe")), m_folder.path(),
                               QStringLiteral("ok.exe")));
    seen.errors.clear();
    EXPECT_FALSE(http.Download(true, m_server.url(QStringLiteral("/download/new.exe")), m_folder.path(),
                               QStringLiteral("ok.exe")));
    EXPECT_EQ(seen.errors, QList<int>{cHTTPFile::Offline});
    EXPECT_EQ(readFile(path(QStringLiteral("ok.exe"))), QByteArray("MZ"));
}

TEST_F(Downloader, NameFollowsTheFinalUrl) {
    TestHttpServer::Response page = file("<html></html>");
    page.contentType = "text/html";
    m_server.route(QStringLiteral("/download/"), page);
    m_server.route(QStringLiteral("/files/new%20setup.exe"), file("MZ"));
    TestHttpServer::Response moved;
    moved.redirectTo = QStringLiteral("/files/new%20setup.exe");
    m_server.route(QStringLiteral("/download/peloraorder.exe"), moved);

    cHTTPFile http;
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    ASSERT_TRUE(http.Download(true, m_server.url(QStringLiteral("/download/")), m_folder.path(), QString()));
    // The URL without "http://", its separators removed, and ".html".
    const QString expected =
        m_server.url(QStringLiteral("/download/")).mid(7).remove(QLatin1Char('/')).remove(QLatin1Char(':')) +
        QStringLiteral(".html");
    EXPECT_EQ(http.Name(), expected);
    EXPECT_TRUE(QFile::exists(path(expected)));

    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    ASSERT_TRUE(http.Download(true, m_server.url(QStringLiteral("/download/peloraorder.exe")),
                              m_folder.path(), QString()))
        << http.StatusCode() << " " << m_server.requestedPaths().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(http.Url(), m_server.url(QStringLiteral("/files/new%20setup.exe")));
    EXPECT_EQ(http.Name(), QStringLiteral("new%20setup.exe"));
}

TEST_F(Downloader, CancelStopsBeforeTheNextRead) {
    m_server.route(QStringLiteral("/download/big.bin"), file(pattern(400000)));
    cHTTPFile http;
    Notifications seen(http);
    int cancelled = 0;
    QObject::connect(&http, &cHTTPFile::downloadCancelled, [&] { ++cancelled; });
    QObject::connect(&http, &cHTTPFile::dataArrived, [&](qint64, const QByteArray&) { http.Cancel(); });
    ASSERT_EQ(http.Connect(m_server.url(QStringLiteral("/download"))), 0);
    EXPECT_FALSE(
        http.Download(true, m_server.url(QStringLiteral("/download/big.bin")), m_folder.path(), QString()));
    EXPECT_EQ(cancelled, 1);
    EXPECT_EQ(seen.totals, QList<qint64>{131072});
    EXPECT_EQ(seen.completed, 0);
    EXPECT_FALSE(http.StillReceiving());
    // A cancelled download leaves what it wrote.
    EXPECT_EQ(readFile(path(QStringLiteral("big.bin"))).size(), 131072);
}

TEST_F(Downloader, ConnectNeedsAReachableServer) {
    quint16 port;
    {
        QTcpServer probe;
        ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
        port = probe.serverPort();
    }
    cHTTPFile http;
    Notifications seen(http);
    EXPECT_EQ(http.Connect(QStringLiteral("http://127.0.0.1:%1/download").arg(port)),
              int(cHTTPFile::Unreachable));
    EXPECT_EQ(seen.connects, QList<int>{cHTTPFile::Unreachable});
}

TEST_F(Downloader, SetupDownloadReplacesAnOldSetupFile) {
    const QString setup = path(QStringLiteral("peloraorder_Setup.exe"));
    const auto leaveOldSetup = [&] {
        QFile old(setup);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old setup");
    };
    // The server has no setup: the old file is gone all the same and the answer is false.
    leaveOldSetup();
    EXPECT_FALSE(DownloadSetup(QStringLiteral("peloraorder.exe")));
    EXPECT_FALSE(QFile::exists(setup));

    const QByteArray body = pattern(150000);
    m_server.route(QStringLiteral("/download/peloraorder.exe"), file(body));
    leaveOldSetup();
    EXPECT_TRUE(DownloadSetup(QStringLiteral("peloraorder.exe")));
    EXPECT_EQ(readFile(setup), body);
    EXPECT_EQ(m_server.requestedPaths().last(), QStringLiteral("/download/peloraorder.exe"));

    EXPECT_TRUE(testDialogs().boxes().isEmpty());

    // A body cut short is no setup program, and the user is told that it broke off.
    TestHttpServer::Response cut = file(body);
    cut.cutAfter = 1000;
    m_server.route(QStringLiteral("/download/peloraorder.exe"), cut);
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(DownloadSetup(QStringLiteral("peloraorder.exe")));
    EXPECT_FALSE(QFile::exists(setup));
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("끊어졌습니다")))
        << testDialogs().last().text.toStdString();
    EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("/ 150000")))
        << testDialogs().last().text.toStdString();
}

TEST_F(Downloader, SetupWithoutALengthOrAsAWebPageIsRefusedWithABox) {
    const QString setup = path(QStringLiteral("peloraorder_Setup.exe"));
    TestHttpServer::Response noLength = file(pattern(150000));
    noLength.omitLength = true;
    TestHttpServer::Response chunked = file(pattern(150000));
    chunked.chunked = true;
    TestHttpServer::Response page = file("<html><body>Welcome to the hotel network</body></html>");
    page.contentType = "text/html; charset=utf-8";
    // A portal page that never finishes: refused from its head, without waiting for its body.
    TestHttpServer::Response endlessPage = page;
    endlessPage.stallAfter = 0;
    const struct {
        TestHttpServer::Response response;
        QString says;
    } cases[] = {
        {noLength, QStringLiteral("크기")},
        {chunked, QStringLiteral("크기")},
        {page, QStringLiteral("웹 페이지")},
        {endlessPage, QStringLiteral("웹 페이지")},
    };
    for (const auto& c : cases) {
        m_server.route(QStringLiteral("/download/peloraorder.exe"), c.response);
        testDialogs().answer(Dialogs::ResultOk);
        const auto boxesBefore = testDialogs().boxes().size();
        EXPECT_FALSE(DownloadSetup(QStringLiteral("peloraorder.exe")));
        EXPECT_FALSE(QFile::exists(setup));
        ASSERT_EQ(testDialogs().boxes().size(), boxesBefore + 1);
        EXPECT_TRUE(testDialogs().last().text.contains(c.says)) << testDialogs().last().text.toStdString();
        EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Exclamation);
    }
}

// Only the user can end these downloads: the server falls silent before its reply's head, or trickles a
// byte at a time, and its silence limit lies far beyond the test's. The button is pressed as soon as the
// progress window shows, whichever wait the download is in by then, and ends it.
TEST_F(Downloader, SetupDownloadShowsItsProgressAndTheCancelButtonEndsIt) {
    http::setLimits({2000, 20000});
    TestHttpServer::Response silent;
    silent.stall = true;
    TestHttpServer::Response trickle = file(pattern(5000));
    trickle.trickleMs = 50;
    const struct {
        const char* wait;
        TestHttpServer::Response reply;
    } cases[] = {{"for the reply's head", silent}, {"for the next byte of the body", trickle}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.wait);
        testDialogs().reset();
        m_server.route(QStringLiteral("/download/peloraorder.exe"), c.reply);
        bool shown = false;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                auto* progress = qobject_cast<QProgressDialog*>(w);
                if (!progress || !progress->isVisible()) continue;
                shown = true;
                poll.stop();
                for (QPushButton* b : progress->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("취소")) b->click();
            }
        });
        poll.start(100);
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(DownloadSetup(QStringLiteral("peloraorder.exe")));
        EXPECT_TRUE(shown);
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_FALSE(QFile::exists(path(QStringLiteral("peloraorder_Setup.exe"))));
        EXPECT_TRUE(testDialogs().boxes().isEmpty());
    }
}

}  // namespace
