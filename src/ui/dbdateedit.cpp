#include "ui/dbdateedit.h"

#include "ground/messages.h"

namespace {

const QString DateFormat = QStringLiteral("dd/MM/yyyy");

} // namespace

DBDateEdit::DBDateEdit(QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    setInputMask(QStringLiteral("00/00/0000; "));
    connect(this, &QLineEdit::textEdited, this, [this] { m_typed = m_link->startEdit(); });
    connect(this, &QLineEdit::editingFinished, this, &DBDateEdit::commit);
}

void DBDateEdit::bind(engine::DataSource *source, const QString &field)
{
    m_link->bind(source, field);
}

bool DBDateEdit::commit()
{
    if (!m_typed)
        return true;
    const QString typed = displayText();
    QVariant date;
    if (!QString(typed).remove(QLatin1Char('/')).trimmed().isEmpty()) {
        const QDate parsed = QDate::fromString(typed, DateFormat);
        if (!parsed.isValid()) {
            Messages::plain(QStringLiteral("Data non valida: ") + typed.trimmed()
                            + QStringLiteral(". Scrivere la data come gg/mm/aaaa oppure lasciarla vuota."));
            return false;
        }
        date = parsed;
    }
    m_typed = false;
    return m_link->write(date);
}

void DBDateEdit::showField()
{
    m_typed = false;
    const QVariant value = m_link->value();
    setText(value.isNull() ? QString() : value.toDate().toString(DateFormat));
}
