#include "widgets/desktop_look.h"

#include <QApplication>

// The resource of the icon files lives in this static library; it must be registered by name, outside
// any namespace, before its first use.
static void registerIconResource() {
    Q_INIT_RESOURCE(peloraorder);
}

QFont screenFont() {
    return QFont(QStringLiteral("굴림"), 9);
}

QIcon applicationIcon() {
    registerIconResource();
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/peloraorder/icon-%1.png").arg(size), QSize(size, size));
    return icon;
}

void applyDesktopLook() {
    // Without a class name this also replaces the fonts a desktop theme gives to menus and boxes.
    QApplication::setFont(screenFont());
    QApplication::setWindowIcon(applicationIcon());
}
