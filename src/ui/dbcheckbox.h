#pragma once
// DBCheckBox: a Boolean field; a click stores the new state at once. An empty field shows unchecked.

#include "ui/fieldlink.h"

#include <QCheckBox>

class DBCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit DBCheckBox(QWidget *parent = nullptr);
    explicit DBCheckBox(const QString &text, QWidget *parent = nullptr);

    void bind(engine::DataSource *source, const QString &field);

private:
    void showField();

    FieldLink *m_link;
};
