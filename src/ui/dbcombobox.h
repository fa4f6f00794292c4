#pragma once
// DBComboBox: a fixed list of "code=description" items bound to a field. The list shows the items as
// written; choosing one stores its code (the text before "="; the whole item when it has none). A
// value that matches no code shows no item.

#include "ui/fieldlink.h"

#include <QComboBox>

class DBComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit DBComboBox(QWidget *parent = nullptr);

    void bind(engine::DataSource *source, const QString &field);
    void setItems(const QStringList &items);
    static QString codeOf(const QString &item);

private:
    void showField();

    FieldLink *m_link;
};
