#include "ui/dblookupcombobox.h"

using engine::Table;

DBLookupComboBox::DBLookupComboBox(QWidget *parent)
    : QComboBox(parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    connect(this, &QComboBox::activated, this, [this](int index) {
        if (!m_link->write(itemData(index)))
            showField();
    });
}

void DBLookupComboBox::bind(engine::DataSource *source, const QString &field)
{
    m_link->bind(source, field);
}

void DBLookupComboBox::setListSource(Table *list, const QString &keyField, const QString &listField)
{
    if (m_list)
        disconnect(m_list, nullptr, this, nullptr);
    m_list = list;
    m_keyField = keyField;
    m_listField = listField;
    if (list) {
        for (auto rowsChangedSignal : {&Table::rowInserted, &Table::rowRemoved, &Table::rowUpdated})
            connect(list, rowsChangedSignal, this, &DBLookupComboBox::fillList);
        connect(list, &Table::rowsChanged, this, &DBLookupComboBox::fillList);
        connect(list, &Table::fieldChanged, this, [this](const QString &field) {
            if (field.compare(m_listField, Qt::CaseInsensitive) == 0)
                fillList();
        });
    }
    fillList();
}

void DBLookupComboBox::fillList()
{
    clear();
    if (m_list && m_list->isOpen()) {
        for (int row = 0, rows = m_list->recordCount(); row < rows; ++row)
            addItem(m_list->valueAt(row, m_listField).toString(), m_list->valueAt(row, m_keyField));
    }
    showField();
}

void DBLookupComboBox::showField()
{
    const QVariant key = m_link->value();
    setCurrentIndex(key.isNull() ? -1 : findData(key));
}
