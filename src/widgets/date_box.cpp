#include "widgets/date_box.h"

#include "common/date_input.h"
#include "common/msgbox.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QFocusEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QTextCharFormat>
#include <QToolButton>

#include <algorithm>

namespace {

const QString kFormat = QStringLiteral("yyyy-MM-dd");

bool isWholeDateText(const QString& text) {
    if (text.size() != 10) return false;
    for (int i = 0; i < 10; ++i) {
        const bool dash = i == 4 || i == 7;
        if (dash ? text[i] != QLatin1Char('-') : !text[i].isDigit()) return false;
    }
    return true;
}

QString refusedHint(const QString& typed, const QDate& kept) {
    return QStringLiteral("입력한 날짜가 올바르지 않습니다: ") + typed + QStringLiteral("\r\n\r\n") +
           QStringLiteral("날짜는 20261211, 2026-12-11, 2026.12.11 처럼 입력하고,") + QStringLiteral("\r\n") +
           QStringLiteral("올해의 날짜는 12-11 또는 1211 처럼 입력해도 됩니다.") +
           QStringLiteral("\r\n\r\n") + QStringLiteral("날짜는 ") + kept.toString(kFormat) +
           QStringLiteral(" 그대로 둡니다.");
}

}  // namespace

DateBox::DateBox(QWidget* parent) : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("dateText"));
    m_edit->setMaxLength(20);
    m_edit->installEventFilter(this);
    layout->addWidget(m_edit, 1);
    m_button = new QToolButton(this);
    m_button->setObjectName(QStringLiteral("calendarButton"));
    m_button->setArrowType(Qt::DownArrow);
    m_button->setFocusPolicy(Qt::NoFocus);
    m_button->setToolTip(QStringLiteral("달력 (Alt+↓)"));
    layout->addWidget(m_button);
    setFocusProxy(m_edit);
    setFocusPolicy(Qt::StrongFocus);

    m_popup = new QFrame(this, Qt::Popup);
    m_popup->setFrameShape(QFrame::StyledPanel);
    auto* popupLayout = new QVBoxLayout(m_popup);
    popupLayout->setContentsMargins(1, 1, 1, 1);
    m_calendar = new QCalendarWidget(m_popup);
    m_calendar->setObjectName(QStringLiteral("calendar"));
    m_calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    m_calendar->setGridVisible(true);
    // Korean calendars print Saturdays in blue and Sundays in red.
    QTextCharFormat saturday = m_calendar->weekdayTextFormat(Qt::Saturday);
    saturday.setForeground(QColor(0, 0, 200));
    m_calendar->setWeekdayTextFormat(Qt::Saturday, saturday);
    popupLayout->addWidget(m_calendar);

    connect(m_button, &QToolButton::clicked, this, &DateBox::showCalendar);
    // A day clicked once or chosen with Enter in the calendar.
    const auto pick = [this](const QDate& picked) {
        m_popup->hide();
        setDateByUser(picked);
        m_edit->setFocus(Qt::PopupFocusReason);
        m_edit->selectAll();
    };
    connect(m_calendar, &QCalendarWidget::activated, this, pick);
    connect(m_calendar, &QCalendarWidget::clicked, this, pick);
    showMonthTitle();
}

void DateBox::showMonthTitle() {
    auto* bar = m_calendar->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar"));
    auto* month = m_calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
    auto* year = m_calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_yearbutton"));
    auto* layout = bar ? qobject_cast<QHBoxLayout*>(bar->layout()) : nullptr;
    if (!layout || !month || !year) return;  // another Qt: its own title stays
    m_monthTitle = new QLabel(bar);
    m_monthTitle->setObjectName(QStringLiteral("monthTitle"));
    m_monthTitle->setTextFormat(Qt::PlainText);
    m_monthTitle->setAlignment(Qt::AlignCenter);
    QFont bold = m_monthTitle->font();
    bold.setBold(true);
    m_monthTitle->setFont(bold);
    m_monthTitle->setPalette(month->palette());
    layout->insertWidget(layout->indexOf(month), m_monthTitle);
    month->hide();
    year->hide();
    const auto update = [this](int y, int m) {
        m_monthTitle->setText(QStringLiteral("%1년 %2월").arg(y).arg(m));
    };
    connect(m_calendar, &QCalendarWidget::currentPageChanged, this, update);
    update(m_calendar->yearShown(), m_calendar->monthShown());
}

void DateBox::setDateByUser(const QDate& date) {
    const bool changed = date != m_date;
    setDate(date);
    if (changed) emit dateEdited(m_date);
}

void DateBox::setDate(const QDate& date) {
    const bool changed = date != m_date;
    m_date = date;
    showDateText();
    if (changed) emit dateChanged(m_date);
}

QString DateBox::dateText() const {
    return m_date.isValid() ? m_date.toString(kFormat) : QString();
}

void DateBox::showDateText() {
    m_edit->setText(dateText());
}

bool DateBox::commit() {
    const QString typed = m_edit->text().trimmed();
    // Unchanged text: nothing to take (also for a box given no date, which then stays empty).
    if (typed == dateText()) return true;
    const QDate parsed = ParseDateInput(typed, QDate::currentDate());
    if (parsed.isValid()) {
        setDateByUser(parsed);
        return true;
    }
    showDateText();
    m_edit->selectAll();
    ShowInfoMsg(refusedHint(typed, m_date));
    return false;
}

void DateBox::showCalendar() {
    // A typed date counts before the calendar opens on it; one that is refused leaves it closed.
    if (!commit()) return;
    m_calendar->setSelectedDate(m_date.isValid() ? m_date : QDate::currentDate());
    m_popup->adjustSize();
    QPoint at = mapToGlobal(QPoint(0, height()));
    if (const QScreen* s = screen()) {
        const QRect room = s->availableGeometry();
        if (at.y() + m_popup->height() > room.bottom())
            at.setY(mapToGlobal(QPoint(0, 0)).y() - m_popup->height());
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - m_popup->width())));
    }
    m_popup->move(at);
    m_popup->show();
    m_calendar->setFocus(Qt::PopupFocusReason);
}

void DateBox::stepDays(int days) {
    if (!commit()) return;
    setDateByUser((m_date.isValid() ? m_date : QDate::currentDate()).addDays(days));
    m_edit->selectAll();
}

bool DateBox::overwriteDigit(QChar digit) {
    if (m_edit->hasSelectedText() || !isWholeDateText(m_edit->text())) return false;
    int pos = m_edit->cursorPosition();
    if (pos >= 10) return false;
    if (pos == 4 || pos == 7) ++pos;
    QString text = m_edit->text();
    text[pos] = digit;
    ++pos;
    if (pos == 4 || pos == 7) ++pos;
    m_edit->setText(text);
    m_edit->setCursorPosition(pos);
    return true;
}

bool DateBox::handleKey(QKeyEvent* key) {
    const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
    switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (commit()) m_edit->selectAll();
            return true;
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            // A refused date keeps the focus here; an accepted one lets the focus move on.
            return !commit();
        case Qt::Key_Escape:
            if (m_edit->text() == dateText()) return false;
            showDateText();
            m_edit->selectAll();
            return true;
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            if (mods != Qt::NoModifier) return false;
            stepDays(key->key() == Qt::Key_PageUp ? 1 : -1);
            return true;
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (mods != Qt::ControlModifier) return false;
            stepDays(key->key() == Qt::Key_Right ? 1 : -1);
            return true;
        case Qt::Key_Down:
            if (mods != Qt::AltModifier) return false;
            showCalendar();
            return true;
        case Qt::Key_F4:
            if (mods != Qt::NoModifier) return false;
            showCalendar();
            return true;
        default:
            break;
    }
    const QString text = key->text();
    if (mods == Qt::NoModifier && text.size() == 1 && text[0].isDigit() && text[0].unicode() < 128)
        return overwriteDigit(text[0]);
    return false;
}

bool DateBox::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit) {
        switch (event->type()) {
            case QEvent::KeyPress:
                if (handleKey(static_cast<QKeyEvent*>(event))) return true;
                break;
            case QEvent::FocusIn: {
                // Reached by the keyboard, the whole date is selected, ready to be typed over.
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                    reason == Qt::ShortcutFocusReason)
                    QMetaObject::invokeMethod(m_edit, &QLineEdit::selectAll, Qt::QueuedConnection);
                break;
            }
            case QEvent::FocusOut: {
                // Leaving the box for another control takes the typed date; a box, the calendar or another
                // window taking the focus for a moment does not.
                const auto reason = static_cast<QFocusEvent*>(event)->reason();
                // Without the focus the date shows no selection: keys do not reach it now.
                if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
                    m_edit->deselect();
                if (reason == Qt::MouseFocusReason || reason == Qt::TabFocusReason ||
                    reason == Qt::BacktabFocusReason || reason == Qt::OtherFocusReason)
                    commit();
                break;
            }
            default:
                break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
