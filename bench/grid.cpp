// Filling a 100,000-row (--size), 10-column grid with repainting off and switching it on again (what every
// list load does), against copying the same texts into a plain vector.
#include "support/bench_support.h"
#include "widgets/spread_grid.h"

#include <QApplication>

#include <vector>

namespace {

constexpr int kCols = 10;

int rows() {
    return bench::size();
}

// Texts like those of an order list: names and units in Hangul, codes, quantities and dates in ASCII.
const std::vector<QString>& texts() {
    static const std::vector<QString> t = [] {
        std::vector<QString> v;
        v.reserve(size_t(rows()) * kCols);
        for (int r = 1; r <= rows(); ++r) {
            v.push_back(QStringLiteral("가나식품 %1").arg(r % 977));
            v.push_back(QStringLiteral("사과 %1kg").arg(r % 13));
            v.push_back(QString::number(r % 97) + QStringLiteral(".5"));
            v.push_back(QStringLiteral("박스"));
            v.push_back(QStringLiteral("냉장 보관, cold"));
            v.push_back(QStringLiteral("%1호차").arg(r % 30));
            v.push_back(QString::number(1000000 + r));
            v.push_back(QString::number(5000 + r % 800));
            v.push_back(QStringLiteral("똠얌 Foods %1").arg(r % 41));
            v.push_back(QStringLiteral("2026-12-%1").arg(1 + r % 28, 2, 10, QLatin1Char('0')));
        }
        return v;
    }();
    return t;
}

void BM_VectorCopy(benchmark::State& state) {
    const std::vector<QString>& source = texts();
    for (auto _ : state) {
        std::vector<QString> copy(source.size());
        for (size_t i = 0; i < source.size(); ++i) copy[i] = source[i];
        benchmark::DoNotOptimize(copy.data());
    }
}

// The grid lives as long as the program, as a window's grid does across its list loads: each load writes
// into the memory the last one took.
SpreadGrid& theGrid() {
    static SpreadGrid* grid = [] {
        auto* g = new SpreadGrid;
        g->setMaxCols(kCols);
        g->resize(800, 600);
        g->show();
        QApplication::processEvents();
        return g;
    }();
    return *grid;
}

void BM_GridFill(benchmark::State& state) {
    const std::vector<QString>& source = texts();
    SpreadGrid& grid = theGrid();
    for (auto _ : state) {
        grid.setReDraw(false);
        grid.setMaxRows(0);
        grid.setMaxRows(rows());
        // A row at a time, as the main window's lists write their rows.
        const QString* row[kCols];
        for (int r = 0; r < rows(); ++r) {
            for (int c = 0; c < kCols; ++c) row[c] = &source[size_t(r) * kCols + size_t(c)];
            grid.setRowTexts(r + 1, 1, row);
        }
        grid.setReDraw(true);
        QApplication::processEvents();  // the one repaint
        if (grid.dataRowCnt() != rows()) state.SkipWithError("the grid is incomplete");
    }
}

BENCHMARK(BM_VectorCopy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GridFill)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, 100000, "rows");
    QApplication app(argc, argv);
    texts();
    const int status = bench::runAndReportRatio(argc, argv, "BM_GridFill", "BM_VectorCopy");
    delete &theGrid();
    return status;
}
