// The preview window: paging, zoom, and its print and save commands handed back to the owner.
#include "widgets/print_preview.h"

#include <QComboBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

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

TEST(PrintPreview, NothingToShowNothingToPrint) {
    frmPrintPreview preview(0, 210, 297, {}, {}, {});
    EXPECT_EQ(preview.lblPage()->text(), QStringLiteral("0 / 0"));
    EXPECT_FALSE(preview.btnPrint()->isEnabled());
    EXPECT_FALSE(preview.btnSavePdf()->isEnabled());
}

}  // namespace
