#include "ui/dbdateedit.h"

#include "ground/messages.h"
#include "ui/datefield.h"

namespace {

const QString DateFormat = QStringLiteral("dd/MM/yyyy");

} // namespace

DBDateEdit::DBDateEdit(QWidget *parent)
    : QLineEdit(parent), m_link(new FieldLink(this, [this] { showField(); }))
{
    ui::setDateMask(this);
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
    if (!isBlank()) {
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

bool DBDateEdit::isBlank() const
{
    return displayText().remove(QLatin1Char('/')).trimmed().isEmpty();
}

void DBDateEdit::showField()
{
    m_typed = false;
    const QVariant value = m_link->value();
    setText(value.isNull() ? QString() : value.toDate().toString(DateFormat));
    // A date filled in while the user is in the field (a default from the field before) is typed over.
    if (hasFocus())
        selectAll();
}
