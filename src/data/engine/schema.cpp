#include "schema.h"

namespace engine {

const FieldDef *TableSchema::field(const QString &fieldName) const
{
    for (const FieldDef &f : fields) {
        if (f.name.compare(fieldName, Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

QStringList splitFieldList(const QString &fields)
{
    QStringList result;
    for (const QString &part : fields.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed();
        if (!name.isEmpty())
            result << name;
    }
    return result;
}

} // namespace engine
