#include "ui/datefield.h"

#include <QCalendarWidget>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QToolButton>

namespace ui {

void setDateMask(QLineEdit *edit)
{
    edit->setInputMask(QStringLiteral("00/00/0000; "));
    QObject::connect(edit, &QLineEdit::cursorPositionChanged, edit, [edit](int, int now) {
        if (now != 0 && edit->displayText().remove(QLatin1Char('/')).trimmed().isEmpty())
            edit->setCursorPosition(0);
    });
}

} // namespace ui

DateField::DateField(QWidget *parent)
    : QWidget(parent), m_edit(new QLineEdit(this)), m_button(new QToolButton(this))
{
    m_edit->setObjectName(QStringLiteral("DateText"));
    ui::setDateMask(m_edit);
    m_button->setObjectName(QStringLiteral("CalendarButton"));
    m_button->setText(QStringLiteral("..."));
    m_button->setToolTip(QStringLiteral("Scegli la data dal calendario"));
    setFocusProxy(m_edit);
    connect(m_button, &QToolButton::clicked, this, &DateField::openCalendar);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(m_edit, 1);
    layout->addWidget(m_button);
}

QString DateField::text() const
{
    return m_edit->displayText();
}

bool DateField::isBlank() const
{
    return text() == QLatin1String(BlankText);
}

void DateField::setDate(const QDate &date)
{
    m_edit->setText(date.toString(QStringLiteral("dd/MM/yyyy")));
}

void DateField::clear()
{
    m_edit->clear();
}

void DateField::openCalendar()
{
    if (!m_calendar) {
        m_calendar = new QCalendarWidget(this);
        m_calendar->setObjectName(QStringLiteral("Calendar"));
        m_calendar->setWindowFlags(Qt::Popup);
        const auto choose = [this](const QDate &date) {
            setDate(date);
            m_calendar->close();
            m_edit->setFocus();
        };
        connect(m_calendar, &QCalendarWidget::clicked, this, choose);
        connect(m_calendar, &QCalendarWidget::activated, this, choose);
    }
    const QDate typed = QDate::fromString(text(), QStringLiteral("dd/MM/yyyy"));
    m_calendar->setSelectedDate(typed.isValid() ? typed : QDate::currentDate());
    m_calendar->adjustSize();
    m_calendar->move(m_edit->mapToGlobal(QPoint(0, m_edit->height())));
    m_calendar->show();
    m_calendar->setFocus();
}
