// The 미리보기 and 포트 buttons of the label window: the preview pages through the checked labels without
// sending or marking anything; the port choice stores the port type that the next print run opens.
#include "labels/label_preview.h"
#include "labels/port_chooser.h"
#include "labels_fixture.h"
#include "pty_line_unix.h"

#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

using namespace labels_test;

namespace {

// Runs `inside` on the first modal window that the action opens, then closes it with `done`.
template <typename Dialog>
void whileModal(const std::function<void()>& action, const std::function<void(Dialog*)>& inside) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        inside(dialog);
    });
    action();
    EXPECT_TRUE(seen);
}

}  // namespace

TEST_F(LabelWindowTest, PreviewPagesThroughTheCheckedLabelsAndSendsNothing) {
    mapPort(QStringLiteral("COM1"), dataDir.path() + QStringLiteral("/must-not-be-opened"));
    typeLabels({QStringLiteral("양파"), QStringLiteral("대파"), QStringLiteral("감자")});
    grid()->setText(1, 1, QStringLiteral("1"));
    grid()->setText(1, 3, QStringLiteral("1"));
    whileModal<LabelPreviewDialog>([&] { window->btnPreview()->click(); },
                                   [](LabelPreviewDialog* preview) {
                                       EXPECT_EQ(preview->pageCount(), 2);
                                       EXPECT_FALSE(preview->btnPrev()->isEnabled());
                                       preview->btnNext()->click();
                                       EXPECT_EQ(preview->currentPage(), 1);
                                       EXPECT_FALSE(preview->btnNext()->isEnabled());
                                       // A label of its own size at 8 dots per millimetre.
                                       EXPECT_EQ(preview->pageImage(1).size(), QSize(640, 560));
                                       preview->accept();
                                   });
    EXPECT_TRUE(greyRows().isEmpty());
    EXPECT_TRUE(testDialogs().boxes().isEmpty());

    // Nothing checked with text: nothing to preview.
    for (int row = 1; row <= grid()->maxRows(); ++row) grid()->setText(1, row, QString());
    testDialogs().answer(Dialogs::ResultOk);
    window->PreviewCheckedRows();
    EXPECT_EQ(testDialogs().last().text, QStringLiteral("출력할 내용이 없습니다."));
}

TEST_F(LabelWindowTest, ThePortChoiceStoresThePortTypeAndShowsEachDevice) {
    Pty line;
    ASSERT_TRUE(line.valid());
    mapPort(QStringLiteral("COM3"), line.path());
    // A path that exists but cannot be opened for writing is not shown as connected.
    QTemporaryDir notADevice;
    mapPort(QStringLiteral("COM4"), notADevice.path());
    whileModal<PortChooser>([&] { window->btnPort()->click(); },
                            [&](PortChooser* chooser) {
                                QListWidget* list = chooser->list();
                                ASSERT_EQ(list->count(), 12);      // the ports, a queue, a network printer
                                EXPECT_EQ(list->currentRow(), 1);  // nothing stored: COM1
                                EXPECT_TRUE(list->item(0)->text().startsWith(QStringLiteral("LPT1")));
                                EXPECT_TRUE(list->item(1)->text().contains(QStringLiteral("/dev/ttyS0")));
                                EXPECT_TRUE(list->item(3)->text().contains(line.path()));
                                EXPECT_TRUE(list->item(3)->text().contains(QStringLiteral("연결됨")));
                                EXPECT_TRUE(list->item(4)->text().contains(QStringLiteral("[열 수 없음]")));
                                list->setCurrentRow(3);
                                chooser->accept();
                            });
    EXPECT_EQ(PortChooser::StoredPortType(), 3);
    // The next print run opens COM3.
    typeLabels({QStringLiteral("양파")});
    grid()->setText(1, 1, QStringLiteral("1"));
    testDialogs().answer(Dialogs::ResultYes);
    window->PrintCheckedRows();
    EXPECT_EQ(window->PortType(), 3);
    EXPECT_TRUE(line.readUntil(10).startsWith("SIZE 80 mm,70 mm\r\n"));
}
