// Window sizing and placing in twips, keyboard focus moves, text selection, modal windows and the
// floating notice.
#include "widgets/form_helpers.h"
#include "widgets/float_notice.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// Window measures in the tests are multiples of the twips per pixel, so they convert without rounding.
class FormHelpers : public testing::Test {
protected:
    void SetUp() override { ASSERT_DOUBLE_EQ(twipsPerPixel(), 15.0) << "the offscreen screen has 96 dpi"; }
};

TEST_F(FormHelpers, EnsureMinSizeGrowsOnlyNormalWindows) {
    QWidget window;
    window.resize(3000 / 15, 7005 / 15);
    window.show();
    EXPECT_TRUE(EnsureMinSize(&window));
    EXPECT_EQ(twipsWidth(&window), 4635);
    EXPECT_EQ(twipsHeight(&window), 7005);

    window.resize(3000 / 15, 3000 / 15);
    EXPECT_TRUE(EnsureMinSize(&window, 6000, -1));
    EXPECT_EQ(twipsWidth(&window), 6000);
    EXPECT_EQ(twipsHeight(&window), 5010);  // 5000 twips is 333.3 pixels: the nearest whole pixel

    window.showMinimized();
    window.resize(100, 100);
    EXPECT_FALSE(EnsureMinSize(&window));
    EXPECT_EQ(window.size(), QSize(100, 100));

    window.showMaximized();
    const QSize maximised = window.size();
    EXPECT_TRUE(EnsureMinSize(&window, 1000000, 1000000));
    EXPECT_EQ(window.size(), maximised);
}

TEST_F(FormHelpers, PlacingHelpers) {
    QWidget panel;
    auto* button = new QWidget(&panel);
    auto* other = new QWidget(&panel);
    PlaceFromRight(button, 10000, 2, 0);
    EXPECT_EQ(twipsLeft(button), 7665);  // 7660 twips is 510.7 pixels: the nearest whole pixel, 511
    PlaceFromRight(button, 10035, 1, 150);
    EXPECT_EQ(twipsLeft(button), 8700);
    // Raised: the placed control is the last child, drawn on top.
    PlaceFromRight(other, 3000, 0, 0);
    PlaceFromRight(button, 3000, 0, 0);
    EXPECT_EQ(panel.children().last(), button);

    auto* inner1 = new QWidget(&panel);
    auto* inner2 = new QWidget(&panel);
    SetWidthWithInner(&panel, 6000, inner1, inner2);
    EXPECT_EQ(twipsWidth(&panel), 6000);
    EXPECT_EQ(twipsWidth(inner1), 5895);
    EXPECT_EQ(twipsWidth(inner2), 5895);
    SetWidthWithInner(&panel, 4500);
    EXPECT_EQ(twipsWidth(inner1), 5895);

    QWidget window;
    auto* frame = new QWidget(&window);
    auto* grid = new QWidget(frame);
    auto* lower = new QWidget(frame);
    setTwipsGeometry(frame, 0, 600, 3000, 3000);
    setTwipsGeometry(grid, 60, 90, 2000, 1000);
    setTwipsGeometry(lower, 60, 0, 2000, 900);
    SetHeightToBottom(frame, 7200, grid);
    EXPECT_EQ(twipsHeight(frame), 6600);
    EXPECT_EQ(twipsHeight(grid), 6495);
    SetHeightToBottom(frame, 7200, grid, lower);
    EXPECT_EQ(twipsHeight(grid), 6600 - 900 - 135);
    EXPECT_EQ(twipsTop(lower), 90 + 5565 + 30);
}

// The shared start of the windows' resize: a narrow window grows to its minimum width first, and the
// panel and the buttons follow the width it has then; a minimised window lays out nothing.
TEST_F(FormHelpers, TopPanelFollowsTheWindowWidth) {
    QWidget window;
    auto* panel = new QWidget(&window);
    auto* first = new QWidget(panel);
    auto* second = new QWidget(panel);
    window.resize(9000 / 15, 6000 / 15);
    window.show();
    struct Case {
        int width;
        int expectedWidth;
    };
    for (const Case c : {Case{9000, 9000}, Case{3000, 4635}}) {
        window.resize(c.width / 15, 6000 / 15);
        const auto client = LayoutTopPanel(&window, panel, {first, second});
        ASSERT_TRUE(client);
        EXPECT_EQ(client->width, twipsWidth(&window));
        EXPECT_NEAR(client->width, c.expectedWidth, 15);
        EXPECT_EQ(client->height, 6000);
        EXPECT_EQ(twipsWidth(panel), client->width);
        EXPECT_NEAR(twipsLeft(first), client->width - 30 - 1155, 15);
        EXPECT_NEAR(twipsLeft(second), client->width - 30 - 2 * 1155, 15);
    }

    const QRect placed = first->geometry();
    window.showMinimized();
    window.resize(200, 200);
    EXPECT_FALSE(LayoutTopPanel(&window, panel, {first, second}));
    EXPECT_EQ(first->geometry(), placed);
}

TEST_F(FormHelpers, FocusMovesAndSelection) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(QStringLiteral("admin"), &window);
    auto* second = new QLineEdit(QStringLiteral("1234"), &window);
    auto* hidden = new QLineEdit(&window);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addWidget(hidden);
    hidden->hide();
    window.show();
    QApplication::setActiveWindow(&window);
    first->setFocus();
    QApplication::processEvents();

    EXPECT_TRUE(EnterToTab(kKeyReturn));
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_TRUE(EnterToTab(kKeyUp));
    EXPECT_EQ(QApplication::focusWidget(), first);
    EXPECT_TRUE(EnterToTab(kKeyDown));
    EXPECT_EQ(QApplication::focusWidget(), second);
    EXPECT_FALSE(EnterToTab(kKeyTab));
    EXPECT_EQ(QApplication::focusWidget(), second);

    SelectActiveText();
    EXPECT_EQ(second->selectedText(), QStringLiteral("1234"));

    SetFocusIf(hidden);
    EXPECT_EQ(QApplication::focusWidget(), second);
    first->setEnabled(false);
    SetFocusIf(first);
    EXPECT_EQ(QApplication::focusWidget(), second);
    first->setEnabled(true);
    SetFocusIf(first);
    EXPECT_EQ(QApplication::focusWidget(), first);
}

TEST_F(FormHelpers, ModalWindowGoesOverTheMainWindow) {
    QWidget main;
    main.setObjectName(QStringLiteral("frmMain"));
    QMdiArea area;
    QWidget* child = area.addSubWindow(new QWidget)->widget();
    main.show();
    area.show();

    for (QWidget* owner : {&main, child}) {
        QDialog dialog;
        QWidget* seenParent = nullptr;
        bool wasModal = false;
        QTimer::singleShot(0, &dialog, [&] {
            seenParent = dialog.parentWidget();
            wasModal = dialog.isModal() && dialog.isVisible();
            dialog.accept();
        });
        EXPECT_EQ(ShowModalOwned(&dialog, owner), QDialog::Accepted);
        EXPECT_EQ(seenParent, &main);
        EXPECT_TRUE(wasModal);
        dialog.setParent(nullptr);
    }

    // A plain window: the call returns when it closes.
    auto* window = new QWidget;
    bool modal = false;
    QTimer::singleShot(0, window, [&] {
        modal = window->isModal();
        window->close();
    });
    ShowModalOwned(window, &main);
    EXPECT_TRUE(modal);
    EXPECT_EQ(window->parentWidget(), &main);
}

TEST_F(FormHelpers, ToolTipNamesTheControl) {
    QLineEdit edit;
    edit.setObjectName(QStringLiteral("txtUser"));
    MakeToolTip(&edit);
    EXPECT_EQ(edit.toolTip(), QStringLiteral("txtUser"));
    edit.setObjectName(QStringLiteral("optKind"));
    edit.setProperty("index", 2);
    MakeToolTip(&edit);
    EXPECT_EQ(edit.toolTip(), QStringLiteral("optKind(2)"));
}

TEST_F(FormHelpers, FloatingNoticeLeavesTheFocusAndGoes) {
    QWidget window;
    auto* edit = new QLineEdit(&window);
    (new QVBoxLayout(&window))->addWidget(edit);
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QApplication::processEvents();

    ShowFloatMsg(QStringLiteral("검색된 결과가 없습니다."), 200, 1, 0xFFFF00);
    QWidget* notice = float_notice::current();
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_TRUE(notice->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(notice->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &window);
    EXPECT_EQ(QApplication::focusWidget(), edit);

    QElapsedTimer clock;
    clock.start();
    while (float_notice::current() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(float_notice::current(), nullptr) << "the notice must go after its duration";
    EXPECT_GE(clock.elapsed(), 150);
}

}  // namespace
