#pragma once

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QFrame;
class QLineEdit;
class QToolButton;

// A date box that takes dates as people type them, with a calendar to pick from. It shows its date as
// "yyyy-mm-dd". The user may type over it freely: "20261211", "2026-12-11", "2026.12.11", "12-11" or
// "1211" (this year) become that date when Enter, Tab or the query key (F5, through commit()) is pressed
// or the focus leaves the box. A text that is no date is refused with a hint box, and the box shows its
// old date again. Typing digits over a whole date replaces them one by one, as in a date mask, so
// clicking into the year and typing 2027 changes the year. PageUp and Ctrl+Right step one day on, PageDown
// and Ctrl+Left one day back; Alt+Down or F4 opens the calendar, whose weeks start as the locale says
// (Sunday in Korean); Escape brings the date back.
class DateBox : public QWidget {
    Q_OBJECT

public:
    explicit DateBox(QWidget* parent = nullptr);

    QDate date() const { return m_date; }
    void setDate(const QDate& date);
    // Takes the typed text as the date. False when it is no date: the hint box was shown, the old date is
    // shown again and its text is selected for a new try.
    bool commit();

    QLineEdit* lineEdit() const { return m_edit; }
    QToolButton* calendarButton() const { return m_button; }
    // The calendar of the pop-up (it exists from the start, so its look can be checked before it shows).
    QCalendarWidget* calendar() const { return m_calendar; }
    void showCalendar();

signals:
    void dateChanged(const QDate& date);
    // The user changed the date: a typed date taken, a day stepped, a day picked in the calendar (not a
    // date set by the program).
    void dateEdited(const QDate& date);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool handleKey(class QKeyEvent* key);
    void stepDays(int days);
    // setDate for a date the user chose: dateEdited follows when it differs.
    void setDateByUser(const QDate& date);
    // The calendar's title as Korean calendars write it, "2026년 12월", in place of Qt's month and year
    // buttons.
    void showMonthTitle();
    // Digits typed over a whole "yyyy-mm-dd" text replace the digit at the cursor, skipping the dashes.
    bool overwriteDigit(QChar digit);
    // The date as the box shows it, "yyyy-mm-dd"; empty when it holds none.
    QString dateText() const;
    void showDateText();

    QLineEdit* m_edit = nullptr;
    QToolButton* m_button = nullptr;
    QFrame* m_popup = nullptr;
    QCalendarWidget* m_calendar = nullptr;
    class QLabel* m_monthTitle = nullptr;
    QDate m_date;
};
