// The Excel export of a grid: the question, the header rows, the files in ExpExcel/, the workbook read
// back with libfreexl, and the grid left as it was, also when the export fails.
#include "grid/excel_export.h"
#include "grid/grid_fixture.h"
#include "grid/spread_helpers.h"
#include "support/small_file_system.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <vector>

namespace {

// Counts every change that the grid's table announces: an export reads the grid and never changes it, not
// even for a moment (rows inserted and removed again would move the user's cursor and selection).
class ChangeCounter {
public:
    explicit ChangeCounter(SpreadGrid& g) {
        QAbstractItemModel* m = g.model();
        auto count = [this] { ++m_changes; };
        m_connections = {QObject::connect(m, &QAbstractItemModel::rowsInserted, count),
                         QObject::connect(m, &QAbstractItemModel::rowsRemoved, count),
                         QObject::connect(m, &QAbstractItemModel::dataChanged, count),
                         QObject::connect(m, &QAbstractItemModel::headerDataChanged, count),
                         QObject::connect(m, &QAbstractItemModel::layoutChanged, count),
                         QObject::connect(m, &QAbstractItemModel::modelReset, count)};
    }
    ~ChangeCounter() {
        for (const auto& c : m_connections) QObject::disconnect(c);
    }
    int changes() const { return m_changes; }

private:
    int m_changes = 0;
    std::vector<QMetaObject::Connection> m_connections;
};

class ExcelExport : public GridTest {
protected:
    // Three columns, a number column in the middle, Hangul and ASCII texts, a protected read-only grid.
    void SetUp() override {
        GridTest::SetUp();
        g.setObjectName(QStringLiteral("spList2"));
        g.setMaxCols(3);
        g.setText(1, 0, QStringLiteral("매출처"));
        g.setText(2, 0, QStringLiteral("수량"));
        g.setText(3, 0, QStringLiteral("특이사항"));
        g.setMaxRows(4);  // one empty row at the end
        const QStringList rows[] = {
            {QStringLiteral("가나식품"), QStringLiteral("1234.5"), QStringLiteral("똠얌 cold")},
            {QStringLiteral("Pelora"), QStringLiteral("-2"), QString()},
            {QStringLiteral("사과"), QStringLiteral("7"), QStringLiteral("box 박스")}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) g.setText(c + 1, r + 1, rows[r][c]);
        SetSpreadNumberCell(&g, 2, -1, 1, true, true, false);
        g.setLock(-1, -1, true);
        g.setFontBold(1, 3, true);
        g.setActiveCell(2, 2);
    }

    // The grid's visible state that an export must leave as it found it: size, repainting, protection,
    // the header rows, and every cell's text, type, look and lock.
    QStringList snapshot() const {
        QStringList s{QString::number(g.maxRows()),       QString::number(g.dataRowCnt()),
                      QString::number(g.reDraw()),        QString::number(g.protect()),
                      QString::number(g.colHeaderRows()), QString::number(g.activeRow())};
        for (int h = 0; h < g.colHeaderRows(); ++h)
            for (int c = 0; c <= g.maxCols(); ++c) s << g.text(c, SpreadGrid::kHeaderRow + h);
        for (int r = 1; r <= g.maxRows(); ++r)
            for (int c = 1; c <= g.maxCols(); ++c)
                s << QStringLiteral("%1|%2|%3|%4|%5|%6")
                         .arg(g.text(c, r))
                         .arg(int(g.cellType(c, r)))
                         .arg(g.fontBold(c, r))
                         .arg(int(g.typeHAlign(c, r)))
                         .arg(g.lock(c, r))
                         .arg(g.isCellEditable(c, r));
        return s;
    }

    QString exportFolder() const { return dataDir() + QStringLiteral("/ExpExcel"); }

    SpreadGrid g;
};

TEST_F(ExcelExport, WritesTheHeaderRowsAndCellsAndOpensTheWorkbook) {
    const QStringList before = snapshot();
    const ChangeCounter watch(g);
    testDialogs().answer(Dialogs::ResultYes);
    const QString path = ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, false, false, true, true);

    const auto& question = testDialogs().boxes().at(0);
    EXPECT_EQ(question.text, QStringLiteral("엑셀로 자료를 내보내기 하시겠습니까?"));
    EXPECT_EQ(question.defaultButton, 1);
    EXPECT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_EQ(testDialogs().waitCursorShows(), 1);
    EXPECT_EQ(testDialogs().waitCursorDepth(), 0);

    ASSERT_FALSE(path.isEmpty());
    const QFileInfo info(path);
    EXPECT_EQ(info.absolutePath(), QFileInfo(exportFolder()).absoluteFilePath());
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^Exp\\d{6}_\\d{6}\\.XLS$")).match(info.fileName()).hasMatch())
        << info.fileName().toStdString();
    const QString log =
        exportFolder() + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("LOG.TXT");
    ASSERT_TRUE(QFileInfo::exists(log));
    EXPECT_EQ(filesIn(exportFolder()).size(), 2);
    EXPECT_EQ(opened(), QStringList{path});

    const XlsBook book(path);
    ASSERT_TRUE(book.opened);
    EXPECT_EQ(book.sheetName, QStringLiteral("Sheet1"));
    EXPECT_EQ(book.rows, 4u);  // the header row and three data rows; the empty row is left out
    EXPECT_EQ(book.cols, 3);
    EXPECT_EQ(book.text(0, 0), QStringLiteral("매출처"));
    EXPECT_EQ(book.text(0, 1), QStringLiteral("수량"));
    EXPECT_EQ(book.text(0, 2), QStringLiteral("특이사항"));
    EXPECT_EQ(book.text(1, 0), QStringLiteral("가나식품"));
    EXPECT_EQ(book.text(1, 2), QStringLiteral("똠얌 cold"));
    EXPECT_EQ(book.text(2, 0), QStringLiteral("Pelora"));
    EXPECT_EQ(book.type(2, 2), FREEXL_CELL_NULL);
    EXPECT_EQ(book.text(3, 2), QStringLiteral("box 박스"));
    EXPECT_DOUBLE_EQ(book.number(1, 1), 1234.5);
    EXPECT_DOUBLE_EQ(book.number(2, 1), -2);

    // The grid was read, never changed: still its own rows, protected and repainting.
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(watch.changes(), 0);

    // The log names the workbook and how it ended.
    QFile f(log);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString logText = QString::fromUtf8(f.readAll());
    EXPECT_TRUE(logText.contains(info.fileName()));
    EXPECT_TRUE(logText.contains(QStringLiteral("Result:   OK")));
}

TEST_F(ExcelExport, WithoutHeadersOrQuestionAndAsAWholeBook) {
    const QString path = ExportToExcelFile(&g, QStringLiteral("주문/목록"), true, true, false, false, false);
    EXPECT_TRUE(testDialogs().boxes().isEmpty());
    EXPECT_TRUE(opened().isEmpty());
    const XlsBook book(path);
    ASSERT_TRUE(book.opened);
    EXPECT_EQ(book.sheetName, QStringLiteral("주문목록"));  // a "/" cannot be part of a sheet name
    EXPECT_EQ(book.rows, 3u);
    EXPECT_EQ(book.text(0, 0), QStringLiteral("가나식품"));

    QFile::remove(path);
    const QString whole = ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, true, true, false, true);
    const XlsBook wholeBook(whole);
    ASSERT_TRUE(wholeBook.opened);
    EXPECT_EQ(wholeBook.sheetName, QStringLiteral("spList2"));
    EXPECT_EQ(wholeBook.rows, 4u);
}

TEST_F(ExcelExport, NoDataGivesTheMessageAndCreatesNoFolder) {
    SpreadGrid empty;
    fill(empty, 3, 0);
    empty.setMaxRows(5);  // rows without data
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_TRUE(
        ExportToExcelFile(&empty, QStringLiteral("Sheet1"), true, false, false, true, true).isEmpty());
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("엑셀로 보낼 데이터가 없습니다.\r\n자료 조회 후 엑셀로 보내세요."));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Information);
    EXPECT_FALSE(QFileInfo::exists(exportFolder()));
    EXPECT_EQ(empty.maxRows(), 5);
}

TEST_F(ExcelExport, AnsweringNoLeavesTheGridUntouched) {
    const QStringList before = snapshot();
    testDialogs().answer(Dialogs::ResultNo);
    EXPECT_TRUE(ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, false, false, true, true).isEmpty());
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(QFileInfo::exists(exportFolder()));
    EXPECT_EQ(testDialogs().waitCursorShows(), 0);
}

TEST_F(ExcelExport, AFailedExportSaysSoAndRestoresTheGrid) {
    // A file where the export folder belongs: the folder cannot be made and nothing can be written.
    QFile blocker(exportFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QStringList before = snapshot();
    const ChangeCounter watch(g);

    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);  // the procedure error report of the folder
    testDialogs().answer(Dialogs::ResultOk);  // the failure
    EXPECT_TRUE(ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, false, false, true, true).isEmpty());

    ASSERT_EQ(testDialogs().boxes().size(), 3);
    EXPECT_TRUE(testDialogs().boxes().at(1).text.endsWith(
        QStringLiteral(") in procedure ExportToExcelFile of Module modExcel")));
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("엑셀로 내보내기에 실패했습니다.")));
    EXPECT_EQ(testDialogs().last().icon, Dialogs::Icon::Exclamation);
    EXPECT_EQ(testDialogs().last().buttons, Dialogs::Buttons::Ok);
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(watch.changes(), 0);
    EXPECT_TRUE(opened().isEmpty());
    EXPECT_EQ(testDialogs().waitCursorDepth(), 0);
}

TEST_F(ExcelExport, AFailedWriteKeepsRepaintingOffWhenItWasOff) {
    // The folder exists, but the workbook's name is a link into a folder that does not exist: the name is
    // free, yet the write itself fails.
    ASSERT_TRUE(QDir().mkpath(exportFolder()));
    g.setReDraw(false);
    const QStringList before = snapshot();
    SetExportClockForTests(QDateTime(QDate(2026, 12, 10), QTime(15, 4, 5)));
    ASSERT_TRUE(QFile::link(dataDir() + QStringLiteral("/missing/folder.XLS"),
                            exportFolder() + QStringLiteral("/Exp261210_150405.XLS")));
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_TRUE(ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, false, false, true, true).isEmpty());
    SetExportClockForTests({});
    EXPECT_TRUE(testDialogs().last().text.startsWith(QStringLiteral("엑셀로 내보내기에 실패했습니다.")));
    EXPECT_EQ(snapshot(), before);
    EXPECT_FALSE(g.reDraw());
    // The log tells why.
    bool failureLogged = false;
    for (const QString& f : filesIn(exportFolder())) {
        QFile log(exportFolder() + QLatin1Char('/') + f);
        if (f.endsWith(QStringLiteral("LOG.TXT")) && log.open(QIODevice::ReadOnly))
            failureLogged = QString::fromUtf8(log.readAll()).contains(QStringLiteral("FAILED"));
    }
    EXPECT_TRUE(failureLogged);
}

TEST_F(ExcelExport, AFullDiskKeepsNoWorkbookOpensNothingAndSaysWhy) {
    // The data folder on a small file system that is full: once with one page left (a small workbook
    // fits its first 4,096 bytes), once with none left and a workbook of some size. The write fails half
    // way through the workbook; the grid was never changed, so it is exactly as before.
    SmallFileSystem disk(128);
    if (!disk.problem().isEmpty()) GTEST_SKIP() << "no small file system: " << disk.problem().toStdString();
    qputenv("PELORA_DATA_DIR", disk.path().toUtf8());
    ASSERT_TRUE(QDir().mkpath(disk.path() + QStringLiteral("/ExpExcel")));
    disk.fill(4096);
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            g.setMaxRows(400);
            for (int r = 4; r <= 400; ++r) g.setText(1, r, QStringLiteral("행 %1 가나다라마바사").arg(r));
            disk.fill(0);
        }
        const QStringList before = snapshot();
        const ChangeCounter watch(g);
        testDialogs().answer(Dialogs::ResultYes);
        testDialogs().answer(Dialogs::ResultOk);
        EXPECT_TRUE(
            ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, false, false, true, true).isEmpty());
        const QString text = testDialogs().last().text;
        EXPECT_TRUE(text.startsWith(QStringLiteral("엑셀로 내보내기에 실패했습니다.\r\n")))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("No space left on device"))) << text.toStdString();
        for (const QString& f : filesIn(disk.path() + QStringLiteral("/ExpExcel")))
            EXPECT_FALSE(f.contains(QStringLiteral(".XLS"))) << f.toStdString();  // nor a half-written one
        EXPECT_TRUE(opened().isEmpty());
        EXPECT_EQ(snapshot(), before) << "pass " << pass;
        EXPECT_EQ(watch.changes(), 0) << "pass " << pass;
    }
}

TEST_F(ExcelExport, AGridBeyondTheFormatIsRefusedBeforeAnythingChanges) {
    SpreadGrid big;
    big.setMaxCols(1);
    big.setMaxRows(SpreadGrid::kXlsMaxRows);
    big.setReDraw(false);
    for (int r = 1; r <= SpreadGrid::kXlsMaxRows; ++r) big.setText(1, r, QStringLiteral("x"));
    big.setReDraw(true);
    // 65,536 data rows fit; with the header row they do not.
    testDialogs().answer(Dialogs::ResultOk);
    EXPECT_TRUE(ExportToExcelFile(&big, QStringLiteral("Sheet1"), true, false, false, true, true).isEmpty());
    ASSERT_EQ(testDialogs().boxes().size(), 1);
    EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("65,536")));
    EXPECT_EQ(big.maxRows(), SpreadGrid::kXlsMaxRows);
    EXPECT_FALSE(QFileInfo::exists(exportFolder()));

    // The grid's own export refuses too, and leaves no workbook.
    big.setMaxRows(SpreadGrid::kXlsMaxRows + 1);
    big.setText(1, SpreadGrid::kXlsMaxRows + 1, QStringLiteral("x"));
    const QString file = dataDir() + QStringLiteral("/big.xls");
    EXPECT_FALSE(big.exportToExcel(file, QStringLiteral("Sheet1"), dataDir() + QStringLiteral("/big.txt")));
    EXPECT_FALSE(QFileInfo::exists(file));
    EXPECT_FALSE(big.lastExportError().isEmpty());
}

// The names come from the export clock: an afternoon export shows its hour as 15, never as 03, and a
// second export within the same second gets a name of its own instead of overwriting the first.
TEST_F(ExcelExport, NamesUseTheTwentyFourHourClockAndNeverOverwriteAnExportOfTheSameSecond) {
    SetExportClockForTests(QDateTime(QDate(2026, 12, 10), QTime(15, 4, 5)));
    EXPECT_EQ(ExportStamp(), QStringLiteral("261210_150405"));

    const QString first = ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, true, false, false, true);
    g.setText(1, 1, QStringLiteral("두번째"));
    const QString second = ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, true, false, false, true);
    const QString third = ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, true, false, false, true);
    SetExportClockForTests({});

    EXPECT_EQ(QFileInfo(first).fileName(), QStringLiteral("Exp261210_150405.XLS"));
    EXPECT_EQ(QFileInfo(second).fileName(), QStringLiteral("Exp261210_150405_2.XLS"));
    EXPECT_EQ(QFileInfo(third).fileName(), QStringLiteral("Exp261210_150405_3.XLS"));
    EXPECT_EQ(filesIn(exportFolder()), (QStringList{"Exp261210_150405.XLS", "Exp261210_150405LOG.TXT",
                                                    "Exp261210_150405_2.XLS", "Exp261210_150405_2LOG.TXT",
                                                    "Exp261210_150405_3.XLS", "Exp261210_150405_3LOG.TXT"}));
    EXPECT_EQ(XlsBook(first).text(1, 0), QStringLiteral("가나식품"));
    EXPECT_EQ(XlsBook(second).text(1, 0), QStringLiteral("두번째"));
}

// On a desktop where no program opens .XLS files the user learns where the workbook went, and the box's
// second button opens that folder.
TEST_F(ExcelExport, WhenNothingOpensTheWorkbookTheBoxSaysWhereAndOpensItsFolder) {
    ShellRecorder::setOpensFiles(false);
    for (const int answer : {int(Dialogs::ResultOk), int(Dialogs::ResultOpenFolder)}) {
        testDialogs().reset();
        opened().clear();
        testDialogs().answer(Dialogs::ResultYes);
        testDialogs().answer(answer);
        const QString path = ExportToExcelFile(&g, QStringLiteral("Sheet1"), true, false, false, true, true);
        ASSERT_FALSE(path.isEmpty());
        ASSERT_EQ(testDialogs().boxes().size(), 2);
        const auto& box = testDialogs().last();
        EXPECT_EQ(box.buttons, Dialogs::Buttons::OkOpenFolder);
        EXPECT_EQ(box.defaultButton, 1);
        EXPECT_EQ(box.text, QStringLiteral("엑셀 파일을 열 수 있는 프로그램이 없습니다.\r\n"
                                           "파일은 다음 위치에 저장되었습니다.\r\n\r\n") +
                                QDir::toNativeSeparators(path));
        QStringList expected{path};
        if (answer == Dialogs::ResultOpenFolder) expected << QFileInfo(path).absolutePath();
        EXPECT_EQ(opened(), expected);
    }
}

}  // namespace
