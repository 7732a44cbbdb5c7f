// Exporting 65,000 rows (unless --size says otherwise) of 6 columns of mixed Hangul and ASCII texts through
// the grid's workbook export, against libxlsxwriter writing the same cells as an .xlsx file and flushing it
// to the disk as our writer does.
#include "support/bench_support.h"
#include "widgets/spread_grid.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <fcntl.h>
#include <unistd.h>

#include <vector>

namespace {

constexpr int kCols = 6;

QTemporaryDir& folder() {
    static QTemporaryDir dir;
    return dir;
}

const std::vector<QString>& texts() {
    static const std::vector<QString> t = [] {
        std::vector<QString> v;
        v.reserve(size_t(bench::size()) * kCols);
        for (int r = 1; r <= bench::size(); ++r) {
            v.push_back(QStringLiteral("가나식품 %1").arg(r % 977));
            v.push_back(QStringLiteral("사과 %1kg 똠얌").arg(r));
            v.push_back(QString::number(r % 97) + QStringLiteral(".5"));
            v.push_back(QStringLiteral("박스"));
            v.push_back(QStringLiteral("remark %1 냉장").arg(r));
            v.push_back(QStringLiteral("%1호차").arg(r % 30));
        }
        return v;
    }();
    return t;
}

void BM_Xlsxwriter(benchmark::State& state) {
    const std::vector<QString>& source = texts();
    // The same texts, already UTF-8, so the baseline pays no conversion our writer does not.
    std::vector<QByteArray> utf8;
    utf8.reserve(source.size());
    for (const QString& s : source) utf8.push_back(s.toUtf8());
    const QByteArray path = (folder().path() + QStringLiteral("/bench.xlsx")).toLocal8Bit();
    for (auto _ : state) {
        lxw_workbook* wb = workbook_new(path.constData());
        lxw_worksheet* ws = workbook_add_worksheet(wb, "Sheet1");
        size_t i = 0;
        for (int r = 0; r < bench::size(); ++r)
            for (int c = 0; c < kCols; ++c)
                worksheet_write_string(ws, lxw_row_t(r), lxw_col_t(c), utf8[i++].constData(), nullptr);
        if (workbook_close(wb) != LXW_NO_ERROR) state.SkipWithError("libxlsxwriter failed");
        // Our writer flushes its workbook to the disk before it reports success; so does the floor.
        const int fd = ::open(path.constData(), O_RDONLY);
        if (fd < 0 || ::fsync(fd) != 0) state.SkipWithError("flushing the workbook failed");
        if (fd >= 0) ::close(fd);
    }
}

void BM_XlsExport(benchmark::State& state) {
    const std::vector<QString>& source = texts();
    SpreadGrid grid;
    grid.setMaxCols(kCols);
    grid.setMaxRows(bench::size());
    grid.setReDraw(false);
    bench::fillGrid(grid, source, bench::size(), kCols);
    grid.setReDraw(true);
    const QString path = folder().path() + QStringLiteral("/bench.xls");
    const QString log = folder().path() + QStringLiteral("/benchLOG.txt");
    for (auto _ : state) {
        if (!grid.exportToExcel(path, QStringLiteral("Sheet1"), log))
            state.SkipWithError("the export failed");
    }
    std::printf("workbook: %lld bytes\n", static_cast<long long>(QFile(path).size()));
}

BENCHMARK(BM_Xlsxwriter)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsExport)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // Ten times 6,500 is the most a sheet holds (65,536 rows): a hundred times is skipped.
    bench::parseSize(argc, argv, 65000, "rows", 6500, 65536);
    QApplication app(argc, argv);
    texts();
    return bench::runAndReportRatio(argc, argv, "BM_XlsExport", "BM_Xlsxwriter");
}
