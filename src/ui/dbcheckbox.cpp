#include "ui/dbcheckbox.h"

DBCheckBox::DBCheckBox(QWidget *parent)
    : DBCheckBox(QString(), parent)
{
}

DBCheckBox::DBCheckBox(const QString &text, QWidget *parent)
    : QCheckBox(text, parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    connect(this, &QCheckBox::clicked, this, [this](bool checked) {
        if (!m_link->write(checked))
            showField();
    });
}

void DBCheckBox::bind(engine::DataSource *source, const QString &field)
{
    m_link->bind(source, field);
}

void DBCheckBox::showField()
{
    setChecked(m_link->isActive() && m_link->value().toBool());
}
