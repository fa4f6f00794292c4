#include "query.h"

#include "engineerror.h"

#include <QRegularExpression>

namespace engine {

Query::Query(QObject *parent) : Table(parent) {}

void Query::setSql(const QString &sql)
{
    if (isOpen())
        throw EngineError(QStringLiteral("La query deve essere chiusa per cambiarne il testo"));
    static const QRegularExpression statement(
        QStringLiteral("^\\s*select\\s+\\*\\s+from\\s+(\"[^\"]+\"|[\\w.]+)(?:\\s+where\\b(.*))?$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
    QString text = sql.trimmed();
    if (text.endsWith(QLatin1Char(';')))
        text.chop(1);
    const auto m = statement.match(text);
    if (!m.hasMatch())
        throw EngineError(QStringLiteral("Query non valida: è ammesso solo \"SELECT * from <tabella> where <condizione>\""));
    QString table = m.captured(1);
    if (table.startsWith(QLatin1Char('"')))
        table = table.mid(1, table.size() - 2);
    if (table.endsWith(QLatin1String(".db"), Qt::CaseInsensitive))
        table.chop(3);
    // Only a table of the query's own directory: a name, never a path.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!plainName.match(table).hasMatch())
        throw EngineError(QStringLiteral("Query non valida: \"%1\" non è il nome di una tabella").arg(table));
    const QString condition = m.captured(2).trimmed();
    if (m.capturedStart(2) >= 0 && condition.isEmpty())
        throw EngineError(QStringLiteral("Query non valida: condizione mancante dopo WHERE"));
    setFilterText(condition); // a bad condition throws here, before the query changes
    setTableName(table);
    setFiltered(!condition.isEmpty());
    m_sql = sql;
}

QString Query::sql() const { return m_sql; }

} // namespace engine
