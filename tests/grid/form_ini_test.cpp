// Window and grid layout files: what is written when, and what is (and is not) applied when read.
#include "grid/form_ini.h"
#include "grid/grid_fixture.h"
#include "platform/ini_file.h"
#include "widgets/form_helpers.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

class FormIni : public GridTest {
protected:
    void SetUp() override {
        GridTest::SetUp();
        window = std::make_unique<QWidget>();
        window->setObjectName(QStringLiteral("frmMain"));
        sp = new SpreadGrid(window.get());
        fill(*sp, 3, 2);
        window->setGeometry(100, 80, 600, 400);
    }
    QString path() const { return FormIniPath(QStringLiteral("frmMain")); }
    QString value(const QString& section, const QString& key) const {
        return ini_file::read(path(), section, key);
    }
    void put(const QString& section, const QString& key, const QString& v) {
        QDir().mkpath(dataDir() + QStringLiteral("/FormIni"));
        ASSERT_TRUE(ini_file::write(path(), section, key, v));
    }
    const QString pos = QStringLiteral("FormPosition");

    std::unique_ptr<QWidget> window;
    SpreadGrid* sp = nullptr;
};

TEST_F(FormIni, FirstOpeningKeepsTheDesignAndCreatesNothing) {
    LoadFormIni(window.get(), false);
    EXPECT_EQ(window->geometry(), QRect(100, 80, 600, 400));
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("/FormIni")));
    SaveFormIni(window.get());  // not visible: nothing either
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("/FormIni")));
    SaveSpreadColWidth(window.get(), sp, 1);
    EXPECT_FALSE(QFileInfo::exists(dataDir() + QStringLiteral("/FormIni")));
}

TEST_F(FormIni, PositionAndSizeRoundTripInTwips) {
    window->show();
    window->move(120, 90);
    window->resize(640, 420);
    ASSERT_TRUE(SaveFormIni(window.get()));
    EXPECT_EQ(value(pos, QStringLiteral("WindowState")), QStringLiteral("0"));
    EXPECT_EQ(value(pos, QStringLiteral("Left")), QString::number(twipsLeft(window.get())));
    EXPECT_EQ(value(pos, QStringLiteral("Width")), QString::number(twipsWidth(window.get())));

    QWidget again;
    again.setObjectName(QStringLiteral("frmMain"));
    again.setGeometry(0, 0, 100, 100);
    LoadFormIni(&again, false);
    EXPECT_EQ(again.pos(), window->pos());
    EXPECT_EQ(again.size(), window->size());

    // keepSize: only the position.
    QWidget kept;
    kept.setObjectName(QStringLiteral("frmMain"));
    kept.setGeometry(0, 0, 100, 100);
    LoadFormIni(&kept, true);
    EXPECT_EQ(kept.pos(), window->pos());
    EXPECT_EQ(kept.size(), QSize(100, 100));
}

TEST_F(FormIni, ValuesThatAreNotAppliedOrAreCutToNineCharacters) {
    put(pos, QStringLiteral("Left"), QStringLiteral("0"));
    put(pos, QStringLiteral("Top"), QStringLiteral("-300"));
    put(pos, QStringLiteral("Width"), QStringLiteral("0000009000"));  // ten characters: "000000900" arrives
    put(pos, QStringLiteral("Height"), QStringLiteral("abc"));
    LoadFormIni(window.get(), false);
    EXPECT_EQ(window->pos(), QPoint(100, 80));
    EXPECT_EQ(window->width(), twipsToPixels(900, window.get()));
    EXPECT_EQ(window->height(), 400);
}

TEST_F(FormIni, DamagedValuesNeitherHideTheWindowNorBreakTheGrid) {
    // Nine nines, the most a value can carry: a window far off every screen and larger than any, a font
    // and rows of absurd size. The window comes back onto the screen at the screen's size at most; font
    // and rows keep to the bounds of the context menu's entries.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    for (const QString& key :
         {QStringLiteral("Left"), QStringLiteral("Top"), QStringLiteral("Width"), QStringLiteral("Height")})
        put(pos, key, QStringLiteral("999999999"));
    put(QStringLiteral("spList_General"), QStringLiteral("FontSize"), QStringLiteral("999999999"));
    put(QStringLiteral("spList_General"), QStringLiteral("RowHeight"), QStringLiteral("999999999"));
    LoadFormIni(window.get(), false);
    EXPECT_TRUE(screen.contains(QRect(window->pos(), window->size()))) << window->geometry().x();
    EXPECT_EQ(window->size(), screen.size());
    EXPECT_DOUBLE_EQ(sp->fontSize(1, 1), 60);
    EXPECT_DOUBLE_EQ(sp->rowHeight(-1), 300);

    put(QStringLiteral("spList_General"), QStringLiteral("FontSize"), QStringLiteral("0.5"));
    put(QStringLiteral("spList_General"), QStringLiteral("RowHeight"), QStringLiteral("1"));
    LoadSpreadIni(sp, path());
    EXPECT_DOUBLE_EQ(sp->fontSize(1, 1), 8);
    EXPECT_DOUBLE_EQ(sp->rowHeight(-1), 8);

    // Values that fit stay as stored, the position too.
    put(pos, QStringLiteral("Left"), QStringLiteral("1500"));
    put(pos, QStringLiteral("Top"), QStringLiteral("1200"));
    put(pos, QStringLiteral("Width"), QStringLiteral("4500"));
    put(pos, QStringLiteral("Height"), QStringLiteral("3000"));
    LoadFormIni(window.get(), false);
    EXPECT_EQ(window->geometry(), QRect(100, 80, 300, 200));
}

TEST_F(FormIni, MaximisedWritesOnlyTheStateMinimisedNothing) {
    window->show();
    ASSERT_TRUE(SaveFormIni(window.get()));
    const QString left = value(pos, QStringLiteral("Left"));
    const QString width = value(pos, QStringLiteral("Width"));

    window->showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(window->isMaximized());
    ASSERT_TRUE(SaveFormIni(window.get()));
    EXPECT_EQ(value(pos, QStringLiteral("WindowState")), QStringLiteral("2"));
    EXPECT_EQ(value(pos, QStringLiteral("Left")), left);  // the normal position stays
    EXPECT_EQ(value(pos, QStringLiteral("Width")), width);

    // Reopening maximises, over the stored normal size.
    QWidget again;
    again.setObjectName(QStringLiteral("frmMain"));
    LoadFormIni(&again, false);
    EXPECT_TRUE(again.windowState() & Qt::WindowMaximized);
    EXPECT_EQ(again.size(),
              QSize(twipsToPixels(width.toInt(), &again), again.height()).expandedTo(again.size()));

    window->showMinimized();
    QApplication::processEvents();
    QFile::remove(path());
    EXPECT_TRUE(SaveFormIni(window.get()));
    EXPECT_FALSE(QFileInfo::exists(path()));
}

TEST_F(FormIni, GridWidthsFontAndRowHeight) {
    window->show();
    sp->setColWidth(2, 10.83);
    ASSERT_TRUE(SaveSpreadColWidth(window.get(), sp, 2));
    EXPECT_EQ(value(QStringLiteral("spList_ColsWidth"), QStringLiteral("2")), QStringLiteral("10.83"));

    put(QStringLiteral("spList_ColsWidth"), QStringLiteral("1"), QStringLiteral("6"));
    put(QStringLiteral("spList_ColsWidth"), QStringLiteral("3"), QStringLiteral("x"));
    put(QStringLiteral("spList_ColsWidth"), QStringLiteral("5"), QStringLiteral("30"));  // beyond the grid
    put(QStringLiteral("spList_General"), QStringLiteral("FontSize"), QStringLiteral("0"));
    put(QStringLiteral("spList_General"), QStringLiteral("RowHeight"), QStringLiteral("15"));

    SpreadGrid fresh;
    fresh.setObjectName(QStringLiteral("spList"));
    fresh.setMaxCols(3);
    fresh.setColWidth(-1, 8);
    const double designFont = fresh.fontSize(1, 1);
    LoadSpreadIni(&fresh, path());
    EXPECT_DOUBLE_EQ(fresh.colWidth(1), 6);
    EXPECT_DOUBLE_EQ(fresh.colWidth(2), 10.83);
    EXPECT_DOUBLE_EQ(fresh.colWidth(3), 8);
    EXPECT_DOUBLE_EQ(fresh.fontSize(1, 1), designFont);
    EXPECT_DOUBLE_EQ(fresh.rowHeight(-1), 15);
    EXPECT_DOUBLE_EQ(fresh.rowHeight(0), 17);
    fresh.setMaxCols(5);
    EXPECT_DOUBLE_EQ(fresh.colWidth(5), 8);

    put(QStringLiteral("spList_General"), QStringLiteral("FontSize"), QStringLiteral("14"));
    LoadSpreadIni(&fresh, path());
    EXPECT_DOUBLE_EQ(fresh.fontSize(2, 1), 14);
    EXPECT_DOUBLE_EQ(fresh.fontSize(1, 0), 14);

    // LoadFormIni restores every grid of the window from its sections.
    put(QStringLiteral("spList_ColsWidth"), QStringLiteral("1"), QStringLiteral("12"));
    LoadFormIni(window.get(), false);
    EXPECT_DOUBLE_EQ(sp->colWidth(1), 12);
}

TEST_F(FormIni, EveryStoredWidthUpToTheLastColumnIsApplied) {
    for (int c = 1; c <= 3; ++c)
        put(QStringLiteral("spList_ColsWidth"), QString::number(c), QString::number(4 + c * 1.5));
    LoadSpreadIni(sp, path());
    for (int c = 1; c <= 3; ++c) EXPECT_DOUBLE_EQ(sp->colWidth(c), 4 + c * 1.5) << c;
}

TEST_F(FormIni, DeleteThenTheNextClosingWritesAgain) {
    window->show();
    SaveSpreadIni_Gn(window.get(), sp, QStringLiteral("RowHeight"), QStringLiteral("20"));
    ASSERT_TRUE(QFileInfo::exists(path()));
    DelFormIni(QStringLiteral("frmMain"));
    EXPECT_FALSE(QFileInfo::exists(path()));
    DelFormIni(QStringLiteral("frmMain"));  // no file: nothing to report
    ASSERT_TRUE(SaveFormIni(window.get()));
    EXPECT_FALSE(value(pos, QStringLiteral("Left")).isEmpty());
    EXPECT_TRUE(value(QStringLiteral("spList_General"), QStringLiteral("RowHeight")).isEmpty());
}

TEST_F(FormIni, AFailedWriteOfTheMenuValuesIsReported) {
    // A file where the folder belongs.
    QFile blocker(dataDir() + QStringLiteral("/FormIni"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    testDialogs().answer(Dialogs::ResultOk);
    SaveSpreadIni_Gn(window.get(), sp, QStringLiteral("FontSize"), QStringLiteral("12"));
    EXPECT_TRUE(testDialogs().last().text.endsWith(
        QStringLiteral(") in procedure SaveSpreadIni_Gn of Module modFormIni")));
    window->show();
    EXPECT_FALSE(SaveFormIni(window.get()));  // the window's closing goes on; nothing is shown
}

}  // namespace
