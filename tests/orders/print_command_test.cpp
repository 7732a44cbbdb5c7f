// The print command (주문서), its preview and the marking of printed directions, against the test server.
// This machine has no printer installed, so every page becomes a PDF file in the data folder's Print/.
#include "orders/print_command.h"
#include "orders/frm_main.h"
#include "orders_fixture.h"
#include "platform/printer/page_printer.h"
#include "support/shell_recorder.h"
#include "widgets/print_preview.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

namespace orders_test {
namespace {

const QString kWhereTheyWent = QStringLiteral("설치된 프린터가 없어 주문서를 PDF 파일로 저장했습니다.");

class PrintCommandTest : public OrdersTest {
protected:
    void SetUp() override {
        OrdersTest::SetUp();
        if (!page_printer::installedPrinterNames().isEmpty())
            GTEST_SKIP() << "a printer is installed: the sheets would go to paper";
    }
    QStringList printedFiles() const {
        return QDir(dataDir.filePath(QStringLiteral("Print")))
            .entryList({QStringLiteral("*.pdf")}, QDir::Files, QDir::Name);
    }
    // Selects the list row of a direction.
    void select(int code) {
        const int row = listedCodes().indexOf(QString::number(code)) + 1;
        ASSERT_GT(row, 0) << code;
        window->spListO()->setActiveCell(1, row);
    }
    void expectPdfBox() {
        ASSERT_FALSE(testDialogs().boxes().isEmpty());
        EXPECT_TRUE(testDialogs().last().text.startsWith(kWhereTheyWent))
            << testDialogs().last().text.toStdString();
    }
};

const QRegularExpression kStamp(QStringLiteral("^\\d{8} \\d{6}$"));

TEST_F(PrintCommandTest, SingleDirectionIsPrintedAndMarkedAtOnce) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    expectPdfBox();
    EXPECT_EQ(window->spListO()->text(7, window->spListO()->activeRow()), QStringLiteral("출력"));
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    EXPECT_TRUE(kStamp.match(stampOf(14)).hasMatch()) << stampOf(14).toStdString();
    EXPECT_EQ(stateOf(15), QString());
    EXPECT_EQ(printedFiles().size(), 1);
    EXPECT_TRUE(printedFiles().first().endsWith(QStringLiteral("_01_001.pdf")))
        << printedFiles().first().toStdString();
}

// A mark the server refuses is reported, and the list does not claim the direction printed.
TEST_F(PrintCommandTest, ARefusedMarkLeavesTheListAsTheServerHoldsIt) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    testdb::exec(
        QStringLiteral("CREATE TRIGGER refuse_marks BEFORE UPDATE ON t_direction FOR EACH ROW "
                       "SIGNAL SQLSTATE '45000' SET MESSAGE_TEXT = 'read only'"));
    // One box for the refused mark (the server's own error is not shown beside it), one for the PDF.
    for (int i = 0; i < 2; ++i) testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    testdb::exec(QStringLiteral("DROP TRIGGER refuse_marks"));
    QStringList texts;
    for (const auto& box : testDialogs().boxes()) texts << box.text;
    EXPECT_TRUE(texts.contains(QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다.")))
        << texts.join(u'|').toStdString();
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_EQ(window->spListO()->text(7, window->spListO()->activeRow()), QString());
}

// 납품일: the ahead box is unticked first, the sheet of the whole purchase date marks every listed direction,
// and an unprinted ahead direction brings a second sheet that marks only the ahead directions still empty.
TEST_F(PrintCommandTest, DeliveryDatePrintsTheDateAndThenTheAheadSheet) {
    testdb::exec(
        QStringLiteral("UPDATE t_direction SET state = '출력', updatechk = 'earlier' WHERE code = 14"));
    testdb::exec(QStringLiteral(
        "INSERT INTO t_direction (code, sdate, ddate, bdate, branch, c_user, c_buyer, state) VALUES "
        "(20, '2030-05-13', '2030-05-10', '2030-05-13', 0, 6, 1, '')"));
    testdb::exec(
        QStringLiteral("INSERT INTO t_ordering (code, pname, qnt, c_direction, c_product, c_orderuser_sub) "
                       "VALUES (120, '쪽파', 2, 20, 2, 208)"));
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"), true);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    expectPdfBox();
    EXPECT_EQ(testDialogs().boxes().size(), 1);  // told once for both sheets
    EXPECT_FALSE(window->chkAhead()->isChecked());
    for (int code : {11, 12, 13, 17, 18, 15, 20}) {
        EXPECT_EQ(stateOf(code), QStringLiteral("출력")) << code;
        EXPECT_TRUE(kStamp.match(stampOf(code)).hasMatch()) << code;
    }
    EXPECT_EQ(stampOf(14), QStringLiteral("earlier"));  // printed before: keeps its mark
    EXPECT_EQ(stateOf(16), QString());                  // branch 1 after the date: not an ahead direction
    EXPECT_EQ(stateOf(19), QString());
    // The list shows the query date again, with the new marks.
    EXPECT_EQ(listedCodes(), (QStringList{"11", "12", "13", "17", "18"}));
    EXPECT_EQ(column(window->spListO(), 7), QStringList(5, QStringLiteral("출력")));
    // Two sheets, a page each, in print order.
    const QStringList files = printedFiles();
    ASSERT_EQ(files.size(), 2);
    EXPECT_TRUE(files[0].endsWith(QStringLiteral("_01_001.pdf")));
    EXPECT_TRUE(files[1].endsWith(QStringLiteral("_02_001.pdf")));
}

TEST_F(PrintCommandTest, NoAheadDirectionNoSecondSheet) {
    testdb::exec(QStringLiteral("UPDATE t_direction SET state = '출력' WHERE code IN (14, 15)"));
    open();
    query(QStringLiteral("납품일"), QStringLiteral("2030-05-10"));
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    expectPdfBox();
    EXPECT_EQ(printedFiles().size(), 1);
    EXPECT_EQ(stateOf(11), QStringLiteral("출력"));
}

TEST_F(PrintCommandTest, NothingSelectedNothingPrinted) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2031-01-01"));
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("출력할 주문내용이 없습니다. 우선 출력할 주문을 먼저 선택하세요."));
    EXPECT_TRUE(printedFiles().isEmpty());
}

// A failure while printing is reported with its reason; nothing is marked and the window stays.
TEST_F(PrintCommandTest, FailingOutputMarksNothing) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    // A file where the Print folder should be: the PDF cannot be written.
    QFile blocker(dataDir.filePath(QStringLiteral("Print")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    const QString report = testDialogs().last().text;
    EXPECT_TRUE(report.startsWith(QStringLiteral("Error 75 ("))) << report.toStdString();
    EXPECT_TRUE(report.contains(QStringLiteral("Print"))) << report.toStdString();
    EXPECT_TRUE(report.endsWith(QStringLiteral(") in procedure btnPrint_Click of Module frmMain")));
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_EQ(window->spListO()->text(7, window->spListO()->activeRow()), QString());
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(PrintCommandTest, FailingStatementMarksNothing) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    testdb::exec(QStringLiteral("RENAME TABLE t_car TO t_car_gone"));
    testDialogs().answer(Dialogs::ResultOk);  // the connection's report of the refused statement
    testDialogs().answer(Dialogs::ResultOk);  // the command's report
    window->btnPrint()->click();
    testdb::exec(QStringLiteral("RENAME TABLE t_car_gone TO t_car"));
    ASSERT_EQ(testDialogs().boxes().size(), 2);
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("Error 1146 (")));
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_TRUE(printedFiles().isEmpty());
}

// Cancelled after two pages of a long sheet: the rest is not sent and nothing is marked.
TEST_F(PrintCommandTest, CancelStopsBeforeTheNextPageAndMarksNothing) {
    QStringList values;
    for (int i = 0; i < 80; ++i) values << QStringLiteral("('감자', 1, 14, 5, 207)");
    testdb::exec(QStringLiteral(
                     "INSERT INTO t_ordering (pname, qnt, c_direction, c_product, c_orderuser_sub) VALUES ") +
                 values.join(QStringLiteral(", ")));
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    // Cancel from the progress dialog once two pages are out.
    QPointer<QProgressDialog> progress;
    int pages = 0;
    std::function<void()> watch = [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<QProgressDialog*>(w); d && d->isVisible()) progress = d;
        if (progress && progress->value() >= 2) {
            pages = progress->maximum();
            progress->cancel();
            return;
        }
        QTimer::singleShot(0, watch);
    };
    QTimer::singleShot(0, watch);
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrint()->click();
    EXPECT_EQ(pages, 5);
    // Told as a cancel, with how far it came, not as a sheet saved.
    ASSERT_EQ(testDialogs().boxes().size(), 1u);
    EXPECT_TRUE(testDialogs().last().text.startsWith(
        QStringLiteral("주문서 출력을 취소했습니다. 5장 중 2장이 출력되었습니다.")))
        << testDialogs().last().text.toStdString();
    EXPECT_EQ(printedFiles().size(), 2);
    EXPECT_EQ(stateOf(14), QString());
}

// The preview shows the pages of the command's sheets and marks nothing; its print button prints them and
// marks as the command does.
TEST_F(PrintCommandTest, PreviewMarksNothingAndPrintsFromTheSamePages) {
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    int pages = -1;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<frmPrintPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        pages = preview->pageCount();
        EXPECT_FALSE(preview->pageImage().isNull());
        preview->reject();
    });
    window->btnPreview()->click();
    EXPECT_EQ(pages, 1);
    EXPECT_EQ(stateOf(14), QString());
    EXPECT_TRUE(printedFiles().isEmpty());

    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<frmPrintPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        preview->btnPrint()->click();
    });
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPreview()->click();
    expectPdfBox();
    EXPECT_EQ(stateOf(14), QStringLiteral("출력"));
    EXPECT_EQ(window->spListO()->text(7, window->spListO()->activeRow()), QStringLiteral("출력"));
    EXPECT_EQ(printedFiles().size(), 1);
}

// PDF 저장 in the preview suggests a file named after the sheet in the user's documents folder; the box
// after sheets went to PDF files offers 폴더 열기, which opens the folder they went to.
TEST_F(PrintCommandTest, PdfSaveSuggestsTheSheetsNameAndTheBoxOpensTheFolder) {
    // The desktop's documents folder, as the user's folder settings name it.
    QTemporaryDir documents;
    QFile dirs(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/user-dirs.dirs"));
    ASSERT_TRUE(dirs.open(QIODevice::WriteOnly));
    dirs.write("XDG_DOCUMENTS_DIR=\"" + documents.path().toUtf8() + "\"\n");
    dirs.close();
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    QString folder, name;
    QTimer::singleShot(0, [&] {
        auto* preview = qobject_cast<frmPrintPreview*>(QApplication::activeModalWidget());
        ASSERT_NE(preview, nullptr);
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), QStringLiteral("dlgSavePdf"));
            folder = dialog->directory().absolutePath();
            if (auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                name = edit->text();
            dialog->reject();
        });
        preview->btnSavePdf()->click();
        preview->reject();
    });
    window->btnPreview()->click();
    dirs.remove();
    EXPECT_EQ(folder, QDir(documents.path()).absolutePath());
    EXPECT_TRUE(name.startsWith(QStringLiteral("주문서_")) && name.endsWith(QStringLiteral(".pdf")) &&
                !name.contains(QLatin1Char(' ')))
        << name.toStdString();

    ShellRecorder shell;
    testDialogs().answer(Dialogs::ResultOpenFolder);
    window->btnPrint()->click();
    EXPECT_EQ(testDialogs().last().buttons, Dialogs::Buttons::OkOpenFolder);
    EXPECT_EQ(ShellRecorder::opened(), QStringList{page_printer::pdfFolder()});
}

TEST_F(PrintCommandTest, MarkingTwiceWithinASecondIsNoFailure) {
    open();
    EXPECT_TRUE(MarkDirectionPrinted(14));
    // The same second again (or nearly so): nothing changes on the server, and that is not a failed save.
    testdb::exec(QStringLiteral("UPDATE t_direction SET updatechk = '%1' WHERE code = 14")
                     .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd HHmmss"))));
    EXPECT_TRUE(MarkDirectionPrinted(14));
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_FALSE(MarkDirectionPrinted(999));
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("수정된 내용이 없거나, 자료저장을 실패하였습니다."));
}

TEST_F(PrintCommandTest, PrinterButtonWithoutPrintersTellsWhereSheetsGo) {
    open();
    EXPECT_EQ(window->btnPreview()->text(), QStringLiteral("미리보기"));
    testDialogs().answer(Dialogs::ResultOk);
    window->btnPrinter()->click();
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("설치된 프린터가 없습니다.")));
    EXPECT_TRUE(testDialogs().last().text.contains(
        QDir::toNativeSeparators(dataDir.filePath(QStringLiteral("Print")))));
}

}  // namespace
}  // namespace orders_test

namespace orders_test {
namespace {

// Every way of running the command (주문서, 미리보기, 인쇄 in the preview) tells a failure the same way: the
// procedure report, after anything already printed, and nothing marked.
TEST_F(PrintCommandTest, AFailureIsToldTheSameWayOnEveryPath) {
    const auto printFromPreview = [this] {
        QTimer::singleShot(0, [] {
            auto* preview = qobject_cast<frmPrintPreview*>(QApplication::activeModalWidget());
            ASSERT_NE(preview, nullptr);
            preview->btnPrint()->click();
        });
        window->btnPreview()->click();
    };
    const auto blockPdfFolder = [this] {
        // A file where the Print folder should be: the page printer cannot write a page.
        QFile blocker(dataDir.filePath(QStringLiteral("Print")));
        return blocker.open(QIODevice::WriteOnly);
    };
    const auto dropCars = [] {
        testdb::exec(QStringLiteral("RENAME TABLE t_car TO t_car_gone"));
        return true;
    };
    struct Case {
        const char* path;
        std::function<bool()> fault;
        std::function<void()> run;
        int boxes;  // the connection's own report of a refused statement comes first
        const char* report;
    };
    const Case cases[] = {
        {"print, page printer", blockPdfFolder, [this] { window->btnPrint()->click(); }, 1, "Error 75 ("},
        {"print from the preview, page printer", blockPdfFolder, printFromPreview, 1, "Error 75 ("},
        {"preview, statement", dropCars, [this] { window->btnPreview()->click(); }, 2, "Error 1146 ("},
    };
    open();
    query(QStringLiteral("발주일"), QStringLiteral("2030-05-10"));
    select(14);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const int before = int(testDialogs().boxes().size());
        ASSERT_TRUE(c.fault());
        for (int i = 0; i < c.boxes; ++i) testDialogs().answer(Dialogs::ResultOk);
        c.run();
        QFile::remove(dataDir.filePath(QStringLiteral("Print")));
        testdb::exec(QStringLiteral("RENAME TABLE IF EXISTS t_car_gone TO t_car"));
        ASSERT_EQ(int(testDialogs().boxes().size()) - before, c.boxes);
        const QString report = testDialogs().last().text;
        EXPECT_TRUE(report.startsWith(QString::fromUtf8(c.report))) << report.toStdString();
        EXPECT_TRUE(report.endsWith(QStringLiteral(") in procedure btnPrint_Click of Module frmMain")))
            << report.toStdString();
        EXPECT_EQ(stateOf(14), QString());
        EXPECT_EQ(window->spListO()->text(7, window->spListO()->activeRow()), QString());
    }
}

}  // namespace
}  // namespace orders_test
