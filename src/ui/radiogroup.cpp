#include "ui/radiogroup.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QVBoxLayout>

RadioGroup::RadioGroup(const QString &title, QWidget *parent)
    : QGroupBox(title, parent), m_buttons(new QButtonGroup(this))
{
    new QVBoxLayout(this);
    connect(m_buttons, &QButtonGroup::idClicked, this, &RadioGroup::itemChosen);
}

void RadioGroup::setItems(const QStringList &items)
{
    for (QAbstractButton *old : m_buttons->buttons()) {
        m_buttons->removeButton(old);
        delete old;
    }
    for (int index = 0; index < items.size(); ++index) {
        auto *button = new QRadioButton(items[index], this);
        m_buttons->addButton(button, index);
        layout()->addWidget(button);
    }
}

QStringList RadioGroup::items() const
{
    QStringList texts;
    for (const QAbstractButton *button : m_buttons->buttons())
        texts << button->text();
    return texts;
}

int RadioGroup::itemIndex() const
{
    return m_buttons->checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (QAbstractButton *chosen = m_buttons->button(index)) {
        chosen->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; none is chosen only with exclusivity off.
    if (QAbstractButton *checked = m_buttons->checkedButton()) {
        m_buttons->setExclusive(false);
        checked->setChecked(false);
        m_buttons->setExclusive(true);
    }
}

QRadioButton *RadioGroup::button(int index) const
{
    return qobject_cast<QRadioButton *>(m_buttons->button(index));
}

DBRadioGroup::DBRadioGroup(const QString &title, QWidget *parent)
    : RadioGroup(title, parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    connect(this, &RadioGroup::itemChosen, this, [this](int index) {
        if (!m_link->write(valueOf(index)))
            showField();
    });
}

void DBRadioGroup::bind(engine::DataSource *source, const QString &field)
{
    m_link->bind(source, field);
}

void DBRadioGroup::setValues(const QStringList &values)
{
    m_values = values;
    showField();
}

QString DBRadioGroup::valueOf(int index) const
{
    return index < m_values.size() ? m_values[index] : QString::number(index);
}

void DBRadioGroup::showField()
{
    int chosen = -1;
    if (m_link->isActive()) {
        const QString stored = m_link->text();
        for (int index = 0, count = int(items().size()); index < count; ++index) {
            if (valueOf(index) == stored)
                chosen = index;
        }
    }
    setItemIndex(chosen);
}
