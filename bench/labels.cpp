// 1,000 labels built from the label window's rows and sent through the label port to a serial line (a
// pseudo-terminal whose other end is drained as a printer would), against the time the same bytes need
// on the printer's 9600 bit/s line (10 bits a byte with start and stop bit). The program must never be
// the reason a label printer waits.
#include "labels/fb_print_label.h"
#include "labels/label_commands.h"
#include "labels/label_settings.h"
#include "platform/settings_store.h"
#include "support/bench_support.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QTemporaryDir>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <thread>

namespace {

// The printer's end of the line: reads everything that arrives until stopped.
class Printer {
public:
    Printer() {
        char name[256] = {};
        openpty(&m_master, &m_slave, name, nullptr, nullptr);
        termios raw{};
        tcgetattr(m_slave, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_slave, TCSANOW, &raw);
        m_path = QString::fromLocal8Bit(name);
        m_reader = std::thread([this] {
            char buffer[65536];
            while (!m_stop) {
                pollfd p{m_master, POLLIN, 0};
                if (poll(&p, 1, 50) > 0) {
                    const ssize_t n = ::read(m_master, buffer, sizeof buffer);
                    if (n > 0) m_bytes += n;
                }
            }
        });
    }
    ~Printer() {
        m_stop = true;
        m_reader.join();
        ::close(m_master);
        ::close(m_slave);
    }
    QString path() const { return m_path; }
    long long bytes() const { return m_bytes; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
    std::atomic<bool> m_stop{false};
    std::atomic<long long> m_bytes{0};
    std::thread m_reader;
};

Printer& printer() {
    static Printer p;
    return p;
}

// The label window holding 1,000 labels of mixed Hangul and ASCII, with a remark on two lines now and then.
fBPrintLabel& window() {
    static fBPrintLabel* w = [] {
        auto* win = new fBPrintLabel;
        SpreadGrid* g = win->spList();
        g->setReDraw(false);
        g->setMaxRows(bench::size());
        for (int r = 1; r <= bench::size(); ++r) {
            g->setText(1, r, QStringLiteral("1"));
            g->setText(2, r, QStringLiteral("한빛초등학교 %1").arg(r % 37));
            g->setText(3, r, QStringLiteral("깐양파 특품 %1").arg(r % 11));
            g->setText(4, r, QStringLiteral("10kg/35kg"));
            g->setText(5, r, QStringLiteral("국산"));
            g->setText(6, r, QStringLiteral("냉장 보관"));
            g->setText(7, r, QStringLiteral("2030년 05월 10일"));
            g->setText(8, r, QStringLiteral("제조일로부터 7일"));
            g->setText(9, r, QStringLiteral("%1호차").arg(r % 9));
            g->setText(10, r, QStringLiteral("라벤농산"));
            g->setText(11, r,
                       r % 3 ? QStringLiteral("오전 배송")
                             : QStringLiteral("문 앞에 두고 벨을 누르지 말아 주세요. 똠양꿍 포장 주의"));
        }
        g->setReDraw(true);
        return win;
    }();
    return *w;
}

// The bytes one print run of all the labels sends.
long long runBytes() {
    long long bytes = label_commands::Encode(label_commands::LabelSetupBlock()).size();
    for (int r = 1; r <= bench::size(); ++r)
        bytes += label_commands::Encode(label_commands::LabelBlock(window().RowTexts(r))).size();
    return bytes;
}

void BM_LabelsToSerialPort(benchmark::State& state) {
    fBPrintLabel& w = window();
    for (auto _ : state) {
        if (!w.Print_PortOpen()) {
            state.SkipWithError("the port did not open");
            break;
        }
        bool ok = w.SendLabelSetup();
        for (int r = 1; r <= bench::size() && ok; ++r) ok = w.SendLabel(r);
        w.Print_PortClose();
        if (!ok) state.SkipWithError("a label was not sent");
    }
}

// The line itself: what the same bytes take at 9600 bit/s.
void BM_Line9600(benchmark::State& state) {
    const double seconds = double(runBytes()) * 10.0 / 9600.0;
    for (auto _ : state) state.SetIterationTime(seconds);
}

BENCHMARK(BM_LabelsToSerialPort)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Line9600)
    ->UseManualTime()
    ->Iterations(1)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, 1000, "labels");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    QApplication app(argc, argv);
    settings::save(label_settings::kSettingsApp, label_settings::kSettingsSection, QStringLiteral("PORTTYPE"),
                   QStringLiteral("1"));
    settings::save(label_settings::kSettingsApp, label_settings::kSettingsSection, QStringLiteral("COM1"),
                   printer().path());
    window();
    std::printf("one run: %d labels, %lld bytes\n", bench::size(), runBytes());
    return bench::runAndReportRatio(argc, argv, "BM_LabelsToSerialPort", "BM_Line9600");
}
