#include "widgets/float_notice.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>
#include <QTimer>

namespace float_notice {

namespace {
QPointer<QLabel> g_notice;
}

void show(const QString& text, int durationMs) {
    if (g_notice) g_notice->close();
    auto* label = new QLabel;
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    // A tool-tip kind of window: never activated by the window system, so the focus stays where it is.
    label->setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus);
    label->setAttribute(Qt::WA_ShowWithoutActivating);
    label->setAttribute(Qt::WA_DeleteOnClose);
    label->setFocusPolicy(Qt::NoFocus);
    label->setAlignment(Qt::AlignCenter);
    label->setMargin(14);
    label->setStyleSheet(
        QStringLiteral("QLabel { background: #ffffe1; color: black; border: 1px solid #808080; }"));
    label->adjustSize();

    QRect area;
    if (QWidget* active = QApplication::activeWindow())
        area = active->frameGeometry();
    else if (QScreen* screen = QApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid()) label->move(area.center() - QPoint(label->width() / 2, label->height() / 2));

    label->show();
    QTimer::singleShot(durationMs, label, &QWidget::close);
    g_notice = label;
}

QWidget* current() {
    return g_notice.data();
}

}  // namespace float_notice
