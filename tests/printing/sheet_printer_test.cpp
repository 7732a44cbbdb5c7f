// Which printer the order sheet goes to when the print service has a label printer's raw queue: the queue
// is told apart from what the service says of it, the sheet never reaches it on its own, and with nothing
// settled the clerk chooses once.
#include "platform/printer/sheet_printer.h"
#include "common/app_title.h"
#include "orders/frm_main.h"
#include "orders/orders_fixture.h"
#include "platform/printer/print_service.h"
#include "platform/settings_store.h"
#include "print/buy_order.h"
#include "printing_fixture.h"

#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>

namespace printing_test {
namespace {

using orders_test::OrdersTest;

const QString kSheetTitle = QStringLiteral("주문서 라벤청과 2030-05-12");
const QString kAsk = QStringLiteral("주문서를 인쇄할 프린터가 정해져 있지 않습니다.");

class SheetPrinterTest : public OrdersTest {
protected:
    void TearDown() override {
        OrdersTest::TearDown();
        if (m_ownStarted)
            QProcess::execute(QStringLiteral(PELORA_CUPSSERVER), {QStringLiteral("stop"), m_own.path()});
    }
    // A scheduler of the case's own, with the queues of the run's one and `standard` as its default
    // printer ("none": no default, as a fresh install has).
    void startOwnScheduler(const QString& standard) {
        ASSERT_TRUE(m_own.isValid());
        ASSERT_EQ(QProcess::execute(QStringLiteral(PELORA_CUPSSERVER),
                                    {QStringLiteral("start"), m_own.path(), standard}),
                  0);
        m_ownStarted = true;
        useScheduler(m_own.path());
    }
    QString storedPrinter() const {
        return settings::get(AppTitle(), kPrinterSection, kPrinterKey, QString());
    }
    // Direction 14 (선발, one line, purchase date 2030-05-12) selected in the list of 2030-05-10.
    void selectDirection14() {
        open();
        query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
        const int row = listedCodes().indexOf(QStringLiteral("14")) + 1;
        ASSERT_GT(row, 0);
        window->spListO()->setActiveCell(1, row);
    }
    static QStringList captions(const ScriptedDialogs::Box& menu) {
        QStringList list;
        for (const auto& item : menu.items) list << item.caption;
        return list;
    }
    int sheetJobs(const QString& queue) const { return int(jobsOf(queue, kSheetTitle).size()); }

private:
    QTemporaryDir m_own;
    bool m_ownStarted = false;
};

TEST_F(SheetPrinterTest, RawQueuesAreToldApartFromWhatTheServiceSays) {
    useTestScheduler();
    const struct {
        const char* queue;
        bool raw;
    } cases[] = {{"labels", true}, {"sheet", false}, {"letter", false}, {"no-such-queue", false}};
    for (const auto& c : cases)
        EXPECT_EQ(print_service::isRawQueue(QString::fromUtf8(c.queue)), c.raw) << c.queue;
    EXPECT_EQ(sheet_printer::sheetPrinterNames(),
              (QStringList{QStringLiteral("letter"), QStringLiteral("sheet"), QStringLiteral("spare")}));
    EXPECT_EQ(sheet_printer::rawQueues({QStringLiteral("sheet"), QStringLiteral("labels")}),
              QStringList{QStringLiteral("labels")});
}

// No default printer and the label printer's raw queue first by name: the first 주문서 asks which
// printer, offering the sheet printers and showing the raw queue only as a label printer; declining or
// picking the raw queue sends and marks nothing; a sheet printer picked is stored and gets the sheet, and
// the next 주문서 asks nothing.
TEST_F(SheetPrinterTest, WithNoDefaultTheFirstSheetAsksOnceAndTheRawQueueGetsNothing) {
    startOwnScheduler(QStringLiteral("none"));
    selectDirection14();
    EXPECT_TRUE(window->PrinterStatusText().startsWith(QStringLiteral("주문서: 정해지지 않음")))
        << window->PrinterStatusText().toStdString();

    testDialogs().answer(Dialogs::ResultOk);
    testDialogs().answerMenu(0);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_TRUE(testDialogs().boxes()[0].text.startsWith(kAsk))
        << testDialogs().boxes()[0].text.toStdString();
    EXPECT_EQ(captions(testDialogs().last()),
              (QStringList{QStringLiteral("letter"), QStringLiteral("sheet"), QStringLiteral("spare"),
                           QString(), QStringLiteral("labels - 라벨 프린터 (raw)")}));
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_EQ(storedPrinter(), QString());

    testDialogs().reset();
    testDialogs().answer(Dialogs::ResultOk);
    testDialogs().answerMenu(1000);  // the raw queue
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 3);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("labels은(는) 라벨 프린터(raw 대기열)")))
        << testDialogs().last().text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_EQ(storedPrinter(), QString());

    testDialogs().reset();
    testDialogs().answer(Dialogs::ResultOk);
    testDialogs().answerMenu(2);  // sheet
    window->btnPrint()->click();
    EXPECT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_EQ(storedPrinter(), QStringLiteral("sheet"));
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    EXPECT_EQ(sheetJobs(QStringLiteral("sheet")), 1);

    testDialogs().reset();
    window->btnPrint()->click();
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_EQ(sheetJobs(QStringLiteral("sheet")), 2);
    EXPECT_EQ(sheetJobs(QStringLiteral("labels")), 0);
}

// A default printer that is a raw queue is no answer either: the clerk chooses, and the raw queue gets
// nothing.
TEST_F(SheetPrinterTest, ARawDefaultIsPassedOverAndTheClerkChooses) {
    startOwnScheduler(QStringLiteral("labels"));
    selectDirection14();
    testDialogs().answer(Dialogs::ResultOk);
    testDialogs().answerMenu(1);  // letter
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_TRUE(testDialogs().boxes()[0].text.startsWith(kAsk));
    EXPECT_EQ(storedPrinter(), QStringLiteral("letter"));
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    EXPECT_EQ(sheetJobs(QStringLiteral("letter")), 1);
    EXPECT_EQ(sheetJobs(QStringLiteral("labels")), 0);
}

// A raw queue stored as the sheet printer (chosen before this check, or by hand in the settings) is
// refused with one box that says why; nothing is marked and the queue gets nothing. The printer button
// marks it and does not offer it.
TEST_F(SheetPrinterTest, AStoredRawChoiceIsRefusedAndNothingIsMarked) {
    useTestScheduler();
    settings::save(AppTitle(), kPrinterSection, kPrinterKey, QStringLiteral("labels"));
    selectDirection14();
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const auto& box = testDialogs().last();
    EXPECT_EQ(box.icon, Dialogs::Icon::Exclamation);
    EXPECT_TRUE(box.text.contains(QStringLiteral("라벨 프린터(raw 대기열)")) &&
                box.text.contains(QStringLiteral("출력 표시는 하지 않았습니다")))
        << box.text.toStdString();
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_EQ(sheetJobs(QStringLiteral("labels")), 0);
    EXPECT_TRUE(window->PrinterStatusText().startsWith(QStringLiteral("주문서: labels (라벨 프린터 (raw)")));

    testDialogs().reset();
    testDialogs().answerMenu(1000);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrinter()->click();
    EXPECT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_EQ(storedPrinter(), QStringLiteral("labels"));  // not taken; the stored one stays as it was
}

}  // namespace
}  // namespace printing_test
