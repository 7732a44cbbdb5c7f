// The workbook writer on its own: what libfreexl reads back from small and very large sheets, and refusals.
#include "fileformats/xls_writer.h"
#include "support/data_folder.h"
#include "support/xls_book.h"

#include <QFile>
#include <QFileInfo>

namespace {

class XlsWriterTest : public DataFolderTest {};

TEST_F(XlsWriterTest, SmallSheetWithTextsNumbersAndStyles) {
    XlsWriter w(QStringLiteral("목록"));
    w.setColumn(0, 10.83, false);
    w.setColumn(1, 6, true);
    w.writeText(0, 0, QStringLiteral("품명"), XlsWriter::kStyleHeader);
    w.writeText(0, 1, QStringLiteral("Qty"), XlsWriter::kStyleHeader);
    w.writeText(1, 0, QStringLiteral("똠얌꿍 Ä"));
    w.writeNumber(1, 1, -12.5, w.numberStyle(1, true, true));
    w.writeText(2, 0, QStringLiteral("plain ascii"));
    w.writeText(2, 1, QStringLiteral("품명"));  // a string already in the table
    w.writeNumber(3, 3, 1e6, w.numberStyle(0, false, false));
    EXPECT_EQ(w.numberStyle(1, true, true), w.numberStyle(1, true, true));
    EXPECT_EQ(w.stringCount(), 4);

    const QString path = dataDir() + QStringLiteral("/small.xls");
    QString error;
    ASSERT_TRUE(w.save(path, &error)) << error.toStdString();
    const XlsBook book(path);
    ASSERT_TRUE(book.opened);
    EXPECT_EQ(book.sheetName, QStringLiteral("목록"));
    EXPECT_EQ(book.rows, 4u);
    EXPECT_EQ(book.cols, 4);
    EXPECT_EQ(book.text(0, 0), QStringLiteral("품명"));
    EXPECT_EQ(book.text(1, 0), QStringLiteral("똠얌꿍 Ä"));
    EXPECT_DOUBLE_EQ(book.number(1, 1), -12.5);
    EXPECT_EQ(book.text(2, 0), QStringLiteral("plain ascii"));
    EXPECT_EQ(book.text(2, 1), QStringLiteral("품명"));
    EXPECT_DOUBLE_EQ(book.number(3, 3), 1e6);
    EXPECT_EQ(book.type(3, 0), FREEXL_CELL_NULL);
}

// 65,536 rows of distinct Hangul texts: the string table runs over hundreds of continuation records and
// the file needs more allocation-table sectors than the header can locate. A fifth column repeats texts
// of the first, long after the table of strings has grown: they must find their first entries. The file
// written from the workbook's parts is the workbook, byte for byte.
TEST_F(XlsWriterTest, FullHeightSheetReadsBackCell) {
    XlsWriter w(QStringLiteral("Sheet1"));
    auto textOf = [](int r, int c) {
        return QStringLiteral("가나다라마바사아자차카타파하 %1행 %2열 똠").arg(r).arg(c);
    };
    for (int r = 0; r < XlsWriter::kMaxRows; ++r)
        for (int c = 0; c < 4; ++c) ASSERT_TRUE(w.writeText(r, c, textOf(r, c)));
    for (int r = 0; r < XlsWriter::kMaxRows; ++r) ASSERT_TRUE(w.writeText(r, 4, textOf(r % 1000, 0)));
    EXPECT_EQ(w.stringCount(), 4 * XlsWriter::kMaxRows);
    const QByteArray bytes = w.workbook();
    EXPECT_GT(bytes.size(), 109 * 128 * 512);  // beyond what the header's table locators cover
    const QString path = dataDir() + QStringLiteral("/full.xls");
    ASSERT_TRUE(w.save(path, nullptr));
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.readAll() == bytes);

    const XlsBook book(path);
    ASSERT_TRUE(book.opened);
    ASSERT_EQ(book.rows, unsigned(XlsWriter::kMaxRows));
    ASSERT_EQ(book.cols, 5);
    int wrong = 0;
    for (int r = 0; r < XlsWriter::kMaxRows; ++r) {
        for (int c = 0; c < 4; ++c)
            if (book.text(unsigned(r), quint16(c)) != textOf(r, c)) ++wrong;
        if (book.text(unsigned(r), 4) != textOf(r % 1000, 0)) ++wrong;
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(XlsWriterTest, CellsBeyondTheFormatAreRefusedAndNothingIsWritten) {
    const QString path = dataDir() + QStringLiteral("/kept.xls");
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("earlier workbook");
    }
    XlsWriter w(QStringLiteral("Sheet1"));
    EXPECT_TRUE(w.writeText(XlsWriter::kMaxRows - 1, XlsWriter::kMaxCols - 1, QStringLiteral("last")));
    EXPECT_FALSE(w.writeText(XlsWriter::kMaxRows, 0, QStringLiteral("x")));
    EXPECT_FALSE(w.writeNumber(0, XlsWriter::kMaxCols, 1));
    QString error;
    EXPECT_FALSE(w.save(path, &error));
    EXPECT_FALSE(error.isEmpty());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("earlier workbook"));

    // A folder that does not exist: a failure with a reason, no file.
    XlsWriter ok(QStringLiteral("Sheet1"));
    ok.writeText(0, 0, QStringLiteral("x"));
    EXPECT_FALSE(ok.save(dataDir() + QStringLiteral("/missing/a.xls"), &error));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("/missing")));
}

TEST_F(XlsWriterTest, AnUnpairedSurrogateBecomesAReplacementCharacter) {
    // It is no character: written as it is, it would make a string that a reader cannot turn into text.
    XlsWriter w(QStringLiteral("Sheet1"));
    w.writeText(
        0, 0,
        QStringLiteral("a") + QChar(0xD83D) + QStringLiteral("b") + QChar(0xDE00) + QStringLiteral("c😀"));
    const QString path = dataDir() + QStringLiteral("/s.xls");
    QString error;
    ASSERT_TRUE(w.save(path, &error)) << error.toStdString();
    const XlsBook book(path);
    ASSERT_TRUE(book.opened);
    EXPECT_EQ(book.text(0, 0), QStringLiteral("a\uFFFDb\uFFFDc😀"));
}

TEST_F(XlsWriterTest, SheetNamesAreMadeAcceptable) {
    EXPECT_EQ(XlsWriter::cleanSheetName(QStringLiteral("a/b[c]:*?\\")), QStringLiteral("abc"));
    EXPECT_EQ(XlsWriter::cleanSheetName(QString(40, QLatin1Char('x'))).size(), 31);
    // The cut at 31 never keeps half of a surrogate pair.
    EXPECT_EQ(XlsWriter::cleanSheetName(QString(30, QLatin1Char('x')) + QStringLiteral("😀")),
              QString(30, QLatin1Char('x')));
    EXPECT_EQ(XlsWriter::cleanSheetName(QString()), QStringLiteral("Sheet1"));
}

}  // namespace
