// The millimetre canvas: what its primitives record, measured with the real font at printer resolution.
#include "print/print_canvas.h"
#include "support/qt_printers.h"
#include "support/scripted_dialogs.h"

#include <gtest/gtest.h>

namespace {

constexpr double kHalfEm12 = 12.0 / 72 * 25.4 / 2;  // an ASCII character of 굴림체 at 12 pt, mm

class CanvasTest : public testing::Test {
protected:
    void SetUp() override { canvas.PrnInit(QString()); }
    // The texts recorded so far, with their positions.
    std::vector<PrintItem> texts() {
        std::vector<PrintItem> out;
        const PrintDocument doc = canvas.PrnTakeDocument();
        for (const PrintPage& page : doc.pages)
            for (const PrintItem& item : page.items)
                if (item.kind == PrintItem::Kind::Text) out.push_back(item);
        return out;
    }

    PrinterChoice printers;  // no printer installed unless a test installs some
    PrintCanvas canvas{printers};
};

TEST_F(CanvasTest, MeasuresWithTheRealMonospacedFont) {
    canvas.SetPrnFont(12, 0);
    // 굴림체 (or its stand-in) gives ASCII half and Hangul a full em.
    EXPECT_NEAR(canvas.PrnTextWidth(QStringLiteral("AB")), 2 * kHalfEm12, 0.01);
    EXPECT_NEAR(canvas.PrnTextWidth(QStringLiteral("가나")), 4 * kHalfEm12, 0.01);
    EXPECT_EQ(canvas.PrnTextWidth(QString()), 0);
    EXPECT_EQ(canvas.PrnTextHeight(QString()), 0);
    const float h12 = canvas.PrnTextHeight(QStringLiteral("가"));
    canvas.SetPrnFont(24, -1);
    EXPECT_NEAR(canvas.PrnTextHeight(QStringLiteral("가")), 2 * h12, 0.05);
    EXPECT_GT(h12, 4.0);  // a line of 12 pt is taller than the 4.2 mm em
    EXPECT_LT(h12, 6.0);
}

TEST_F(CanvasTest, AlignsInsideItsBox) {
    canvas.PrintText_abs(10, 10, QStringLiteral("ABCD"), 12, false, 1, 30);  // centred
    canvas.PrintText_abs(20, 10, QStringLiteral("ABCD"), 12, false, 2, 30);  // right-aligned
    // wider than its box
    canvas.PrintText_abs(30, 10, QStringLiteral("가나다라마바사아자차"), 12, true, 1, 20);
    // middle between 40 and 60
    canvas.PrintText_abs(40, 10, QStringLiteral("AB"), 12, false, 0, 0, 0, 0, 1, 60);
    const auto t = texts();
    ASSERT_EQ(t.size(), 4u);
    EXPECT_NEAR(t[0].x1, 20 - 2 * kHalfEm12, 0.01);
    EXPECT_NEAR(t[1].x1, 30 - 4 * kHalfEm12, 0.01);
    EXPECT_LT(t[2].x1, 10);
    EXPECT_TRUE(t[2].font.bold);
    EXPECT_GT(t[3].y1, 47);
    EXPECT_LT(t[3].y1, 50);
}

// Y and X both 0: the text goes where the last one ended, without alignment.
TEST_F(CanvasTest, ZeroPositionContinuesAtTheCurrentPosition) {
    canvas.PrintText_abs(10, 20, QStringLiteral("AB"), 12);
    canvas.PrintText_abs(0, 0, QStringLiteral("CD"), 0, false, 1, 190);
    canvas.SetPrintPos(0, 50);
    canvas.PrintText_abs(0, 0, QStringLiteral("E"));
    const auto t = texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_NEAR(t[1].x1, 20 + 2 * kHalfEm12, 0.01);
    EXPECT_DOUBLE_EQ(t[1].y1, 10);
    EXPECT_DOUBLE_EQ(t[2].x1, 50);
    EXPECT_DOUBLE_EQ(t[2].y1, 10);
}

TEST_F(CanvasTest, WrapsIntoTwoLinesAroundThePositionAndDropsTheRest) {
    canvas.PrintText_abs(50, 10, QStringLiteral("가나다라마바사"), 12, false, 0, 0, 4);
    canvas.PrintText_abs(80, 10, QStringLiteral("가나"), 12, false, 0, 0, 4);    // one piece: one line
    canvas.PrintText_abs(90, 10, QStringLiteral("ABC"), 12, false, 0, 0, 0, 5);  // letter spacing
    const auto t = texts();
    ASSERT_EQ(t.size(), 6u);
    const double h = canvas.PrnTextHeight(QStringLiteral("가"));
    EXPECT_EQ(t[0].text, QStringLiteral("가나"));
    EXPECT_NEAR(t[0].y1, 50 - 0.65 * h, 1e-3);
    EXPECT_EQ(t[1].text, QStringLiteral("다라"));
    EXPECT_NEAR(t[1].y1, 50 + 0.65 * h, 1e-3);
    EXPECT_EQ(t[2].text, QStringLiteral("가나"));
    EXPECT_DOUBLE_EQ(t[2].y1, 80);
    EXPECT_EQ(t[3].text, QStringLiteral("A"));
    EXPECT_DOUBLE_EQ(t[4].x1, 15);
    EXPECT_DOUBLE_EQ(t[5].x1, 20);
}

TEST_F(CanvasTest, ParagraphLinesAndLimits) {
    struct Case {
        QString text;
        int maxLines;
        int wrap;
        QStringList lines;  // the text of each line, "" for a line left blank
    } cases[] = {
        {QStringLiteral("첫줄\r\n\r\n셋째줄"),
         -1,
         0,
         {QStringLiteral("첫줄"), QString(), QStringLiteral("셋째줄")}},
        {QStringLiteral("가나다라마바사아"),
         3,
         4,
         {QStringLiteral("가나"), QStringLiteral("다라"), QStringLiteral("마바")}},
        // The rest of a cut keeps its leading blank; a piece of blanks alone is a blank line, not a freeze.
        {QStringLiteral("abc defgh"),
         -1,
         4,
         {QStringLiteral("abc"), QStringLiteral(" def"), QStringLiteral("gh")}},
        {QStringLiteral("ab        cd"),
         -1,
         4,
         {QStringLiteral("ab"), QString(), QString(), QStringLiteral("cd")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        canvas.PrnInit(QString());
        canvas.PrintParagraph(12, 100, c.text, c.maxLines, c.wrap, Qt::black, 12, false);
        const double lineHeight = 1.1 * canvas.PrnTextHeight(QStringLiteral("가"));
        const auto t = texts();
        std::size_t k = 0;
        for (int line = 0; line < c.lines.size(); ++line) {
            if (c.lines[line].isEmpty()) continue;
            ASSERT_LT(k, t.size());
            EXPECT_EQ(t[k].text, c.lines[line]);
            EXPECT_NEAR(t[k].y1, 100 + line * lineHeight, 1e-3);
            EXPECT_DOUBLE_EQ(t[k].x1, 12);
            ++k;
        }
        EXPECT_EQ(k, t.size());
    }
}

TEST_F(CanvasTest, LinesBoxesAndPrintJobs) {
    canvas.PrintLine_abs(33, 10, 33, 198);
    canvas.PrintLine_abs(237, 10, 276, 198, 12, Qt::black, true, false);
    canvas.PrnEndDoc();
    canvas.PrnEndDoc();  // a job with nothing drawn leaves no page
    canvas.PrintLine_abs(1, 2, 3, 4, 1, Qt::red, true, true);
    const PrintDocument doc = canvas.PrnTakeDocument();
    ASSERT_EQ(doc.pages.size(), 2u);
    ASSERT_EQ(doc.pages[0].items.size(), 2u);
    EXPECT_EQ(doc.pages[0].items[0].kind, PrintItem::Kind::Line);
    EXPECT_EQ(doc.pages[0].items[1].kind, PrintItem::Kind::Box);
    EXPECT_DOUBLE_EQ(doc.pages[0].items[1].penWidth, 12);
    EXPECT_EQ(doc.pages[1].items[0].kind, PrintItem::Kind::FilledBox);
    EXPECT_EQ(doc.pages[1].items[0].colour, QColor(Qt::red));
}

TEST_F(CanvasTest, PrinterChosenByExactNameStaysForTheProcess) {
    printers.SetInstalledPrintersSource([] {
        return QStringList{QStringLiteral("Office"), QStringLiteral("Office 2")};
    });
    canvas.PrnInit(QStringLiteral("Office 2"));
    EXPECT_EQ(canvas.PrnTakeDocument().printerName, QStringLiteral("Office 2"));
    canvas.PrnInit(QStringLiteral("office"));  // no exact match: the current printer stays
    EXPECT_EQ(canvas.CurrentPrinterName(), QStringLiteral("Office 2"));
    canvas.PrnInit(QString());
    EXPECT_EQ(canvas.PrnTakeDocument().printerName, QStringLiteral("Office 2"));
    canvas.SelectPrinterByName(QStringLiteral("Office"));
    EXPECT_EQ(canvas.CurrentPrinterName(), QStringLiteral("Office"));
    // The next document on a canvas of its own goes to the same printer.
    PrintCanvas next(printers);
    next.PrnInit(QString());
    EXPECT_EQ(next.PrnTakeDocument().printerName, QStringLiteral("Office"));
}

TEST_F(CanvasTest, PrnInitReportsAFailingStepAndGoesOn) {
    canvas.PrintText_abs(10, 10, QStringLiteral("old"), 20, true);
    testDialogs().answer(Dialogs::ResultOk);
    canvas.PrnInit(QString(), 3);  // not millimetres
    EXPECT_TRUE(
        testDialogs().last().text.endsWith(QStringLiteral(") in procedure PrnInit of Module modVBPrint")));
    // The steps after it ran: a fresh document in 굴림체 9 pt, not bold.
    canvas.PrintText_abs(10, 10, QStringLiteral("new"));
    const auto t = texts();
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].font, (PrintFont{QStringLiteral("굴림체"), 9, false}));
}

}  // namespace
