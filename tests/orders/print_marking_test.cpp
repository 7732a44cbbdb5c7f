// Which directions a print marks "출력" when a sheet of two is cancelled, and which direction the ahead
// sheet is printed for: what the clerk trusts when deciding what still has to be printed. Every page
// becomes a PDF file in the data folder's Print/, as on a machine without a printer.
#include "common/app_title.h"
#include "orders/frm_main.h"
#include "orders/live_watch.h"
#include "orders_fixture.h"
#include "platform/printer/page_printer.h"
#include "platform/settings_store.h"
#include "support/pdf_words.h"
#include "support/small_file_system.h"
#include "support/tcp_proxy.h"
#include "widgets/print_preview.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace orders_test {
namespace {

class PrintMarkingTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        if (!page_printer::installedPrinterNames().isEmpty())
            GTEST_SKIP() << "a printer is installed: the sheets would go to paper";
    }
    QStringList printedFiles(const QString& pattern = QStringLiteral("*.pdf")) const {
        return QDir(dataDir.filePath(QStringLiteral("Print"))).entryList({pattern}, QDir::Files, QDir::Name);
    }
    // Eighty lines more on a direction: its sheet runs to several pages and shows its progress.
    static void lengthen(int direction) {
        QStringList values;
        for (int i = 0; i < 80; ++i) values << QStringLiteral("('대파', 1, %1, 2, 208)").arg(direction);
        testdb::exec(QStringLiteral("INSERT INTO t_ordering (pname, qnt, c_direction, c_product, "
                                    "c_orderuser_sub) VALUES ") +
                     values.join(QStringLiteral(", ")));
    }
    // Presses the cancel button of the first sheet's progress that shows, once two of its pages are out.
    void cancelTheFirstProgressShown() {
        m_watch = [this] {
            QPointer<QProgressDialog> progress;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible()) progress = d;
            if (progress && progress->value() >= 2) {
                progress->cancel();
                return;
            }
            QTimer::singleShot(0, m_watch);
        };
        QTimer::singleShot(0, m_watch);
    }

    std::function<void()> m_watch;
};

// 납품일 2030-05-10: the first sheet (purchase date 05-11, a page) prints and marks its list; the ahead
// sheet (directions 14 and 15, five pages) is cancelled, so neither of its directions counts as printed.
TEST_F(PrintMarkingTest, ACancelledAheadSheetMarksNothingOfItsOwn) {
    lengthen(14);
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    cancelTheFirstProgressShown();
    testDialogs().answer(Dialogs::ResultOk);  // what came out
    window->btnPrint()->click();
    EXPECT_EQ(printedFiles(QStringLiteral("*_01_*.pdf")).size(), 1);
    EXPECT_EQ(printedFiles(QStringLiteral("*_02_*.pdf")).size(), 2);
    for (int code : {11, 13, 17, 18}) EXPECT_EQ(stateOf(code), QStringLiteral("출력")) << code;
    for (int code : {14, 15}) EXPECT_EQ(stateOf(code), QString()) << code;
    // The box says the print was cancelled and how far it came, and names the files that were written.
    ASSERT_EQ(testDialogs().boxes().size(), 1u);
    const QString text = testDialogs().boxes().front().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("주문서 출력을 취소했습니다. 5장 중 2장이 출력되었습니다.")))
        << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("PDF 파일로 저장했습니다"))) << text.toStdString();
    for (const QString& file : printedFiles()) EXPECT_TRUE(text.contains(file)) << file.toStdString();
}

// The disk fills up after the first page of a sheet: one box says how many pages came out, why the run
// stopped, names the one file written, offers its folder and gives the numbers last; nothing is marked.
TEST_F(PrintMarkingTest, APdfRunThatFailsPartWaySaysWhichPagesWereWritten) {
    lengthen(14);
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    const int row = [&] {
        for (int r = 1; r <= window->spListO()->maxRows(); ++r)
            if (window->spListO()->text(8, r) == QLatin1String("14")) return r;
        return 0;
    }();
    ASSERT_GT(row, 0);
    window->spListO()->setActiveCell(1, row);
    // The sizes of the sheet's pages, from a first print that is then forgotten.
    cancelTheFirstProgressShown();
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    const QStringList first = printedFiles();
    ASSERT_GE(first.size(), 2);
    const qint64 pageBytes = QFileInfo(dataDir.filePath(QStringLiteral("Print/") + first.front())).size();
    testDialogs().reset();

    SmallFileSystem disk(2048);
    if (!disk.problem().isEmpty()) GTEST_SKIP() << "no small file system: " << disk.problem().toStdString();
    qputenv("PELORA_DATA_DIR", disk.path().toUtf8());
    QDir(disk.path()).mkpath(QStringLiteral("Print"));
    disk.fill(pageBytes + 8192);  // room for one page and its temporary file's rounding, not two
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    qputenv("PELORA_DATA_DIR", dataDir.path().toUtf8());

    const QStringList written = QDir(disk.path() + QStringLiteral("/Print"))
                                    .entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    ASSERT_EQ(written.size(), 1);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const auto& box = testDialogs().last();
    EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Dialogs::Buttons::OkOpenFolder);
    const QStringList lines = box.text.split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 4) << box.text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("주문서 출력이 중단되었습니다. 5장 중 1장이 출력되었습니다."));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("PDF 파일을 저장하지 못했습니다.")))
        << box.text.toStdString();
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("저장된 PDF 파일 1개 ("))) << box.text.toStdString();
    EXPECT_EQ(lines[3], written.front());
    EXPECT_TRUE(lines.last().startsWith(QStringLiteral("Error 75 (")) &&
                lines.last().contains(QStringLiteral("No space left on device")))
        << box.text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
}

// From the preview: the first sheet (five pages) is cancelled, so nothing is marked and the ahead sheet
// that would follow it is not printed.
TEST_F(PrintMarkingTest, PrintingFromThePreviewStopsAtTheCancelledFirstSheet) {
    lengthen(15);
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<frmPrintPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        cancelTheFirstProgressShown();
        preview->btnPrint()->click();
    });
    testDialogs().answer(Dialogs::ResultOk);  // where the PDF files went
    window->btnPreview()->click();
    EXPECT_EQ(printedFiles(QStringLiteral("*_01_*.pdf")).size(), 2);
    EXPECT_TRUE(printedFiles(QStringLiteral("*_02_*.pdf")).isEmpty());
    for (int code : {11, 13, 14, 15, 17, 18}) EXPECT_EQ(stateOf(code), QString()) << code;
}

// The ahead sheet is printed for the earliest direction that was not printed yet. Direction 15 comes
// first by delivery date but was printed before, and its purchase date (05-13) lies after that of 14
// (05-12): a sheet for 15 would leave out 14's lines while the ahead list marks 14 printed.
TEST_F(PrintMarkingTest, TheAheadSheetIsForTheNextUnprintedDirection) {
    if (!havePdfToText()) GTEST_SKIP() << "pdftotext (poppler-utils) reads the sheet back";
    testdb::exec(
        QStringLiteral("UPDATE t_direction SET state = '출력', updatechk = 'earlier', bdate = '2030-05-13' "
                       "WHERE code = 15"));
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    testDialogs().answer(Dialogs::ResultOk);  // where the PDF files went
    window->btnPrint()->click();
    const QStringList ahead = printedFiles(QStringLiteral("*_02_*.pdf"));
    ASSERT_EQ(ahead.size(), 1);
    const QString sheet = pdftotext(QDir(dataDir.filePath(QStringLiteral("Print"))).filePath(ahead[0]));
    EXPECT_TRUE(sheet.contains(QStringLiteral("감자"))) << sheet.toStdString();  // 14's line
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    EXPECT_EQ(stampOf(15), QStringLiteral("earlier"));
}

// The server becomes unreachable while the sheet goes out: its pages are already read, so they come out,
// but no mark can be saved. One box names every direction left unmarked (with where the PDF files went);
// nothing is marked, and the ahead sheet, whose look-up would fail again, is not printed.
TEST_F(PrintMarkingTest, AServerLostWhileMarkingIsToldOnceWithTheUnmarkedDirections) {
    lengthen(11);
    const testdb::Params& p = testdb::params();
    TcpProxy proxy(QStringLiteral("127.0.0.1"), quint16(p.port));
    DBClose();
    ASSERT_TRUE(DBInit(QStringLiteral("127.0.0.1"), p.user, p.password, p.database, proxy.port()));
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    m_watch = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible()) {
                proxy.refuse();
                return;
            }
        QTimer::singleShot(0, m_watch);
    };
    QTimer::singleShot(0, m_watch);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    proxy.resume();

    ASSERT_EQ(testDialogs().boxes().size(), 1u);
    const QString text = testDialogs().boxes().front().text;
    EXPECT_TRUE(text.startsWith(QStringLiteral("출력 표시를 저장하지 못했습니다: "))) << text.toStdString();
    // Direction 12 held its mark before this run: it is not named.
    EXPECT_EQ(text.section(QStringLiteral("\r\n"), 0, 0),
              QStringLiteral("출력 표시를 저장하지 못했습니다: 11, 13, 17, 18"))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("PDF"))) << text.toStdString();
    EXPECT_FALSE(printedFiles(QStringLiteral("*_01_*.pdf")).isEmpty());
    EXPECT_TRUE(printedFiles(QStringLiteral("*_02_*.pdf")).isEmpty());
    for (int code : {11, 13, 14, 15, 17, 18}) EXPECT_EQ(stateOf(code), QString()) << code;
}

// The preview shows what 인쇄 there prints. Directions that arrive while it is open are neither listed
// (the watch waits) nor marked, whether they belong to the date's sheet or to the ahead sheet's list, which
// printing queries afresh.
TEST_F(PrintMarkingTest, PrintingFromThePreviewMarksOnlyTheDirectionsItShowed) {
    settings::save(AppTitle(), QStringLiteral("Config"), QStringLiteral("자동조회초"), QStringLiteral("1"));
    open();
    showActive(window.get());
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));  // 11, 12, 13, 17, 18; ahead 15 and 14
    int watchesWhileOpen = -1;
    QStringList listedWhileOpen;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<frmPrintPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        testdb::exec(QStringLiteral(
            "INSERT INTO t_direction (code, sdate, ddate, bdate, branch, c_user, c_buyer, state) VALUES "
            "(40, '2030-05-10', '2030-05-10', '2030-05-10', 1, 6, 1, ''), "
            "(41, '2030-05-13', '2030-05-10', '2030-05-13', 0, 6, 1, '')"));
        const int watches = window->liveWatch()->watchesRun();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 2500) QApplication::processEvents(QEventLoop::AllEvents, 20);
        watchesWhileOpen = window->liveWatch()->watchesRun() - watches;
        listedWhileOpen = listedCodes();
        preview->btnPrint()->click();
    });
    testDialogs().answer(Dialogs::ResultOk);  // where the sheets went
    window->btnPreview()->click();
    EXPECT_EQ(watchesWhileOpen, 0);
    EXPECT_EQ(listedWhileOpen, (QStringList{"11", "12", "13", "17", "18"}));
    for (int code : {11, 13, 17, 18, 15, 14}) EXPECT_EQ(stateOf(code), QStringLiteral("출력")) << code;
    EXPECT_EQ(stateOf(40), QString());
    EXPECT_EQ(stateOf(41), QString());
}

// A run that wrote many files names the first and the last of them and their count, so that its box fits
// the screen however long the sheet was.
TEST_F(PrintMarkingTest, TheBoxOfAStoppedRunNamesTheFirstAndTheLastOfManyFiles) {
    lengthen(14);
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    window->spListO()->setActiveCell(1, window->RowOfDirection(QStringLiteral("14")));
    m_watch = [this] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && d->value() >= 4) {
                d->cancel();
                return;
            }
        QTimer::singleShot(0, m_watch);
    };
    QTimer::singleShot(0, m_watch);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    const QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 4);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const QString text = testDialogs().last().text;
    EXPECT_TRUE(text.contains(QStringLiteral("저장된 PDF 파일 4개 ("))) << text.toStdString();
    EXPECT_TRUE(text.endsWith(files.front() + QStringLiteral("\r\n...\r\n") + files.back()))
        << text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
}

}  // namespace
}  // namespace orders_test
