// A mode-1 order sheet of 1,000 lines with a 200-row summary and the notices, recorded on the millimetre
// canvas and replayed into a PDF, against the same drawing calls made straight on a PDF with a bare
// QPainter (positions, fonts and baselines worked out beforehand, so the baseline only draws).
#include "platform/fonts.h"
#include "print/print_canvas.h"
#include "print/print_replay.h"
#include "print/sheet_layout.h"
#include "support/bench_support.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <vector>

namespace {

constexpr int kSummaryRows = 200;

const SheetData& sheet() {
    static const SheetData s = [] {
        SheetData d;
        d.mode = 1;
        d.buyerName = QStringLiteral("라벤청과");
        d.bdate = QStringLiteral("2030-05-10");
        const QString products[] = {QStringLiteral("양파"), QStringLiteral("대파 1단 1kg 내외"),
                                    QStringLiteral("깐양파 특품 무안산 산지직송 20kg 망 포장 상품"),
                                    QStringLiteral("똠양꿍 페이스트 454g"), QStringLiteral("감자 수미 10kg")};
        for (int i = 0; i < bench::size(); ++i)
            d.lines.push_back({QStringLiteral("2030-05-10"), products[i % 5], QString::number(i % 40 + 0.5),
                               QStringLiteral("kg"), i % 3, QStringLiteral("한빛초%1").arg(i % 9),
                               i % 4 == 0 ? QStringLiteral("오전 배송 문 앞에") : QString(),
                               QStringLiteral("%1호차").arg(i % 12)});
        d.withSummary = true;
        for (int i = 0; i < kSummaryRows; ++i)
            d.summary.push_back(
                {products[i % 5] + QString::number(i), QString::number(1200 + i), QStringLiteral("박스")});
        d.withNotices = true;
        d.notices = QStringLiteral(
            "내일 입고는 오전 7시까지 후문으로 부탁드립니다.\r\n"
            "설 연휴 동안에는 배송이 없습니다. 미리 주문해 주세요.\r\n"
            "차량 2대 운행");
        return d;
    }();
    return s;
}

std::unique_ptr<QPdfWriter> pdfOn(QBuffer& buffer) {
    auto writer = std::make_unique<QPdfWriter>(&buffer);
    writer->setResolution(600);
    writer->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                                      QPageLayout::Millimeter));
    return writer;
}

void BM_RecordAndReplay(benchmark::State& state) {
    std::size_t bytes = 0;
    for (auto _ : state) {
        PrintCanvas canvas;
        canvas.PrnInit(QString());
        LayOutSheet(canvas, sheet(), EstimatedPages(sheet()));
        const PrintDocument doc = canvas.PrnTakeDocument();
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QString error;
        if (!WritePrintPdf(doc.pages, &buffer, &error)) state.SkipWithError("the PDF failed");
        bytes = std::size_t(pdf.size());
    }
    std::printf("sheet PDF: %zu bytes\n", bytes);
}

// One drawing call of the baseline, in device pixels of the 600-dpi PDF.
struct Call {
    bool text = false;
    int font = 0;
    QPointF a, b;
    QString s;
    double pen = 1;
    bool box = false;
};

void BM_BarePainter(benchmark::State& state) {
    PrintCanvas canvas;
    canvas.PrnInit(QString());
    LayOutSheet(canvas, sheet(), EstimatedPages(sheet()));
    const PrintDocument doc = canvas.PrnTakeDocument();
    // Everything the drawing needs, worked out before the clock runs.
    QByteArray probe;
    QBuffer probeBuffer(&probe);
    probeBuffer.open(QIODevice::WriteOnly);
    auto probeWriter = pdfOn(probeBuffer);
    const double px = 600 / 25.4;
    std::vector<QFont> fonts;
    std::vector<PrintFont> keys;
    std::vector<std::vector<Call>> pages;
    for (const PrintPage& page : doc.pages) {
        std::vector<Call> calls;
        for (const PrintItem& item : page.items) {
            Call c;
            if (item.kind == PrintItem::Kind::Text) {
                auto it = std::find(keys.begin(), keys.end(), item.font);
                if (it == keys.end()) {
                    keys.push_back(item.font);
                    fonts.push_back(ToQFont(item.font));
                    it = keys.end() - 1;
                }
                c.text = true;
                c.font = int(it - keys.begin());
                const double ascent = QFontMetricsF(fonts[std::size_t(c.font)], probeWriter.get()).ascent();
                c.a = QPointF(item.x1 * px, item.y1 * px + ascent);
                c.s = item.text;
            } else {
                c.a = QPointF(item.x1 * px, item.y1 * px);
                c.b = QPointF(item.x2 * px, item.y2 * px);
                c.pen = item.penWidth;
                c.box = item.kind != PrintItem::Kind::Line;
            }
            calls.push_back(c);
        }
        pages.push_back(std::move(calls));
    }
    for (auto _ : state) {
        QByteArray pdf;
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        auto writer = pdfOn(buffer);
        QPainter painter(writer.get());
        for (std::size_t p = 0; p < pages.size(); ++p) {
            if (p > 0) writer->newPage();
            for (const Call& c : pages[p]) {
                if (c.text) {
                    painter.setFont(fonts[std::size_t(c.font)]);
                    painter.setPen(Qt::black);
                    painter.drawText(c.a, c.s);
                } else {
                    QPen pen(Qt::black, c.pen);
                    pen.setCapStyle(Qt::FlatCap);
                    painter.setPen(pen);
                    if (c.box)
                        painter.drawRect(QRectF(c.a, c.b));
                    else
                        painter.drawLine(c.a, c.b);
                }
            }
        }
        painter.end();
    }
}

BENCHMARK(BM_BarePainter)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecordAndReplay)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    bench::parseSize(argc, argv, 1000, "lines");
    QGuiApplication app(argc, argv);
    installFontSubstitutes();
    sheet();
    return bench::runAndReportRatio(argc, argv, "BM_RecordAndReplay", "BM_BarePainter");
}
