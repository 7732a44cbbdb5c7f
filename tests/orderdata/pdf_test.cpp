// One real sheet replayed into a PDF and read back with pdftotext (poppler): the texts sit where the
// layout put them, Hangul and blanks come out as they went in.
#include "orderdata/print_buy_order.h"
#include "print/buy_order.h"
#include "print/print_replay.h"
#include "sheet_fixture.h"
#include "support/small_file_system.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace sheet_test;

namespace {

constexpr double kMmPerPoint = 25.4 / 72;

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

struct Word {
    int page;
    double xMin, yMin, xMax, yMax;  // mm
    QString text;
};

QString run(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0) {
        ADD_FAILURE() << "pdftotext failed: " << p.readAllStandardError().toStdString();
        return QString();
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}

// The words of `pdftotext -bbox`, page by page, in millimetres.
std::vector<Word> wordsOf(const QString& pdf) {
    const QString html = run({QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    std::vector<Word> words;
    int page = -1;
    static const QRegularExpression tag(QStringLiteral(
        R"re(<page |<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    for (auto it = tag.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QStringLiteral("<page"))) {
            ++page;
            continue;
        }
        words.push_back({page, m.captured(1).toDouble() * kMmPerPoint, m.captured(2).toDouble() * kMmPerPoint,
                         m.captured(3).toDouble() * kMmPerPoint, m.captured(4).toDouble() * kMmPerPoint,
                         m.captured(5)});
    }
    return words;
}

const Word* findWord(const std::vector<Word>& words, int page, const QString& text) {
    for (const Word& w : words)
        if (w.page == page && w.text == text) return &w;
    ADD_FAILURE() << "no word " << text.toStdString() << " on page " << page;
    return nullptr;
}

class PdfTest : public SheetTest {};

TEST_F(PdfTest, TextsLandWhereTheLayoutPutThemAndReadBackIntact) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    seedBase(0);
    addDirection(11, 0);
    addLines(11, 19);
    // Lines come in 가나다 order of their product: 햇양파 follows the 품목 lines onto page 2.
    // Its remark holds Hanja, which the sheet's font lacks and another font draws.
    addLine(11, QStringLiteral("햇양파 1kg"), QStringLiteral("1200"), QStringLiteral("배송 國産"));
    const PrintDocument doc = PrintBuyOrder(11, false, false);
    ASSERT_EQ(doc.pages.size(), 2u);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QString error;
    ASSERT_TRUE(WritePrintPdf(doc.pages, pdf, &error)) << error.toStdString();
    const std::vector<Word> words = wordsOf(pdf);

    const auto expectAt = [&](int page, const QString& word, const PrintItem& item) {
        const Word* w = findWord(words, page, word);
        if (!w) return;
        EXPECT_NEAR(w->xMin, item.x1, 0.5) << word.toStdString();
        EXPECT_NEAR(w->yMin, item.y1, 0.5) << word.toStdString();
    };
    const PrintPage& one = doc.pages[0];
    expectAt(0, QStringLiteral("라벤푸드"), textItem(one, QStringLiteral("라벤푸드 주문서")));
    expectAt(0, QStringLiteral("Page.1/2"), textItem(one, QStringLiteral("Page.1/2 (총2장)")));
    expectAt(0, QStringLiteral("품목001"), textItem(one, QStringLiteral("품목001")));
    expectAt(0, QStringLiteral("한빛초"), textItem(one, QStringLiteral("한빛초")));
    expectAt(1, QStringLiteral("햇양파"), textItem(doc.pages[1], QStringLiteral("햇양파 1kg")));
    expectAt(1, QStringLiteral("1,200"), textItem(doc.pages[1], QStringLiteral("1,200")));

    // Copied out of the PDF, the lines read as they were printed: Hangul whole, blanks as blanks.
    const QString text = run({QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    for (const QString& expected :
         {QStringLiteral("라벤푸드 주문서"), QStringLiteral("수 신 처 : 라벤청과"),
          QStringLiteral("Page.2/2 (총2장)"), QStringLiteral("햇양파 1kg"), QStringLiteral("배송 國産")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    for (const QChar c : text)
        EXPECT_FALSE(c.category() == QChar::Other_Control && c != u'\n' && c != u'\f')
            << "control character " << int(c.unicode());
}

// A sheet saved as a PDF on a full disk: the save fails with the system's reason and leaves no file, and an
// older file of that name stays as it was.
TEST_F(PdfTest, AFullDiskKeepsNoHalfWrittenSheet) {
    SmallFileSystem disk(128);
    if (!disk.problem().isEmpty()) GTEST_SKIP() << "no small file system: " << disk.problem().toStdString();
    seedBase(0);
    addDirection(11, 0);
    addLines(11, 40);
    const PrintDocument doc = PrintBuyOrder(11, false, false);
    const QString older = disk.path() + QStringLiteral("/older.pdf");
    QString error;
    ASSERT_TRUE(WritePrintPdf({doc.pages.front()}, older, &error)) << error.toStdString();
    const QByteArray olderBytes = readAll(older);
    disk.fill(4096);
    for (const QString& path : {disk.path() + QStringLiteral("/sheet.pdf"), older}) {
        error.clear();
        EXPECT_FALSE(WritePrintPdf(doc.pages, path, &error)) << path.toStdString();
        EXPECT_TRUE(error.contains(QStringLiteral("No space left on device"))) << error.toStdString();
    }
    EXPECT_FALSE(QFile::exists(disk.path() + QStringLiteral("/sheet.pdf")));
    EXPECT_EQ(readAll(older), olderBytes);
}

}  // namespace
