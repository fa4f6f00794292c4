#include "ui/fieldlink.h"

#include "ground/messages.h"

#include <QWidget>

using engine::Table;

FieldLink::FieldLink(QObject *control, Refresh refresh)
    : QObject(control), m_refresh(std::move(refresh))
{
}

void FieldLink::bind(engine::DataSource *source, const QString &field)
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    m_field = field;
    if (source)
        connect(source, &engine::DataSource::tableChanged, this, [this](Table *table) { attach(table); });
    attach(source ? source->table() : nullptr);
}

Table *FieldLink::table() const
{
    return m_table;
}

void FieldLink::attach(Table *table)
{
    for (const QMetaObject::Connection &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_table = table;
    if (table) {
        auto again = [this] { refresh(); };
        m_connections << connect(table, &Table::opened, this, again)
                      << connect(table, &Table::closed, this, again)
                      << connect(table, &Table::currentChanged, this, again)
                      << connect(table, &Table::stateChanged, this, again)
                      << connect(table, &Table::fieldChanged, this, [this](const QString &field) {
                             if (field.compare(m_field, Qt::CaseInsensitive) == 0)
                                 refresh();
                         });
    }
    refresh();
}

void FieldLink::refresh()
{
    if (!m_starting && m_refresh)
        m_refresh();
}

bool FieldLink::isActive() const
{
    return m_table && m_table->isOpen() && m_table->hasField(m_field);
}

engine::FieldDef FieldLink::definition() const
{
    if (m_table) {
        for (const engine::FieldDef &def : m_table->fields()) {
            if (def.name.compare(m_field, Qt::CaseInsensitive) == 0)
                return def;
        }
    }
    return {};
}

QVariant FieldLink::value() const
{
    return isActive() ? m_table->value(m_field) : QVariant();
}

QString FieldLink::text() const
{
    return isActive() ? m_table->asString(m_field) : QString();
}

bool FieldLink::startEdit()
{
    if (!isActive())
        return false;
    if (m_table->isEditing())
        return true;
    m_starting = true;
    try {
        m_table->edit();
    } catch (const std::exception &failure) {
        m_starting = false;
        Messages::error(failure);
        return false;
    }
    m_starting = false;
    return true;
}

bool FieldLink::write(const QVariant &value)
{
    if (!startEdit())
        return false;
    try {
        m_table->setValue(m_field, value);
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return false;
    }
    return true;
}

bool commitEdits(QWidget *root)
{
    bool all = true;
    for (QWidget *child : root->findChildren<QWidget *>()) {
        if (auto *pending = dynamic_cast<PendingEdit *>(child))
            all = pending->commit() && all;
    }
    return all;
}
