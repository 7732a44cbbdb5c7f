// Window styling at load: the old teal and khaki panels recoloured, buttons with the arrow pointer,
// control names as tooltips in development mode.
#include "widgets/form_style.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QLabel* panel(QWidget* parent, const QString& caption, const QColor& background) {
    auto* label = new QLabel(caption, parent);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, background);
    label->setPalette(p);
    label->setAutoFillBackground(true);
    return label;
}

QColor background(const QWidget* w) {
    return w->palette().color(QPalette::Window);
}
QColor text(const QWidget* w) {
    return w->palette().color(QPalette::WindowText);
}

class FormStyle : public testing::Test {
protected:
    void TearDown() override {
        UseFormStyle = false;
        DevMode = false;
    }
};

TEST_F(FormStyle, PanelsRecolouredByTheirBackgroundAndCaption) {
    QWidget window;
    QLabel* starred = panel(&window, QStringLiteral("*납품일"), QColor(0, 128, 128));
    QLabel* plain = panel(&window, QStringLiteral("발주일"), QColor(0, 128, 128));
    QLabel* khaki = panel(&window, QStringLiteral("합계"), QColor(187, 176, 146));
    QLabel* other = panel(&window, QStringLiteral("*기타"), QColor(10, 20, 30));
    auto* button = new QPushButton(QStringLiteral("조회"), &window);
    button->setCursor(Qt::PointingHandCursor);
    starred->setObjectName(QStringLiteral("pnlDate"));

    UseFormStyle = true;
    SetFormStyle(&window, false);
    EXPECT_EQ(background(starred), QColor(204, 226, 244));
    EXPECT_EQ(text(starred), QColor(3, 55, 150));
    EXPECT_EQ(background(plain), QColor(204, 226, 244));
    EXPECT_EQ(text(plain), QColor(Qt::black));
    EXPECT_EQ(background(khaki), QColor(141, 132, 205));
    EXPECT_EQ(text(khaki), QColor(254, 255, 255));
    EXPECT_EQ(background(other), QColor(10, 20, 30));
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(starred->toolTip().isEmpty());

    // In development mode every control names itself.
    DevMode = true;
    SetFormStyle(&window, false);
    EXPECT_EQ(starred->toolTip(), QStringLiteral("pnlDate"));
}

TEST_F(FormStyle, NothingChangesBeforeTheSessionStyleIsOn) {
    QWidget window;
    QLabel* teal = panel(&window, QStringLiteral("*납품일"), QColor(0, 128, 128));
    QApplication::setWindowIcon(QIcon(QPixmap(16, 16)));
    UseFormStyle = false;
    SetFormStyle(&window, true);
    EXPECT_EQ(background(teal), QColor(0, 128, 128));
    EXPECT_EQ(window.windowIcon().cacheKey(), QApplication::windowIcon().cacheKey());
}

}  // namespace
