#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWidget>

// Keys as a user types them: press and release through the application, so that event filters and the
// propagation to the window work as they do with a keyboard.
inline void sendKey(QWidget* widget, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                    const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

// Shows the window and waits (two seconds at most) until it is the active one, so that focus changes
// arrive.
inline void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    QElapsedTimer clock;
    clock.start();
    while (!window->isActiveWindow() && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}
