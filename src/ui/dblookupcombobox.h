#pragma once
// DBLookupComboBox: a field holding another table's key, chosen by that table's description. The list
// holds the list table's visible rows in its current order and is rebuilt when they change; choosing
// an item stores its key.

#include "ui/fieldlink.h"

#include <QComboBox>
#include <QPointer>

class DBLookupComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit DBLookupComboBox(QWidget *parent = nullptr);

    void bind(engine::DataSource *source, const QString &field);
    void setListSource(engine::Table *list, const QString &keyField, const QString &listField);

private:
    void fillList();
    void showField();

    FieldLink *m_link;
    QPointer<engine::Table> m_list;
    QString m_keyField;
    QString m_listField;
};
