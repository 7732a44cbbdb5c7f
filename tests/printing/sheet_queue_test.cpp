// The print command of the main window through the test run's print scheduler: the sheet reaches the
// printer stored under "주문서_Printer", a page a job, on A4 with every text where the layout put it;
// a printer that is gone, refuses jobs, is paused, or a print service that stopped, as the clerk meets them.
#include "common/app_title.h"
#include "db/mysql_func.h"
#include "labels/label_settings.h"
#include "orders/frm_main.h"
#include "orders/orders_fixture.h"
#include "orders/print_buy_order.h"
#include "platform/printer/page_printer.h"
#include "platform/settings_store.h"
#include "print/buy_order.h"
#include "printing_fixture.h"

#include <QDir>
#include <QHelpEvent>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

namespace printing_test {
namespace {

using orders_test::OrdersTest;

const QString kSheetTitle = QStringLiteral("주문서 라벤청과 2030-05-12");

class SheetQueueTest : public OrdersTest {
protected:
    void SetUp() override {
        useTestScheduler();
        OrdersTest::SetUp();
    }
    void TearDown() override {
        if (!qgetenv("CUPS_SERVER").endsWith("stopped.sock")) restoreQueue(QStringLiteral("spare"));
        OrdersTest::TearDown();
    }
    void choosePrinter(const QString& name) {
        settings::save(AppTitle(), kPrinterSection, kPrinterKey, name);
    }
    QString storedPrinter() const {
        return settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString());
    }
    // Direction 14 (선발, purchase date 2030-05-12) selected in the list of order date 2030-05-10, with
    // `extra` more lines than its one.
    void selectDirection14(int extra = 0) {
        QStringList values;
        for (int i = 0; i < extra; ++i)
            values << QStringLiteral("('품목%1', %2, 14, 5, 207)")
                          .arg(i + 1, 3, 10, QLatin1Char('0'))
                          .arg(i + 1);
        if (!values.isEmpty())
            testdb::exec(
                QStringLiteral(
                    "INSERT INTO t_ordering (pname, qnt, c_direction, c_product, c_orderuser_sub) VALUES ") +
                values.join(QStringLiteral(", ")));
        open();
        query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
        const int row = listedCodes().indexOf(QStringLiteral("14")) + 1;
        ASSERT_GT(row, 0);
        window->spListO()->setActiveCell(1, row);
    }
    QString listedState() const { return window->spListO()->text(7, window->spListO()->activeRow()); }
};

const PrintItem* textItem(const PrintPage& page, const QString& text) {
    for (const PrintItem& item : page.items)
        if (item.kind == PrintItem::Kind::Text && item.text == text) return &item;
    return nullptr;
}

// The chosen Letter queue gets the two pages of the sheet as two jobs titled with the sheet and the page,
// each an A4 portrait page with its texts within half a millimetre of the layout; the direction is marked.
TEST_F(SheetQueueTest, TheSheetReachesTheChosenQueueOnA4WhereTheLayoutPutsIt) {
    choosePrinter(QStringLiteral("letter"));
    selectDirection14(18);
    const PrintDocument layout = PrintBuyOrder(14, false, false);
    ASSERT_EQ(layout.pages.size(), 2u);
    window->btnPrint()->click();  // no box: the sheet went where it was sent
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    EXPECT_EQ(listedState(), QStringLiteral("출력"));

    const std::vector<QueuedJob> jobs = jobsOf(QStringLiteral("letter"), kSheetTitle);
    ASSERT_EQ(jobs.size(), 2u);
    const struct {
        int page;
        QString word;  // as pdftotext splits the text at its blanks
        QString item;
    } marks[] = {
        {0, QStringLiteral("라벤푸드"), QStringLiteral("라벤푸드 주문서")},
        {0, QStringLiteral("Page.1/2"), QStringLiteral("Page.1/2 (총2장)")},
        {0, QStringLiteral("번호"), QStringLiteral("번호")},
        {0, QStringLiteral("품목001"), QStringLiteral("품목001")},
        {0, QStringLiteral("한빛초"), QStringLiteral("한빛초")},
        {1, QStringLiteral("Page.2/2"), QStringLiteral("Page.2/2 (총2장)")},
        {1, QStringLiteral("품목018"), QStringLiteral("품목018")},
        {1, QStringLiteral("18"), QStringLiteral("18")},
    };
    for (int page = 0; page < 2; ++page) {
        SCOPED_TRACE(page);
        EXPECT_EQ(jobs[page].title, kSheetTitle + QStringLiteral(" (%1/2)").arg(page + 1));
        const QString pdf = receivedFile(QStringLiteral("letter"), jobs[page].id);
        if (pdf.isEmpty()) continue;
        EXPECT_EQ(pageCountOf(pdf), 1);
        EXPECT_EQ(pageSizeOf(pdf), QStringLiteral("595 x 842 pts (A4)"));
        const std::vector<PdfWord> words = pdfWords(pdf);
        for (const auto& mark : marks) {
            if (mark.page != page) continue;
            const PrintItem* item = textItem(layout.pages[page], mark.item);
            ASSERT_NE(item, nullptr) << mark.item.toStdString();
            const auto word = std::find_if(words.begin(), words.end(),
                                           [&](const PdfWord& w) { return w.text == mark.word; });
            ASSERT_NE(word, words.end()) << mark.word.toStdString();
            EXPECT_NEAR(word->xMin, item->x1, 0.5) << mark.word.toStdString();
            EXPECT_NEAR(word->yMin, item->y1, 0.5) << mark.word.toStdString();
        }
    }
}

// The stored printer is gone: the default printer gets both sheets of the delivery date (the date's and
// the ahead one), the clerk is told once which printer stood in, and the directions are marked.
TEST_F(SheetQueueTest, AGonePrinterGivesWayToTheDefaultAndTheClerkIsToldOnce) {
    choosePrinter(QStringLiteral("2층 레이저"));
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const QString told = testDialogs().last().text;
    EXPECT_TRUE(told.contains(QStringLiteral("2층 레이저")) && told.contains(QStringLiteral("(sheet)")))
        << told.toStdString();
    EXPECT_EQ(stateOf(11), QStringLiteral("출력"));
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));  // the ahead sheet's direction
    QStringList titles;
    for (const QueuedJob& job : jobsOf(QStringLiteral("sheet"), QStringLiteral("주문서 라벤청과")))
        titles << job.title;
    EXPECT_EQ(titles, (QStringList{QStringLiteral("주문서 라벤청과 2030-05-11 (1/1)"),
                                   QStringLiteral("주문서 라벤청과 2030-05-11 선발 (1/1)")}));
    EXPECT_EQ(storedPrinter(), QStringLiteral("2층 레이저"));  // the choice stays for when it comes back
}

// A queue that refuses jobs: one error box naming the printer and the reason, nothing marked, no job in
// the queue, the window still there. A paused queue takes the sheet, which prints later: marked.
TEST_F(SheetQueueTest, ARefusingQueueMarksNothingAPausedOneCountsAsPrinted) {
    choosePrinter(QStringLiteral("spare"));
    selectDirection14();
    tool(QStringLiteral("cupsreject"), {QStringLiteral("spare")});
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const auto& box = testDialogs().last();
    EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(box.text.startsWith(QStringLiteral(
                    "프린터(spare)가 인쇄 작업을 받지 않습니다. 프린터 대기열에서 작업 받기를 켜세요.")) &&
                box.text.contains(QStringLiteral("\"spare\"")) &&
                box.text.contains(QStringLiteral("작업 거부")))
        << box.text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_EQ(listedState(), QString());
    EXPECT_TRUE(jobsOf(QStringLiteral("spare"), kSheetTitle).empty());
    EXPECT_TRUE(window->isEnabled());

    tool(QStringLiteral("cupsaccept"), {QStringLiteral("spare")});
    tool(QStringLiteral("cupsdisable"), {QStringLiteral("spare")});
    window->btnPrint()->click();
    EXPECT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    const std::vector<QueuedJob> waiting = jobsOf(QStringLiteral("spare"), kSheetTitle);
    ASSERT_EQ(waiting.size(), 1u);
    EXPECT_EQ(waiting[0].state, IPP_JSTATE_PENDING);
}

// The print service stopped while a printer is chosen: one error box naming the printer and the service,
// nothing marked, no PDF files in its place.
TEST_F(SheetQueueTest, AStoppedPrintServiceMarksNothing) {
    useStoppedScheduler();
    choosePrinter(QStringLiteral("sheet"));
    selectDirection14();
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const QString text = testDialogs().last().text;
    EXPECT_TRUE(text.contains(QStringLiteral("\"sheet\"")) && text.contains(QStringLiteral("인쇄 서비스")))
        << text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_FALSE(QDir(dataDir.filePath(QStringLiteral("Print"))).exists());
    EXPECT_TRUE(window->isEnabled());
}

// The print service stops after two pages of a five-page sheet: one box says how far the sheet came, that
// the service does not answer and what to check, with the numbers below; nothing is marked.
TEST_F(SheetQueueTest, APrintServiceStoppedMidRunGivesOneBox) {
    QTemporaryDir own;  // a scheduler of the case's own, since it is stopped part way
    ASSERT_TRUE(own.isValid());
    ASSERT_EQ(QProcess::execute(QStringLiteral(PELORA_CUPSSERVER), {QStringLiteral("start"), own.path()}), 0);
    useScheduler(own.path());
    choosePrinter(QStringLiteral("sheet"));
    selectDirection14(80);
    int pages = 0;
    std::function<void()> watch = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible() && d->value() >= 2) {
                pages = d->maximum();
                QProcess::execute(QStringLiteral(PELORA_CUPSSERVER), {QStringLiteral("stop"), own.path()});
                return;
            }
        QTimer::singleShot(0, watch);
    };
    QTimer::singleShot(0, watch);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    QProcess::execute(QStringLiteral(PELORA_CUPSSERVER), {QStringLiteral("stop"), own.path()});
    qputenv("CUPS_SERVER", "stopped.sock");  // nothing of the run's scheduler to restore in TearDown

    ASSERT_EQ(pages, 5);
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const auto& box = testDialogs().last();
    EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(box.buttons, Dialogs::Buttons::Ok);
    const QStringList lines = box.text.split(QStringLiteral("\r\n"));
    ASSERT_GE(lines.size(), 3) << box.text.toStdString();
    EXPECT_EQ(lines[0], QStringLiteral("주문서 출력이 중단되었습니다. 5장 중 2장이 출력되었습니다."));
    EXPECT_TRUE(lines[1].contains(QStringLiteral("출력 표시는 하지 않았습니다."))) << box.text.toStdString();
    EXPECT_TRUE(box.text.contains(QStringLiteral("오류번호 : 482")) &&
                box.text.contains(QStringLiteral("\"sheet\"")))
        << box.text.toStdString();
    EXPECT_LE(lines.size(), 8) << box.text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_FALSE(QDir(dataDir.filePath(QStringLiteral("Print"))).exists());
}

// 프린터 lists the sheet printers, marks the one in use and the default, shows the raw queue as a label
// printer, and stores the choice; leaving the list keeps it.
TEST_F(SheetQueueTest, ThePrinterButtonListsTheQueuesAndStoresTheChoice) {
    open();
    testDialogs().answerMenu(1);
    window->btnPrinter()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    QStringList captions;
    for (const auto& item : testDialogs().last().items) captions << item.caption;
    EXPECT_EQ(captions, (QStringList{QStringLiteral("letter"), QStringLiteral("✓ sheet (기본 프린터)"),
                                     QStringLiteral("spare"), QString(),
                                     QStringLiteral("labels - 라벨 프린터 (raw)")}));
    EXPECT_EQ(storedPrinter(), QStringLiteral("letter"));

    testDialogs().answerMenu(0);
    window->btnPrinter()->click();
    captions.clear();
    for (const auto& item : testDialogs().last().items) captions << item.caption;
    EXPECT_EQ(captions[0], QStringLiteral("✓ letter"));
    EXPECT_EQ(storedPrinter(), QStringLiteral("letter"));
}

// Before printing, the printer button's tip tells the clerk where the sheet and the labels will go, as the
// settings stand at that moment.
TEST_F(SheetQueueTest, ThePrinterButtonTellsWhereTheSheetAndTheLabelsGo) {
    open();
    const auto tip = [&] {
        QHelpEvent event(QEvent::ToolTip, QPoint(2, 2), window->btnPrinter()->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(window->btnPrinter(), &event);
        // The last line names the database server in use.
        const QString shown = window->btnPrinter()->toolTip();
        EXPECT_FALSE(DBServerInUse().isEmpty());
        EXPECT_TRUE(shown.endsWith(QStringLiteral("\n서버: ") + DBServerInUse())) << shown.toStdString();
        return shown.section(QStringLiteral("\n서버: "), 0, 0);
    };
    const auto label = [](const QString& key, const QString& value) {
        settings::save(label_settings::kSettingsApp, label_settings::kSettingsSection, key, value);
    };
    settings::remove(label_settings::kSettingsApp, label_settings::kSettingsSection,
                     label_settings::kKindKey);
    label(label_settings::kPortTypeKey, QStringLiteral("3"));
    EXPECT_EQ(tip(), QStringLiteral("주문서: sheet\n라벨: COM3 (/dev/ttyS2)"));

    settings::save(AppTitle(), kPrinterSection, kPrinterKey, QStringLiteral("letter"));
    label(label_settings::kKindKey, label_settings::kKindNetwork);
    label(label_settings::kHostKey, QStringLiteral("192.168.0.31"));
    label(label_settings::kNetPortKey, QStringLiteral("9100"));
    EXPECT_EQ(tip(), QStringLiteral("주문서: letter\n라벨: 네트워크 192.168.0.31:9100"));

    settings::save(AppTitle(), kPrinterSection, kPrinterKey, QStringLiteral("gone"));
    label(label_settings::kKindKey, label_settings::kKindQueue);
    label(label_settings::kQueueKey, QStringLiteral("labels"));
    EXPECT_EQ(tip(), QStringLiteral("주문서: sheet (선택한 gone 없음)\n라벨: 인쇄 대기열 labels"));
    settings::remove(label_settings::kSettingsApp, label_settings::kSettingsSection,
                     label_settings::kKindKey);
}

}  // namespace
}  // namespace printing_test
