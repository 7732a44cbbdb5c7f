// The program on a desktop whose system language is not Korean: Qt's own texts in the boxes and the
// calendar are Korean, weeks start on Sunday, and every window, menu and box uses one font family.
#include "platform/fonts.h"
#include "platform/language.h"
#include "widgets/date_box.h"
#include "widgets/desktop_look.h"
#include "widgets/qt_dialogs.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QCalendarWidget>
#include <QElapsedTimer>
#include <QFontInfo>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// A system set to the C locale, then the program's start.
class KoreanDesktop : public testing::Test {
protected:
    void SetUp() override {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(installKoreanLanguage()) << "Qt's Korean translations (qt6-translations-l10n)";
        applyDesktopLook();
    }
};

// Shows a box through the program's dialogs; while it is open, reads its buttons' captions (without the
// keyboard mnemonic) and presses the one at `press`.
struct Shown {
    QStringList captions;
    int result = 0;
};
Shown showBox(Dialogs::Buttons buttons, int press) {
    Shown shown;
    QTimer::singleShot(0, [&] {
        QElapsedTimer clock;
        clock.start();
        QMessageBox* box = nullptr;
        while (!(box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) &&
               clock.elapsed() < 2000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        ASSERT_NE(box, nullptr);
        const QList<QAbstractButton*> ordered = box->buttons();
        for (QAbstractButton* b : ordered)
            shown.captions << b->text().remove(QRegularExpression(QStringLiteral("\\(&.\\)|&")));
        ordered.at(press)->click();
    });
    QtDialogs boxes;
    shown.result = boxes.messageBox(
        {QStringLiteral("내용"), QStringLiteral("제목"), Dialogs::Icon::Question, buttons, 1});
    return shown;
}

TEST_F(KoreanDesktop, BoxButtonsAreKorean) {
    EXPECT_EQ(QLocale().language(), QLocale::Korean);

    Shown yesNoCancel = showBox(Dialogs::Buttons::YesNoCancel, 1);
    yesNoCancel.captions.sort();
    EXPECT_EQ(yesNoCancel.captions, (QStringList{"아니요", "예", "취소"}));

    Shown okCancel = showBox(Dialogs::Buttons::OkCancel, 0);
    okCancel.captions.sort();
    EXPECT_EQ(okCancel.captions, (QStringList{"취소", "확인"}));

    // The box that tells where a file went: OK and the folder button, which answers as such.
    Shown folder = showBox(Dialogs::Buttons::OkOpenFolder, 0);
    EXPECT_TRUE(folder.captions.contains(QStringLiteral("확인")));
    EXPECT_TRUE(folder.captions.contains(QStringLiteral("폴더 열기")));
    const int folderIndex = int(folder.captions.indexOf(QStringLiteral("폴더 열기")));
    EXPECT_EQ(showBox(Dialogs::Buttons::OkOpenFolder, folderIndex).result, Dialogs::ResultOpenFolder);
}

TEST_F(KoreanDesktop, TheCalendarStartsOnSundayWithKoreanNames) {
    DateBox box;
    box.setDate(QDate(2026, 12, 11));
    QCalendarWidget* calendar = box.calendar();
    EXPECT_EQ(calendar->firstDayOfWeek(), Qt::Sunday);
    auto* view = calendar->findChild<QTableView*>();
    ASSERT_NE(view, nullptr);
    // The first row of the month view holds the day names: 일 월 화 수 목 금 토.
    QStringList names;
    for (int c = 0; c < 7; ++c) names << view->model()->data(view->model()->index(0, c)).toString();
    EXPECT_EQ(names, (QStringList{"일", "월", "화", "수", "목", "금", "토"}));
    EXPECT_EQ(calendar->locale().monthName(12), QStringLiteral("12월"));
}

TEST_F(KoreanDesktop, OneFontFamilyForEveryWindowMenuAndBoxAndTheIconOnEveryWindow) {
    const QString family = QFontInfo(QFont(QStringLiteral("굴림"))).family();
    EXPECT_EQ(family, QStringLiteral("NanumGothic"));
    QWidget window;
    auto* button = new QPushButton(QStringLiteral("엑셀 F8"), &window);
    QMenu menu;
    QMessageBox box;
    for (const QWidget* w : {static_cast<const QWidget*>(button), static_cast<const QWidget*>(&menu),
                             static_cast<const QWidget*>(&box)})
        EXPECT_EQ(QFontInfo(w->font()).family(), family) << w->metaObject()->className();

    // The same picture as the desktop's menu entry, in its sizes, on every window.
    const QIcon icon = QApplication::windowIcon();
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_FALSE(icon.pixmap(48, 48).isNull());
    EXPECT_EQ(window.windowIcon().cacheKey(), icon.cacheKey());
}

}  // namespace
