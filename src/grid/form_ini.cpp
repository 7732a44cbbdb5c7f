#include "grid/form_ini.h"

#include "common/text_helpers.h"
#include "common/trap.h"
#include "grid/spread_helpers.h"
#include "platform/app_error.h"
#include "platform/app_paths.h"
#include "platform/ini_file.h"
#include "widgets/form_helpers.h"
#include "widgets/spread_grid.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <optional>

namespace {

constexpr const char* kModule = "modFormIni";
const QString kPosition = QStringLiteral("FormPosition");
// Values are read through a buffer of ten characters, so at most nine of them arrive.
constexpr int kReadBuffer = 10;

QString formIniFolder() {
    return app_paths::dataFolder() + QStringLiteral("/FormIni");
}

// A stored value when it is numeric; missing, empty or non-numeric values are ignored.
std::optional<double> readNumber(const QString& path, const QString& section, const QString& key) {
    const QString text = ini_file::read(path, section, key, QString(), kReadBuffer).trimmed();
    if (text.isEmpty() || !IsNumericText(text)) return std::nullopt;
    return LeadingNumber(text);
}

bool ensureFolder() {
    return QDir().mkpath(formIniFolder());
}

bool write(const QString& path, const QString& section, const QString& key, const QString& value) {
    return ensureFolder() && ini_file::write(path, section, key, value);
}

// The bounds of the grid context menu's font size and row height entries; a stored value beyond them (a
// file edited by hand or damaged) is brought within them, so that the grid stays readable.
constexpr double kFontSizeMin = 8, kFontSizeMax = 60;
constexpr double kRowHeightMin = 8, kRowHeightMax = 300;

// The screen area a window may take: the available area of the screen under its top-left corner, or of
// the primary screen when that corner lies on none.
QRect availableArea(const QWidget* window) {
    QScreen* screen = QGuiApplication::screenAt(window->pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

// A stored position or size that would put the window off every screen, or make it larger than the
// screen, is brought back: the size fits the screen's available area and a window whose corner lies on no
// screen moves into that area, so the program never looks as if it had not started.
void keepOnScreen(QWidget* window) {
    const QRect area = availableArea(window);
    if (!area.isValid()) return;
    window->resize(window->size().boundedTo(area.size()));
    if (QGuiApplication::screenAt(window->pos())) return;
    const int x = qMax(area.left(), qMin(window->x(), area.right() + 1 - window->width()));
    const int y = qMax(area.top(), qMin(window->y(), area.bottom() + 1 - window->height()));
    window->move(x, y);
}

AppError fileAccessError(const QString& procedure, const QString& path) {
    return AppError(75, procedure, QStringLiteral("Path/File access error: ") + path);
}

}  // namespace

QString FormIniPath(const QString& windowNameAndSuffix) {
    return formIniFolder() + QLatin1Char('/') + windowNameAndSuffix + QStringLiteral(".ini");
}

void LoadFormIni(QWidget* window, bool keepSize, const QString& suffix) {
    const QString path = FormIniPath(window->objectName() + suffix);
    if (!QFileInfo::exists(path)) return;
    try {
        // Values the window cannot take (a left edge of 0 or less, a size of 0 or less) are skipped.
        if (const auto left = readNumber(path, kPosition, QStringLiteral("Left")); left && *left > 0)
            window->move(twipsToPixels(int(*left), window), window->y());
        if (const auto top = readNumber(path, kPosition, QStringLiteral("Top")); top && *top > 0)
            window->move(window->x(), twipsToPixels(int(*top), window));
        if (!keepSize) {
            if (const auto width = readNumber(path, kPosition, QStringLiteral("Width")); width && *width > 0)
                window->resize(twipsToPixels(int(*width), window), window->height());
            if (const auto height = readNumber(path, kPosition, QStringLiteral("Height"));
                height && *height > 0)
                window->resize(window->width(), twipsToPixels(int(*height), window));
            const auto state = readNumber(path, kPosition, QStringLiteral("WindowState"));
            if (state && *state == 2 && !window->isMaximized())
                window->setWindowState(window->windowState() | Qt::WindowMaximized);
        }
        keepOnScreen(window);
        for (SpreadGrid* sp : window->findChildren<SpreadGrid*>()) LoadSpreadIni(sp, path);
    } catch (const AppError& e) {
        ShowPlainMsg(QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(" (") +
                     e.description() + QStringLiteral(") in procedure LoadFormIni of Module ") +
                     QLatin1String(kModule) + QStringLiteral("\r\n") + path);
    }
}

void LoadSpreadIni(SpreadGrid* sp, const QString& path) {
    const QString widths = sp->objectName() + QStringLiteral("_ColsWidth");
    for (int c = 1; c <= sp->maxCols(); ++c)
        if (const auto w = readNumber(path, widths, QString::number(c)); w && *w >= 0) sp->setColWidth(c, *w);
    const QString general = sp->objectName() + QStringLiteral("_General");
    if (const auto size = readNumber(path, general, QStringLiteral("FontSize")); size && *size > 0) {
        const double points = qBound(kFontSizeMin, *size, kFontSizeMax);
        sp->setFontSize(-1, -1, points);
        sp->setFontSize(-1, 0, points);
    }
    if (const auto height = readNumber(path, general, QStringLiteral("RowHeight")); height && *height > 0) {
        const double rowHeight = qBound(kRowHeightMin, *height, kRowHeightMax);
        sp->setRowHeight(-1, rowHeight);
        sp->setRowHeight(0, rowHeight + 2);
    }
}

bool SaveFormIni(QWidget* window, const QString& suffix) {
    if (!window->isVisible() || window->isMinimized()) return true;
    const QString path = FormIniPath(window->objectName() + suffix);
    const bool maximized = window->isMaximized();
    bool ok = write(path, kPosition, QStringLiteral("WindowState"),
                    maximized ? QStringLiteral("2") : QStringLiteral("0"));
    if (!maximized) {
        ok = ok && write(path, kPosition, QStringLiteral("Left"), QString::number(twipsLeft(window)));
        ok = ok && write(path, kPosition, QStringLiteral("Top"), QString::number(twipsTop(window)));
        ok = ok && write(path, kPosition, QStringLiteral("Width"), QString::number(twipsWidth(window)));
        ok = ok && write(path, kPosition, QStringLiteral("Height"), QString::number(twipsHeight(window)));
    }
    return ok;
}

bool SaveSpreadColWidth(QWidget* window, SpreadGrid* sp, int col, const QString& suffix) {
    if (!sp->isVisible()) return true;
    const QString path = FormIniPath(window->objectName() + suffix);
    return write(path, sp->objectName() + QStringLiteral("_ColsWidth"), QString::number(col),
                 QString::number(sp->colWidth(col)));
}

void SaveSpreadIni_Gn(QWidget* window, SpreadGrid* sp, const QString& key, const QString& value,
                      const QString& suffix) {
    TrapStep("SaveSpreadIni_Gn", kModule, [&] {
        const QString path = FormIniPath(window->objectName() + suffix);
        if (!write(path, sp->objectName() + QStringLiteral("_General"), key, value))
            throw fileAccessError(QStringLiteral("SaveSpreadIni_Gn"), path);
    });
}

void DelFormIni(const QString& windowNameAndSuffix) {
    TrapStep("DelFormIni", kModule, [&] {
        const QString path = FormIniPath(windowNameAndSuffix);
        if (QFileInfo::exists(path) && !QFile::remove(path))
            throw fileAccessError(QStringLiteral("DelFormIni"), path);
    });
}

void FormGeometry::load(QWidget* window) {
    LoadFormIni(window, false, QString());
    m_left = twipsLeft(window);
    m_top = twipsTop(window);
    m_width = twipsWidth(window);
    m_height = twipsHeight(window);
}

bool FormGeometry::changed(const QWidget* window) const {
    return twipsLeft(window) != m_left || twipsTop(window) != m_top || twipsWidth(window) != m_width ||
           twipsHeight(window) != m_height;
}

void FormGeometry::saveIfChanged(QWidget* window) const {
    if (changed(window)) SaveFormIni(window, QString());
}
