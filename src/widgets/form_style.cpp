#include "widgets/form_style.h"

#include "widgets/form_helpers.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QApplication>
#include <QFrame>
#include <QLabel>

void SetFormStyle(QWidget* window, bool setIcon) {
    if (setIcon) window->setWindowIcon(QApplication::windowIcon());
    if (!UseFormStyle) return;
    const QColor teal(0, 128, 128), khaki(187, 176, 146);
    for (QWidget* control : window->findChildren<QWidget*>()) {
        auto* frame = qobject_cast<QFrame*>(control);
        if (frame && !qobject_cast<QAbstractScrollArea*>(control)) {
            const QColor background = frame->palette().color(QPalette::Window);
            QString caption = control->property("caption").toString();
            if (auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
            QPalette palette = frame->palette();
            if (background == teal) {
                palette.setColor(QPalette::Window, QColor(204, 226, 244));
                palette.setColor(QPalette::WindowText, caption.startsWith(QLatin1Char('*'))
                                                           ? QColor(3, 55, 150)
                                                           : QColor(Qt::black));
            } else if (background == khaki) {
                palette.setColor(QPalette::Window, QColor(141, 132, 205));
                palette.setColor(QPalette::WindowText, QColor(254, 255, 255));
            }
            if (background == teal || background == khaki) {
                frame->setPalette(palette);
                frame->setAutoFillBackground(true);
            }
        } else if (qobject_cast<QAbstractButton*>(control)) {
            control->setCursor(Qt::ArrowCursor);
        }
        if (DevMode) MakeToolTip(control);
    }
}
