#pragma once
// DateField: a date typed as dd/mm/yyyy over the mask "  /  /    ", held by the window rather than a
// table, with a button beside it that opens a calendar; a day chosen there fills the field. The text
// is what the field shows, so a date typed only in part stays as typed.

#include <QDate>
#include <QWidget>

class QCalendarWidget;
class QLineEdit;
class QToolButton;

namespace ui {

// Gives the edit the date mask "  /  /    ". While nothing is typed the cursor stays on the day's
// first place, wherever a click or the focus puts it, so typing always starts from the day.
void setDateMask(QLineEdit *edit);

} // namespace ui

class DateField : public QWidget {
    Q_OBJECT

public:
    explicit DateField(QWidget *parent = nullptr);

    QString text() const; // "  /  /    " when nothing is typed
    bool isBlank() const;
    void setDate(const QDate &date);
    void clear();

    QLineEdit *edit() const { return m_edit; }
    QToolButton *calendarButton() const { return m_button; }

    static constexpr const char *BlankText = "  /  /    ";

private:
    void openCalendar();

    QLineEdit *m_edit;
    QToolButton *m_button;
    QCalendarWidget *m_calendar = nullptr;
};
