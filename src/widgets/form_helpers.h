#pragma once

#include <QString>

#include <initializer_list>
#include <optional>

class QFrame;
class QKeyEvent;
class QPushButton;
class QWidget;

// Helpers that the windows share: twips at the widget boundary, minimum sizes and placing controls when a
// window is resized, moving the focus with the keyboard, selecting a field's text, giving the focus safely,
// modal windows over the main window and the floating notice.
//
// Window measures are twips (1/1440 inch): 15 twips per pixel at 96 dpi, scaled by the screen's logical
// dpi. The logic keeps twips; these functions convert where they touch a widget.

// Twips per pixel for the widget's screen (the primary screen without a widget).
double twipsPerPixel(const QWidget* widget = nullptr);
int twipsToPixels(int twips, const QWidget* widget = nullptr);
int pixelsToTwips(int pixels, const QWidget* widget = nullptr);
// The widget's position (relative to its parent, or the screen for a window) and size in twips.
int twipsLeft(const QWidget* widget);
int twipsTop(const QWidget* widget);
int twipsWidth(const QWidget* widget);
int twipsHeight(const QWidget* widget);
// Moves and sizes the widget, all in twips.
void setTwipsGeometry(QWidget* widget, int left, int top, int width, int height);

// Keeps a normal window at least minWidth by minHeight twips (negative: 4635 and 5000). A maximised
// window, or one without a usable client area, is left alone. True when the window has a usable client
// area (not minimised, inner width and height above 0): resize handlers lay out only then.
bool EnsureMinSize(QWidget* window, int minWidth = -1, int minHeight = -1);
// Raises the control and sets its left edge to rightEdge - 30 - slot * 1155 - extraOffset (twips).
void PlaceFromRight(QWidget* control, int rightEdge, int slot, int extraOffset = 0);
// Sets the control's width and each given inner control's width to width - 105 (twips).
void SetWidthWithInner(QWidget* control, int width, QWidget* inner1 = nullptr, QWidget* inner2 = nullptr);
// Sets the control's height to bottom - its top (twips). With an inner control alone, the inner height
// becomes that height - 105; with a lower control too, the inner height becomes that height - the lower
// control's height - 135 and the lower control's top the inner control's bottom + 30.
void SetHeightToBottom(QWidget* control, int bottom, QWidget* inner = nullptr, QWidget* lower = nullptr);

// A window's client size in twips.
struct TwipsSize {
    int width = 0;
    int height = 0;
};
// The start of a resize that the main and the label window share: keeps the window at its minimum size
// (EnsureMinSize with the defaults), stretches the top panel across the client width and lines the
// command buttons up from the right edge, the first button in slot 1 nearest the edge. The client size,
// or nothing when the window has no usable client area (the resize then lays out nothing more).
std::optional<TwipsSize> LayoutTopPanel(QWidget* window, QWidget* topPanel,
                                        std::initializer_list<QWidget*> rightButtons);

// Selects the whole text of the focused control of the active window; a masked field's selection covers
// its literal characters too. Anything without text is ignored.
void SelectActiveText();

// Key codes of the keys the windows react to (the platform's virtual key codes).
inline constexpr int kKeyTab = 9;
inline constexpr int kKeyReturn = 13;
inline constexpr int kKeyEscape = 27;
inline constexpr int kKeyUp = 38;
inline constexpr int kKeyDown = 40;
inline constexpr int kKeyF5 = 116;
// The platform key code of a Qt key event (letters upper case, digits, F1-F12, the keys above); 0 for
// keys without one.
int KeyCodeOf(const QKeyEvent& event);
// Enter (13) and Down (40) move the focus to the next control, Up (38) to the previous one; other keys do
// nothing. True when the focus was moved.
bool EnterToTab(int keyCode);

// Gives the control the focus: always when forced, otherwise only when it is visible and enabled.
void SetFocusIf(QWidget* control, bool force = false);

// Shows `window` modally over `owner` and returns when it is closed or hidden; the owner becomes the main
// window ("frmMain") when the owner is that window or a child of a multiple-document frame. For a dialog,
// its result; otherwise 0.
int ShowModalOwned(QWidget* window, QWidget* owner);

// The tooltip text that shows `text` exactly as it is. Qt takes a tooltip that looks like markup for rich
// text, and loads the images it names (a remark "<img src=/dev/zero>" would read without end), so a
// text from the database is escaped into rich text of its own: line breaks stay breaks, other control
// characters become blanks.
QString PlainToolTip(const QString& text);

// Sets the control's tooltip to its name, followed by "(" index ")" when it belongs to a control array
// (a widget with the dynamic property "index").
void MakeToolTip(QWidget* control);

// Shows the floating notice: `text` for `durationMs` milliseconds, without taking the focus. The style and
// the colour are accepted and not used (callers pass 1 and 0xFFFF00).
void ShowFloatMsg(const QString& text, int durationMs = 500, int style = 1, unsigned colour = 0xFFFF00);

// The raised panel ("pnlTop", element `index` of its control array) that holds a window's top controls.
QFrame* makePanel(QWidget* parent, int index);
// A command button named `name`; it takes the focus by Tab only, so a click leaves the focus in the grid.
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& caption);
