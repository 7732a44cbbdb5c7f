// A network label printer that keeps the program waiting (a connection nobody accepts, a host name whose
// lookup never answers, a printer that stops reading): the wait runs beside the window, which keeps
// answering, and the run ends with one box within the time limit.
#include "labels/network_lookup_unix.h"
#include "labels_fixture.h"
#include "raw_listener.h"
#include "widgets/server_wait.h"

#include <QElapsedTimer>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <condition_variable>
#include <cstring>
#include <mutex>

using namespace labels_test;

namespace {

// A listening port whose queue of connections is full: it never accepts, so a new connection is never
// answered.
class FullBacklog {
public:
    FullBacklog() {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof at;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&at), sizeof at);
        ::listen(m_listen, 0);
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&at), &length);
        m_port = ntohs(at.sin_port);
        // Connections that fill the queue.
        for (int& filler : m_fillers) {
            filler = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::connect(filler, reinterpret_cast<sockaddr*>(&at), sizeof at);
        }
    }
    ~FullBacklog() {
        for (int filler : m_fillers) ::close(filler);
        ::close(m_listen);
    }
    int port() const { return m_port; }

private:
    int m_listen = -1;
    int m_fillers[3] = {-1, -1, -1};
    int m_port = 0;
};

// A resolver that does not answer for the name "printer.invalid" until the test ends.
std::mutex g_lookupMutex;
std::condition_variable g_lookupReleased;
bool g_released = false;

int silentLookup(const char* host, const char* service, const addrinfo* hints, addrinfo** found) {
    if (std::strcmp(host, "printer.invalid") != 0) return ::getaddrinfo(host, service, hints, found);
    std::unique_lock<std::mutex> lock(g_lookupMutex);
    g_lookupReleased.wait(lock, [] { return g_released; });
    *found = nullptr;
    return EAI_AGAIN;
}

class LabelNetworkWaitTest : public LabelSendTest {
protected:
    void SetUp() override {
        LabelSendTest::SetUp();
        blocking_wait::setWaiter(&m_waiter);
        g_released = false;
    }
    void TearDown() override {
        labels::SetHostLookup(nullptr);
        {
            std::lock_guard<std::mutex> lock(g_lookupMutex);
            g_released = true;
        }
        g_lookupReleased.notify_all();
        blocking_wait::setWaiter(nullptr);
        LabelSendTest::TearDown();
    }
    void useNetworkPrinter(const QString& host, int port) {
        setPortSetting(label_settings::kKindKey, QStringLiteral("NETWORK"));
        setPortSetting(label_settings::kHostKey, host);
        setPortSetting(label_settings::kNetPortKey, QString::number(port));
        setPortSetting(label_settings::kTimeoutKey, QStringLiteral("1.5"));
    }
    // Prints the checked rows while a timer of the window's thread ticks; returns the longest time the
    // window went without answering, and sets `took` to the run's time.
    qint64 printWatchingTheWindow(qint64* took) {
        QElapsedTimer sinceTick;
        qint64 longest = 0;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
        tick.start(10);
        testDialogs().answer(Dialogs::ResultYes);
        testDialogs().answer(Dialogs::ResultOk);
        QElapsedTimer clock;
        clock.start();
        sinceTick.start();
        window->PrintCheckedRows();
        *took = clock.elapsed();
        return longest;
    }

    // The dialog with 취소 shows soon, so that the tests see it do no harm.
    ServerWaiter m_waiter{300};
};

}  // namespace

TEST_F(LabelNetworkWaitTest, TheWindowKeepsAnsweringAndOneBoxComesWithinTheLimit) {
    FullBacklog backlog;
    RawListener jammed(RawListener::Mode::StopReading, 4096);
    struct Case {
        const char* what;
        QString host;
        int port;
        int labels;
        QString says;  // in the box
        qint64 withinMs;
    } cases[] = {
        // The limit, and a second for a loaded machine.
        {"a connection nobody accepts", QStringLiteral("127.0.0.1"), backlog.port(), 1,
         QStringLiteral("1.5초 안에 연결되지 않았습니다) in procedure Print_PortOpen"), 2500},
        {"a lookup that never answers", QStringLiteral("printer.invalid"), 9100, 1,
         QStringLiteral("1.5초 안에 주소를 찾지 못했습니다) in procedure Print_PortOpen"), 2500},
        // The limit counts from the printer's last progress, which its buffer makes for a while.
        {"a printer that stops reading", QStringLiteral("127.0.0.1"), jammed.port(), 80,
         QStringLiteral("1.5초 동안 전송되지 않았습니다) in procedure Print_Barcode"), 6000},
    };
    labels::SetHostLookup(&silentLookup);
    for (const Case& c : cases) {
        window = std::make_unique<fBPrintLabel>();
        testDialogs().reset();
        useNetworkPrinter(c.host, c.port);
        QStringList products;
        for (int i = 1; i <= c.labels; ++i) products << QStringLiteral("제품%1").arg(i);
        typeLabels(products);
        checkRows(firstRows(c.labels));
        showWindow();
        qint64 took = 0;
        const qint64 longest = printWatchingTheWindow(&took);
        EXPECT_LT(longest, 250) << c.what;
        EXPECT_LT(took, c.withinMs) << c.what;
        ASSERT_EQ(testDialogs().boxes().size(), 2) << c.what;
        EXPECT_TRUE(testDialogs().last().text.contains(c.says)) << testDialogs().last().text.toStdString();
        EXPECT_LT(greyRows().size(), c.labels) << c.what;
    }
}
