#include "ui/dbcombobox.h"

DBComboBox::DBComboBox(QWidget *parent)
    : QComboBox(parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_link->write(itemData(index)))
            showField();
    });
}

void DBComboBox::bind(engine::DataSource *source, const QString &field)
{
    m_link->bind(source, field);
}

void DBComboBox::setItems(const QStringList &items)
{
    clear();
    for (const QString &item : items)
        addItem(item, codeOf(item));
    showField();
}

QString DBComboBox::codeOf(const QString &item)
{
    const qsizetype equals = item.indexOf(QLatin1Char('='));
    return equals < 0 ? item : item.left(equals);
}

void DBComboBox::showField()
{
    setCurrentIndex(m_link->isActive() ? findData(m_link->text()) : -1);
}
