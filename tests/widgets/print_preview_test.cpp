// The preview window: paging, zoom, and its print and save commands handed back to the owner.
#include "widgets/print_preview.h"
#include "support/widget_input.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace {

TEST(PrintPreview, PagesThroughAndZoomsThePaintedPages) {
    std::vector<int> painted;
    int printed = 0;
    frmPrintPreview preview(
        3, 210, 297,
        [&](QPainter& painter, int page) {
            painted.push_back(page);
            painter.fillRect(QRectF(0, 0, 10, 10), Qt::black);  // a mark at the paper's top-left
        },
        [&] {
            ++printed;
            return true;
        },
        {});
    ASSERT_EQ(painted, std::vector<int>{0});
    EXPECT_EQ(preview.lblPage()->text(), QStringLiteral("1 / 3"));
    EXPECT_FALSE(preview.btnPrev()->isEnabled());
    // A4 at 100 % of a 96-dpi screen.
    EXPECT_NEAR(preview.pageImage().width(), 210 / 25.4 * 96 * preview.devicePixelRatioF(), 1);
    EXPECT_EQ(preview.pageImage().pixelColor(2, 2), QColor(Qt::black));
    EXPECT_EQ(preview.pageImage().pixelColor(200, 200), QColor(Qt::white));

    preview.btnNext()->click();
    preview.btnNext()->click();
    EXPECT_EQ(painted.back(), 2);
    EXPECT_FALSE(preview.btnNext()->isEnabled());
    EXPECT_EQ(preview.lblPage()->text(), QStringLiteral("3 / 3"));
    preview.btnPrev()->click();
    EXPECT_EQ(preview.currentPage(), 1);

    const int width100 = preview.pageImage().width();
    preview.cmbZoom()->setCurrentIndex(preview.cmbZoom()->findText(QStringLiteral("200%")));
    EXPECT_NEAR(preview.pageImage().width(), 2 * width100, 2);
    EXPECT_EQ(painted.back(), 1);

    preview.show();
    preview.btnPrint()->click();
    EXPECT_EQ(printed, 1);
    EXPECT_FALSE(preview.isVisible());  // printed: the preview closes
}

// PageDown and PageUp turn the page wherever the focus is (the scroll area would take them to scroll),
// and at 100 % the window fits the screen, so that scrolling down reaches the page's foot on screen.
TEST(PrintPreview, PageKeysTurnThePageAndThePagesFootCanBeReached) {
    frmPrintPreview preview(3, 210, 297, [](QPainter&, int) {}, {}, {});
    showActive(&preview);
    auto* scroll = preview.findChild<QScrollArea*>(QStringLiteral("scrPage"));
    ASSERT_NE(scroll, nullptr);
    for (QWidget* focus : {static_cast<QWidget*>(scroll), static_cast<QWidget*>(preview.cmbZoom())}) {
        focus->setFocus();
        sendKey(focus, Qt::Key_PageDown);
        sendKey(focus, Qt::Key_PageDown);
        EXPECT_EQ(preview.currentPage(), 2);
        sendKey(focus, Qt::Key_PageDown);  // the last page stays
        EXPECT_EQ(preview.currentPage(), 2);
        sendKey(focus, Qt::Key_PageUp);
        sendKey(focus, Qt::Key_PageUp);
        EXPECT_EQ(preview.currentPage(), 0);
    }

    EXPECT_EQ(preview.zoom(), 100);
    const QRect screen = preview.screen()->availableGeometry();
    EXPECT_LE(preview.frameGeometry().height(), screen.height());
    EXPECT_LE(preview.frameGeometry().width(), screen.width());
    // Scrolled to the end, the page's last row is inside the visible part of the scroll area.
    scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
    QWidget* canvas = scroll->widget();
    const QPoint foot = canvas->mapTo(scroll->viewport(), QPoint(0, canvas->height() - 1));
    EXPECT_LT(foot.y(), scroll->viewport()->height());
    EXPECT_GE(foot.y(), 0);
}

TEST(PrintPreview, NothingToShowNothingToPrint) {
    frmPrintPreview preview(0, 210, 297, {}, {}, {});
    EXPECT_EQ(preview.lblPage()->text(), QStringLiteral("0 / 0"));
    EXPECT_FALSE(preview.btnPrint()->isEnabled());
    EXPECT_FALSE(preview.btnSavePdf()->isEnabled());
}

}  // namespace
