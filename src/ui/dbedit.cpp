#include "ui/dbedit.h"

#include "ui/keyhelpers.h"

#include <QFocusEvent>

DBEdit::DBEdit(QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    connect(this, &QLineEdit::textEdited, this, [this] { m_typed = m_link->startEdit(); });
    connect(this, &QLineEdit::returnPressed, this, &DBEdit::commit);
}

void DBEdit::bind(engine::DataSource *source, const QString &field)
{
    m_link->bind(source, field);
}

void DBEdit::setUpperCase(bool upperCase)
{
    if (upperCase)
        ui::setUpperCase(this);
    else
        setValidator(nullptr);
}

bool DBEdit::commit()
{
    if (!m_typed)
        return true;
    m_typed = false;
    return m_link->write(text());
}

void DBEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    // Another window or a menu coming up is not the user leaving the edit.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        commit();
}

void DBEdit::showField()
{
    m_typed = false;
    const engine::FieldDef def = m_link->definition();
    setMaxLength(def.type == engine::FieldType::Text && def.size > 0 ? def.size : 32767);
    const QString shown = m_link->text();
    if (shown != text())
        setText(shown);
}
