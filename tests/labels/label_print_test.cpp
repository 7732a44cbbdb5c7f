// Which rows reach the label printer and which turn grey: a row is printed when any of its texts is set,
// the last column's included, and when the port fails on a label exactly the labels before it are grey.
#include "labels/label_commands.h"
#include "labels_fixture.h"

#include <QFile>
#include <QTemporaryFile>

#include <sys/resource.h>

#include <csignal>

using namespace labels_test;
using namespace label_commands;

namespace {

class LabelPrintTest : public LabelWindowTest {
protected:
    void SetUp() override {
        LabelWindowTest::SetUp();
        ASSERT_TRUE(device.open());
        setPortType(QStringLiteral("0"));
        mapPort(QStringLiteral("LPT1"), device.fileName());
    }
    // The bytes of one block on the parallel port: the block and the line break after it.
    static QByteArray onPort(const QString& block) { return Encode(block) + "\r\n"; }
    QByteArray expectedBytes(const QList<int>& rows) const {
        QByteArray bytes = onPort(LabelSetupBlock());
        for (int row : rows) bytes += onPort(LabelBlock(window->RowTexts(row)));
        return bytes;
    }
    QByteArray written() const {
        QFile file(device.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void checkAll() {
        for (int row = 1; row < grid()->maxRows(); ++row) grid()->setText(1, row, QStringLiteral("1"));
    }

    QTemporaryFile device;
};

// The device file cannot grow past `bytes` while it lives: a write beyond it fails (EFBIG), as a
// printer's port does when the printer goes away in the middle of a label.
class FileSizeLimit {
public:
    explicit FileSizeLimit(qsizetype bytes) {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_saved;
        limit.rlim_cur = rlim_t(bytes);
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_saved{};
    void (*m_oldHandler)(int) = nullptr;
};

}  // namespace

TEST_F(LabelPrintTest, ARowWithTextInOnlyOneColumnIsPrintedWhicheverColumnItIs) {
    for (int col : {int(fBPrintLabel::kCustomerCol), int(fBPrintLabel::kRemarksCol)}) {
        window = std::make_unique<fBPrintLabel>();
        ASSERT_TRUE(device.resize(0));
        window->AddBlankRow();
        // Row 1 holds only the receiving date the entry row gets; the test empties it.
        grid()->setText(fBPrintLabel::kReceiveDateCol, 1, QString());
        grid()->setText(col, 1, QStringLiteral("문 앞에 두세요"));
        window->AddBlankRow();
        window->AddBlankRow();
        grid()->setText(fBPrintLabel::kReceiveDateCol, 2, QString());  // row 2: no text at all
        checkAll();
        ASSERT_EQ(window->PrintableRows(), QList<int>{1}) << col;
        testDialogs().answer(Dialogs::ResultYes);  // 정말 인쇄 하시겠습니까?
        window->PrintCheckedRows();
        EXPECT_EQ(written(), expectedBytes({1})) << col;
        EXPECT_EQ(greyRows(), QList<int>{1}) << col;
    }
}

TEST_F(LabelPrintTest, WhenThePortFailsOnALabelExactlyTheLabelsBeforeItAreGrey) {
    const QStringList products = {QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("배추"),
                                  QStringLiteral("무"),   QStringLiteral("당근"), QStringLiteral("감자")};
    for (int failing : {1, 3, 6}) {
        window = std::make_unique<fBPrintLabel>();
        ASSERT_TRUE(device.resize(0));
        typeLabels(products);
        checkAll();
        QList<int> before;
        for (int row = 1; row < failing; ++row) before << row;
        // Room for the setup and the labels before the failing one, and half of that one.
        const QByteArray arrives = expectedBytes(before);
        const qsizetype limit = arrives.size() + onPort(LabelBlock(window->RowTexts(failing))).size() / 2;
        testDialogs().answer(Dialogs::ResultYes);
        testDialogs().answer(Dialogs::ResultOk);  // the port's failure
        {
            FileSizeLimit full(limit);
            window->PrintCheckedRows();
        }
        EXPECT_TRUE(testDialogs().last().text.contains(QStringLiteral("Print_Barcode")))
            << testDialogs().last().text.toStdString();
        EXPECT_TRUE(written().startsWith(arrives)) << failing;
        EXPECT_EQ(greyRows(), before) << failing;
    }
}

TEST_F(LabelPrintTest, PrintedRowsLoseTheirTickAndPrintingOneAgainIsAskedFirst) {
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
    grid()->setText(1, 1, QStringLiteral("1"));
    grid()->setText(1, 2, QStringLiteral("1"));
    testDialogs().answer(Dialogs::ResultYes);
    window->PrintCheckedRows();
    EXPECT_EQ(greyRows(), (QList<int>{1, 2}));
    EXPECT_EQ(column(1).mid(0, 3), (QStringList{QString(), QString(), QString()}));
    const QByteArray first = written();

    // Row 2 ticked again with row 3: the clerk is asked; No sends nothing.
    grid()->setText(1, 2, QStringLiteral("1"));
    grid()->setText(1, 3, QStringLiteral("1"));
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultNo);
    window->PrintCheckedRows();
    EXPECT_EQ(testDialogs().last().text,
              QStringLiteral("이미 출력한 라벨 1장이 포함되어 있습니다. 다시 출력할까요?"));
    EXPECT_EQ(testDialogs().last().defaultButton, 2);
    EXPECT_EQ(written(), first);
    EXPECT_EQ(greyRows(), (QList<int>{1, 2}));

    // Yes prints both.
    ASSERT_TRUE(device.resize(0));
    testDialogs().answer(Dialogs::ResultYes);
    testDialogs().answer(Dialogs::ResultYes);
    window->PrintCheckedRows();
    EXPECT_EQ(written(), expectedBytes({2, 3}));
    EXPECT_EQ(greyRows(), (QList<int>{1, 2, 3}));
}
