// The page printer through the test run's print scheduler: what the queue took and what its printer
// received, read back with the print service's job list, pdfinfo and pdftotext.
#include "platform/printer/page_printer.h"
#include "platform/app_error.h"
#include "printing_fixture.h"
#include "support/data_folder.h"

#include <QDir>
#include <QPageSize>
#include <QPainter>
#include <QPrinterInfo>
#include <QTemporaryDir>

namespace printing_test {
namespace {

const QString kSpare = QStringLiteral("spare");

page_printer::Job pagesJob(const QString& printer, const QString& name, int pages) {
    page_printer::Job job;
    job.printerName = printer;
    job.documentName = name;
    job.pageCount = pages;
    job.paint = [](QPainter& painter, int page) {
        painter.drawText(QPointF(200, 200), QStringLiteral("PAGE%1").arg(page + 1));
    };
    job.stamp = QDateTime::currentDateTime();
    return job;
}

// The printer failure a job raises; empty when it raised none.
QString printerFailure(const page_printer::Job& job) {
    try {
        page_printer::printPages(job);
    } catch (const AppError& e) {
        EXPECT_EQ(e.number(), page_printer::kPrinterError);
        return e.description();
    }
    return QString();
}

class PagePrinterTest : public DataFolderTest {
protected:
    void SetUp() override {
        DataFolderTest::SetUp();
        useTestScheduler();
    }
    void TearDown() override {
        if (!qgetenv("CUPS_SERVER").endsWith("stopped.sock")) restoreQueue(kSpare);
        DataFolderTest::TearDown();
    }
    // A name no other test's jobs carry.
    QString uniqueName() const {
        return QStringLiteral("시험 ") +
               QString::fromUtf8(testing::UnitTest::GetInstance()->current_test_info()->name()) +
               QStringLiteral(" ") + QString::number(QDateTime::currentMSecsSinceEpoch());
    }
};

// Each page is a job of its own, titled with its page, and a queue whose paper is Letter still gets the A4
// page the sheet was laid out for (a Letter page would cut the sheet's foot).
TEST_F(PagePrinterTest, EachPageIsAnA4JobOnALetterQueue) {
    ASSERT_EQ(QPrinterInfo::printerInfo(QStringLiteral("letter")).defaultPageSize().id(), QPageSize::Letter);
    const QString name = uniqueName();
    const page_printer::Outcome outcome =
        page_printer::printPages(pagesJob(QStringLiteral("letter"), name, 2));
    EXPECT_TRUE(outcome.pdfFiles.isEmpty());
    EXPECT_EQ(outcome.printer, QStringLiteral("letter"));
    EXPECT_FALSE(outcome.printerReplaced);

    const std::vector<QueuedJob> jobs = jobsOf(QStringLiteral("letter"), name);
    ASSERT_EQ(jobs.size(), 2u);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(jobs[i].title, name + QStringLiteral(" (%1/2)").arg(i + 1));
        const QString pdf = receivedFile(QStringLiteral("letter"), jobs[i].id);
        if (pdf.isEmpty()) continue;
        EXPECT_EQ(pageCountOf(pdf), 1);
        EXPECT_EQ(pageSizeOf(pdf), QStringLiteral("595 x 842 pts (A4)"));
        EXPECT_TRUE(pdftotext(pdf).contains(QStringLiteral("PAGE%1").arg(i + 1)));
    }
}

// A printer that is not installed (any more): the default printer gets the pages, and the outcome says so.
TEST_F(PagePrinterTest, AMissingPrinterGivesWayToTheDefaultPrinter) {
    const QString name = uniqueName();
    const page_printer::Outcome outcome =
        page_printer::printPages(pagesJob(QStringLiteral("사라진 프린터"), name, 1));
    EXPECT_EQ(outcome.printer, QStringLiteral("sheet"));
    EXPECT_TRUE(outcome.printerReplaced);
    const std::vector<QueuedJob> jobs = jobsOf(QStringLiteral("sheet"), name);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_FALSE(receivedFile(QStringLiteral("sheet"), jobs[0].id).isEmpty());
}

// A sheet's name from the order data may hold line breaks and run long: the queue gets it as one line of
// at most 255 octets (the service's limit for a job name), the page number kept, no character cut.
TEST_F(PagePrinterTest, TheJobNameIsOneLineWithinTheServicesLimit) {
    const QString start = uniqueName().replace(u' ', u'_');
    const QString name = start + QStringLiteral("\n라벤\t청과 ") + QString(560, QChar(0xB2E4));
    page_printer::printPages(pagesJob(QStringLiteral("sheet"), name, 1));
    const std::vector<QueuedJob> jobs = jobsOf(QStringLiteral("sheet"), start);
    ASSERT_EQ(jobs.size(), 1u);
    const QString title = jobs[0].title;
    EXPECT_TRUE(title.startsWith(start + QStringLiteral(" 라벤 청과 다"))) << title.toStdString();
    EXPECT_TRUE(title.endsWith(QStringLiteral("다 (1/1)"))) << title.toStdString();
    EXPECT_LE(title.toUtf8().size(), 255);
    EXPECT_GE(title.toUtf8().size(), 253);
}

// A queue that refuses jobs, before the pages or while the first one is drawn: the failure names the
// printer and the reason, and no job is left in the queue. A paused queue takes the job, which waits there.
TEST_F(PagePrinterTest, ARefusingQueueFailsAndAPausedQueueTakesTheJob) {
    struct Case {
        const char* what;
        bool rejectBefore;
        bool rejectWhileDrawing;
        bool pause;
        bool fails;
    };
    const Case cases[] = {
        {"refusing before the job", true, false, false, true},
        {"refusing while the page is drawn", false, true, false, true},
        {"paused", false, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restoreQueue(kSpare);
        if (c.rejectBefore) tool(QStringLiteral("cupsreject"), {kSpare});
        if (c.pause) tool(QStringLiteral("cupsdisable"), {kSpare});
        const QString name = uniqueName() + QString::fromUtf8(c.what);
        page_printer::Job job = pagesJob(kSpare, name, 2);
        if (c.rejectWhileDrawing) {
            const page_printer::PaintPage paint = job.paint;
            job.paint = [paint](QPainter& painter, int page) {
                tool(QStringLiteral("cupsreject"), {QStringLiteral("spare")});
                paint(painter, page);
            };
        }
        const QString failure = printerFailure(job);
        const std::vector<QueuedJob> jobs = jobsOf(kSpare, name);
        if (c.fails) {
            EXPECT_TRUE(failure.contains(QStringLiteral("\"spare\""))) << failure.toStdString();
            EXPECT_TRUE(failure.contains(QStringLiteral("작업 거부"))) << failure.toStdString();
            EXPECT_TRUE(jobs.empty());
        } else {
            EXPECT_EQ(failure, QString());
            ASSERT_EQ(jobs.size(), 2u);
            EXPECT_EQ(jobs[0].state, IPP_JSTATE_PENDING);
        }
    }
}

// No print service answers. With a printer chosen, that is a printer failure naming it; with none chosen,
// nothing is installed as far as the program can tell, and the pages become PDF files as on a machine
// without printers.
TEST_F(PagePrinterTest, AStoppedPrintServiceFailsAChosenPrinterButLeavesThePdfFiles) {
    useStoppedScheduler();
    ASSERT_TRUE(page_printer::installedPrinterNames().isEmpty());
    const QString failure = printerFailure(pagesJob(QStringLiteral("sheet"), uniqueName(), 1));
    EXPECT_TRUE(failure.contains(QStringLiteral("\"sheet\""))) << failure.toStdString();
    EXPECT_TRUE(failure.contains(QStringLiteral("인쇄 서비스"))) << failure.toStdString();
    const page_printer::Outcome outcome = page_printer::printPages(pagesJob(QString(), uniqueName(), 1));
    EXPECT_EQ(outcome.pdfFiles.size(), 1);
    EXPECT_TRUE(outcome.printer.isEmpty());
}

}  // namespace
}  // namespace printing_test
