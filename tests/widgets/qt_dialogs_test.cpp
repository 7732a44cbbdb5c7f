// The real message and input boxes: what they show of a text.
#include "widgets/qt_dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFontMetrics>
#include <QLabel>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `inspect` on the modal box that `open` shows, then closes the box.
void whileShown(const std::function<void()>& open, const std::function<void(QDialog*)>& inspect) {
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    bool seen = false;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box && clock.elapsed() < 5000) return;
        poll.stop();
        if (!box) return;
        seen = true;
        inspect(box);
        box->reject();
    });
    poll.start(10);
    open();
    EXPECT_TRUE(seen) << "no box was shown";
}

// The label of a box that shows `text`: the one whose text it is.
QLabel* labelShowing(QDialog* box, const QString& text) {
    for (QLabel* label : box->findChildren<QLabel*>())
        if (label->text() == text) return label;
    return nullptr;
}

// A server or file name that begins like markup must not turn the box into markup: the text shows as it
// stands, and its second line stays a line of its own.
const QString kMarkupLike = QStringLiteral("<html><b>db.example</b> 서버\n다음 줄이 보여야 합니다");

void expectTwoPlainLines(QLabel* label) {
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->textFormat(), Qt::PlainText);
    // As markup, the line break would be a blank and the two lines one.
    EXPECT_GE(label->sizeHint().height(), 2 * QFontMetrics(label->font()).lineSpacing());
}

TEST(QtDialogsTest, MessageAndInputBoxesShowTheirTextsAsPlainText) {
    QtDialogs dialogs;
    whileShown(
        [&] {
            dialogs.messageBox(
                {kMarkupLike, QStringLiteral("t"), Dialogs::Icon::None, Dialogs::Buttons::Ok, 1});
        },
        [](QDialog* box) { expectTwoPlainLines(labelShowing(box, kMarkupLike)); });
    whileShown([&] { dialogs.inputBox(kMarkupLike, QStringLiteral("t"), QString()); },
               [](QDialog* box) { expectTwoPlainLines(labelShowing(box, kMarkupLike)); });
}

}  // namespace
