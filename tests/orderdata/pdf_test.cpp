// One real sheet replayed into a PDF and read back with pdftotext (poppler): the texts sit where the
// layout put them, Hangul and blanks come out as they went in.
#include "orderdata/sheet_data.h"
#include "print/buy_order.h"
#include "print/print_replay.h"
#include "print/sheet_layout.h"
#include "sheet_fixture.h"
#include "support/pdf_words.h"
#include "support/small_file_system.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>

using namespace sheet_test;

namespace {

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

using Word = PdfWord;

const Word* findWord(const std::vector<Word>& words, int page, const QString& text) {
    for (const Word& w : words)
        if (w.page == page && w.text == text) return &w;
    ADD_FAILURE() << "no word " << text.toStdString() << " on page " << page;
    return nullptr;
}

class PdfTest : public SheetTest {};

TEST_F(PdfTest, TextsLandWhereTheLayoutPutThemAndReadBackIntact) {
    if (!havePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    seedBase(0);
    addDirection(11, 0);
    addLines(11, 19);
    // Lines come in 가나다 order of their product: 햇양파 follows the 품목 lines onto page 2.
    // Its remark holds Hanja, which the sheet's font lacks and another font draws.
    addLine(11, QStringLiteral("햇양파 1kg"), QStringLiteral("1200"), QStringLiteral("배송 國産"));
    const PrintDocument doc = recordedSheet(11, false, false);
    ASSERT_EQ(doc.pages.size(), 2u);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
    QString error;
    ASSERT_TRUE(WritePrintPdf(doc.pages, pdf, &error)) << error.toStdString();
    const std::vector<Word> words = pdfWords(pdf);

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
    const QString text = pdftotext(pdf, {QStringLiteral("-layout")});
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
    const PrintDocument doc = recordedSheet(11, false, false);
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

// Texts from the order database of any length and content stay inside their cells on paper: condensed or
// cut at the cell's edge, never over the next column's rule, the page's edge or the centred delivery date;
// line breaks and control bytes are drawn as blanks. Read back from the PDF, word by word.
TEST(SheetPdf, HostileTextsStayInsideTheirCells) {
    if (!havePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString fifty = QString(50, QChar(u'가'));
    SheetData sheet;
    sheet.mode = 1;
    sheet.buyerName = QStringLiteral("아주긴거래처이름입니다만끝이없는상호명주식회사미래청과유통본점");
    sheet.bdate = QStringLiteral("2030-05-10");
    const struct {
        QString product, unit, customer, remark;
    } rows[] = {
        {fifty, QStringLiteral("박스박스박스"), QString(30, QChar(u'나')), QString(40, QChar(u'다'))},
        {QStringLiteral("양파\r\n대파"), QStringLiteral("kg"), QStringLiteral("한빛\t초"),
         QStringLiteral("<b>굵게</b><img src=\"/dev/zero\">")},
        {QString(100, QLatin1Char('W')), QStringLiteral("\x1b!R"), QStringLiteral("A\\\"B"),
         QStringLiteral("줄\n바꿈\x0c끝")},
    };
    for (const auto& r : rows)
        sheet.lines.push_back({sheet.bdate, r.product, QStringLiteral("123456789"), r.unit, 1, r.customer,
                               r.remark, QStringLiteral("12호차")});
    sheet.withSummary = true;
    sheet.summary.push_back({fifty, QStringLiteral("99999999"), QString(20, QChar(u'단'))});

    const PrintDocument doc = RecordSheet(sheet, QString());
    ASSERT_EQ(doc.pages.size(), 1u);
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("hostile.pdf"));
    QString error;
    ASSERT_TRUE(WritePrintPdf(doc.pages, pdf, &error)) << error.toStdString();
    const std::vector<Word> words = pdfWords(pdf);

    // The rules of the line table (rows from 42 mm) and of the summary table below it.
    const std::vector<double> lineRules = {10, 20, 30, 108, 121, 136, 154, 187, 198};
    const std::vector<double> summaryRules = {10, 20, 170, 183, 198};
    const Word* summaryCaption = findWord(words, 0, QStringLiteral("집계표"));
    ASSERT_TRUE(summaryCaption);
    for (const Word& w : words) {
        if (w.yMin < 42 || std::abs(w.yMin - summaryCaption->yMin) < 1) continue;
        const std::vector<double>& rules = w.yMin < summaryCaption->yMin ? lineRules : summaryRules;
        const auto right = std::upper_bound(rules.begin(), rules.end(), w.xMin + 0.05);
        ASSERT_NE(right, rules.end()) << w.text.toStdString();
        EXPECT_LE(w.xMax, *right + 0.05) << w.text.toStdString() << " crosses the rule at " << *right;
    }
    // The buyer's name ends before the delivery date that is centred on the same line.
    const Word* delivery = findWord(words, 0, QStringLiteral("납"));
    ASSERT_TRUE(delivery);
    for (const Word& w : words) {
        if (std::abs(w.yMin - delivery->yMin) < 1 && w.xMin < delivery->xMin) {
            EXPECT_LT(w.xMax, delivery->xMin) << w.text.toStdString();
        }
    }

    const QString text = pdftotext(pdf, {QStringLiteral("-layout")});
    // Quantities are condensed, never cut: every digit reaches the paper.
    for (const QString& expected :
         {QStringLiteral("123,456,789"), QStringLiteral("99,999,999"), QStringLiteral("양파 대파"),
          QStringLiteral("한빛 초"), QStringLiteral("<b>굵게</b>"), QStringLiteral("줄 바꿈 끝")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    for (const QChar c : text)
        EXPECT_FALSE(c.category() == QChar::Other_Control && c != u'\n' && c != u'\f')
            << "control character " << int(c.unicode());
}

}  // namespace
