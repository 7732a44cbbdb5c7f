#include "widgets/form_helpers.h"

#include "widgets/float_notice.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QEventLoop>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTextEdit>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMinWidth = 4635;
constexpr int kMinHeight = 5000;

// Ends a local event loop when the watched window closes or hides.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(QEventLoop* loop) : m_loop(loop) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close || event->type() == QEvent::Hide) m_loop->quit();
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop* m_loop;
};

QWidget* mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmMain")) return w;
    return nullptr;
}

bool isMdiChild(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget())
        if (qobject_cast<const QMdiSubWindow*>(p)) return true;
    return false;
}

}  // namespace

double twipsPerPixel(const QWidget* widget) {
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    const double dpi = screen ? screen->logicalDotsPerInchX() : 96.0;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int twipsToPixels(int twips, const QWidget* widget) {
    return int(std::lround(twips / twipsPerPixel(widget)));
}
int pixelsToTwips(int pixels, const QWidget* widget) {
    return int(std::lround(pixels * twipsPerPixel(widget)));
}

int twipsLeft(const QWidget* widget) {
    return pixelsToTwips(widget->x(), widget);
}
int twipsTop(const QWidget* widget) {
    return pixelsToTwips(widget->y(), widget);
}
int twipsWidth(const QWidget* widget) {
    return pixelsToTwips(widget->width(), widget);
}
int twipsHeight(const QWidget* widget) {
    return pixelsToTwips(widget->height(), widget);
}

void setTwipsGeometry(QWidget* widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsToPixels(left, widget), twipsToPixels(top, widget), twipsToPixels(width, widget),
                        twipsToPixels(height, widget));
}

bool EnsureMinSize(QWidget* window, int minWidth, int minHeight) {
    if (minWidth < 0) minWidth = kMinWidth;
    if (minHeight < 0) minHeight = kMinHeight;
    const bool usable = !window->isMinimized() && window->width() > 0 && window->height() > 0;
    if (window->isMaximized() || !usable) return usable;
    const int width = twipsWidth(window);
    const int height = twipsHeight(window);
    const int targetWidth = std::max(width, minWidth);
    const int targetHeight = std::max(height, minHeight);
    // Rounded up: a minimum that falls between two pixels must still be reached.
    const double perPixel = twipsPerPixel(window);
    if (targetWidth != width || targetHeight != height)
        window->resize(int(std::ceil(targetWidth / perPixel - 1e-9)),
                       int(std::ceil(targetHeight / perPixel - 1e-9)));
    return usable;
}

void PlaceFromRight(QWidget* control, int rightEdge, int slot, int extraOffset) {
    control->raise();
    control->move(twipsToPixels(rightEdge - 30 - slot * 1155 - extraOffset, control), control->y());
}

void SetWidthWithInner(QWidget* control, int width, QWidget* inner1, QWidget* inner2) {
    control->resize(twipsToPixels(width, control), control->height());
    for (QWidget* inner : {inner1, inner2})
        if (inner) inner->resize(twipsToPixels(width - 105, inner), inner->height());
}

void SetHeightToBottom(QWidget* control, int bottom, QWidget* inner, QWidget* lower) {
    const int height = bottom - twipsTop(control);
    control->resize(control->width(), twipsToPixels(height, control));
    if (!inner) return;
    if (!lower) {
        inner->resize(inner->width(), twipsToPixels(height - 105, inner));
        return;
    }
    const int innerHeight = height - twipsHeight(lower) - 135;
    inner->resize(inner->width(), twipsToPixels(innerHeight, inner));
    lower->move(lower->x(), twipsToPixels(twipsTop(inner) + innerHeight + 30, lower));
}

std::optional<TwipsSize> LayoutTopPanel(QWidget* window, QWidget* topPanel,
                                        std::initializer_list<QWidget*> rightButtons) {
    if (!EnsureMinSize(window, -1, -1)) return std::nullopt;
    const TwipsSize client{twipsWidth(window), twipsHeight(window)};
    SetWidthWithInner(topPanel, client.width);
    int slot = 1;
    for (QWidget* button : rightButtons) PlaceFromRight(button, client.width, slot++, 0);
    return client;
}

void SelectActiveText() {
    QWidget* window = QApplication::activeWindow();
    QWidget* focused = window ? window->focusWidget() : QApplication::focusWidget();
    if (!focused) return;
    if (auto* edit = qobject_cast<QLineEdit*>(focused)) {
        const int length = int(edit->text().size());
        // A masked field also selects the mask's literal characters.
        const int covered = edit->inputMask().isEmpty()
                                ? length
                                : (length == 0 ? 0 : std::min(length + 2, int(edit->displayText().size())));
        edit->setSelection(0, covered);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(focused)) {
        spin->selectAll();
    } else if (auto* combo = qobject_cast<QComboBox*>(focused)) {
        if (combo->lineEdit()) combo->lineEdit()->selectAll();
    } else if (auto* text = qobject_cast<QTextEdit*>(focused)) {
        text->selectAll();
    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(focused)) {
        plain->selectAll();
    }
}

int KeyCodeOf(const QKeyEvent& event) {
    const int key = event.key();
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9)) return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F12) return 112 + (key - Qt::Key_F1);
    switch (key) {
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return kKeyTab;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return kKeyReturn;
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Space:
            return 32;
        case Qt::Key_PageUp:
            return 33;
        case Qt::Key_PageDown:
            return 34;
        case Qt::Key_End:
            return 35;
        case Qt::Key_Home:
            return 36;
        case Qt::Key_Left:
            return 37;
        case Qt::Key_Up:
            return kKeyUp;
        case Qt::Key_Right:
            return 39;
        case Qt::Key_Down:
            return kKeyDown;
        case Qt::Key_Insert:
            return 45;
        case Qt::Key_Delete:
            return 46;
        default:
            return 0;
    }
}

bool EnterToTab(int keyCode) {
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (keyCode == kKeyReturn || keyCode == kKeyDown) {
        key = Qt::Key_Tab;
    } else if (keyCode == kKeyUp) {
        key = Qt::Key_Backtab;
        modifiers = Qt::ShiftModifier;
    } else {
        return false;
    }
    QWidget* focused = QApplication::focusWidget();
    if (!focused) return false;
    // The keystroke goes to the focused control as if typed, so the focus chain moves as with the Tab key.
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(focused, &press);
    return true;
}

void SetFocusIf(QWidget* control, bool force) {
    if (!control) return;
    if (force || (control->isVisible() && control->isEnabled())) control->setFocus(Qt::OtherFocusReason);
}

int ShowModalOwned(QWidget* window, QWidget* owner) {
    if (owner && (owner->objectName() == QLatin1String("frmMain") || isMdiChild(owner)))
        if (QWidget* main = mainWindow()) owner = main;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        if (owner && dialog->parentWidget() != owner)
            dialog->setParent(owner, dialog->windowFlags() | Qt::Dialog);
        return dialog->exec();
    }
    QPointer<QWidget> guard(window);
    if (owner && window->parentWidget() != owner)
        window->setParent(owner, window->windowFlags() | Qt::Window);
    window->setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
    QEventLoop loop;
    CloseWatcher watcher(&loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);
    if (guard) guard->removeEventFilter(&watcher);
    return 0;
}

QString PlainToolTip(const QString& text) {
    if (text.isEmpty()) return text;
    // Rich text of our own making: every character escaped, blanks kept as the cell shows them, and a
    // new line only where the text has a line break.
    QString rich = QStringLiteral("<p style=\"white-space:pre\">");
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t ch = text.at(i).unicode();
        if (ch == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') continue;
        if (ch == u'\n')
            rich += QStringLiteral("<br>");
        else if (ch < 0x20 || ch == 0x7F)
            rich += QLatin1Char(' ');
        else if (ch == u'<')
            rich += QStringLiteral("&lt;");
        else if (ch == u'>')
            rich += QStringLiteral("&gt;");
        else if (ch == u'&')
            rich += QStringLiteral("&amp;");
        else if (ch == u'"')
            rich += QStringLiteral("&quot;");
        else
            rich += QChar(ch);
    }
    return rich + QStringLiteral("</p>");
}

void MakeToolTip(QWidget* control) {
    QString name = control->objectName();
    const QVariant index = control->property("index");
    if (index.isValid()) name += QLatin1Char('(') + index.toString() + QLatin1Char(')');
    control->setToolTip(name);
}

void ShowFloatMsg(const QString& text, int durationMs, int /*style*/, unsigned /*colour*/) {
    float_notice::show(text, durationMs);
}

QFrame* makePanel(QWidget* parent, int index) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QStringLiteral("pnlTop"));
    panel->setProperty("index", index);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Raised);
    return panel;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}
