#include "prints/export_xlsx.h"

#include "data/tdm.h"
#include "ground/state.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <QtEndian>

#include <xlsxwriter.h>
#include <zlib.h>

#include <cmath>
#include <filesystem>
#include <memory>

using engine::Table;

namespace extraprints {

namespace {

struct Column {
    const char *title;
    const char *field;
    double width; // characters
};

// Wide enough for what the field usually holds, without columns of the full field size.
const Column Columns[] = {
    {"Tipo Intervento", "Tipo_intervento", 15}, {"Esito", "Esito", 6},
    {"RagioneSociale", "ragione_sociale", 38},  {"Comune", "COMUNE", 24},
    {"provincia", "PROVINCIA", 9},              {"Indirizzo", "INDIRIZZO", 32},
    {"CAP", "CAP", 7},                          {"Marchio_ms", "marchio_ms", 18},
    {"Denominazione_ms", "denominazione_ms", 20}, {"logotipo", "logotipo_ms", 8},
    {"Tecnico", "cogn_nome", 28},               {"data_fine", "Data_fine", 11},
    {"matricola", "Matricola_ms", 11},
};

const QString SheetEntry = QStringLiteral("xl/worksheets/sheet1.xml");

QString failure(const QString &path, const QString &reason)
{
    return QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

struct WorkbookCloser {
    void operator()(lxw_workbook *workbook) const { workbook_close(workbook); }
};

// The entry's content, inflated from the zip archive, and checked against its recorded size and CRC;
// empty when the archive or the entry is damaged.
QByteArray zipEntry(const QByteArray &zip, const QString &name)
{
    const auto u16 = [&zip](qsizetype at) { return at + 2 <= zip.size() ? qFromLittleEndian<quint16>(zip.constData() + at) : 0u; };
    const auto u32 = [&zip](qsizetype at) { return at + 4 <= zip.size() ? qFromLittleEndian<quint32>(zip.constData() + at) : 0u; };
    const qsizetype end = zip.lastIndexOf(QByteArrayLiteral("PK\x05\x06"));
    if (end < 0)
        return {};
    qsizetype entry = u32(end + 16);
    for (quint32 i = 0, count = u16(end + 10); i < count && u32(entry) == 0x02014b50; ++i) {
        const quint16 nameSize = u16(entry + 28);
        if (zip.mid(entry + 46, nameSize) != name.toUtf8()) {
            entry += 46 + nameSize + u16(entry + 30) + u16(entry + 32);
            continue;
        }
        const quint32 crc = u32(entry + 16), packed = u32(entry + 20), size = u32(entry + 24);
        const qsizetype local = u32(entry + 42);
        const qsizetype data = local + 30 + u16(local + 26) + u16(local + 28);
        if (u16(entry + 10) != Z_DEFLATED || u32(local) != 0x04034b50 || data + packed > zip.size())
            return {};
        QByteArray content(size, Qt::Uninitialized);
        z_stream stream{};
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(zip.constData() + data));
        stream.avail_in = packed;
        stream.next_out = reinterpret_cast<Bytef *>(content.data());
        stream.avail_out = size;
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            return {};
        const int inflated = inflate(&stream, Z_FINISH);
        inflateEnd(&stream);
        if (inflated != Z_STREAM_END || stream.total_out != size
            || crc32(0, reinterpret_cast<const Bytef *>(content.constData()), size) != crc)
            return {};
        return content;
    }
    return {};
}

bool sheetIsWhole(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return zipEntry(file.readAll(), SheetEntry).trimmed().endsWith("</worksheet>");
}

// The rows written into the open workbook; a problem on failure.
QString writeRows(lxw_workbook *workbook, const Table &verifications, int &written, const std::function<void(int)> &progress)
{
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, nullptr);
    lxw_format *bold = workbook_add_format(workbook);
    lxw_format *date = workbook_add_format(workbook);
    if (!sheet || !bold || !date)
        return QStringLiteral("memoria insufficiente");
    format_set_bold(bold);
    format_set_num_format(date, "dd/mm/yyyy");
    worksheet_freeze_panes(sheet, 1, 0);

    const auto check = [](lxw_error error) {
        if (error != LXW_NO_ERROR)
            throw lxw_strerror(error);
    };
    try {
        lxw_col_t column = 0;
        for (const Column &c : Columns) {
            check(worksheet_set_column(sheet, column, column, c.width, nullptr));
            check(worksheet_write_string(sheet, 0, column++, c.title, bold));
        }
        const int rows = verifications.recordCount();
        int shown = -1;
        for (int row = 0; row < rows; ++row) {
            column = 0;
            for (const Column &c : Columns) {
                const QVariant value = verifications.valueAt(row, QString::fromLatin1(c.field));
                if (value.typeId() == QMetaType::QDate) {
                    const QDate day = value.toDate();
                    lxw_datetime when{day.year(), day.month(), day.day(), 0, 0, 0};
                    check(worksheet_write_datetime(sheet, lxw_row_t(row + 1), column, &when, date));
                } else if (const QString text = value.toString(); !text.isEmpty()) {
                    check(worksheet_write_string(sheet, lxw_row_t(row + 1), column, text.toUtf8().constData(), nullptr));
                }
                ++column;
            }
            written = row + 1;
            const int percent = int(std::lround((row + 1) * 100.0 / rows));
            if (progress && percent != shown)
                progress(shown = percent);
        }
    } catch (const char *reason) {
        return QString::fromUtf8(reason);
    }
    return {};
}

} // namespace

QStringList exportHeader()
{
    QStringList header;
    for (const Column &c : Columns)
        header << QString::fromLatin1(c.title);
    return header;
}

QStringList exportFields()
{
    QStringList fields;
    for (const Column &c : Columns)
        fields << QString::fromLatin1(c.field);
    return fields;
}

ExportSource::ExportSource(const AppState &state)
{
    const struct {
        Table *table;
        const char *name;
    } registries[] = {{&m_shops, "esercizio"}, {&m_models, "ms"}, {&m_technicians, "tecnici"}};
    for (const auto &registry : registries) {
        registry.table->setDirectory(state.dataDir());
        registry.table->setTableName(QString::fromLatin1(registry.name));
        registry.table->open();
    }
    addRegisterLookups(m_verifications, &m_shops, &m_models, &m_technicians);
    m_verifications.setDirectory(state.yearDir());
    m_verifications.setTableName(QStringLiteral("misurazioni2"));
    m_verifications.setIndexName(QStringLiteral("fineindex"));
    m_verifications.open();
}

QString defaultExportName(const QString &year)
{
    return QStringLiteral("interventi_%1.xlsx").arg(year);
}

ExportOutcome exportWorkbook(const Table &verifications, const QString &path, const std::function<void(int)> &progress)
{
    ExportOutcome outcome;
    const QFileInfo target(path);
    QTemporaryFile temporary(target.dir().filePath(QStringLiteral(".%1.XXXXXX").arg(target.fileName())));
    if (!temporary.open()) {
        outcome.problem = failure(path, temporary.errorString());
        return outcome;
    }
    temporary.close();
    // A temporary file is private to its owner; the workbook gets the permissions of the one it replaces.
    temporary.setPermissions(target.exists() ? QFile::permissions(path)
                                             : QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);

    // libxlsxwriter's own temporary files go beside the workbook, on the disk that must hold it.
    const QByteArray folder = QFile::encodeName(target.absolutePath());
    const QByteArray name = QFile::encodeName(temporary.fileName());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(folder.constData());
    std::unique_ptr<lxw_workbook, WorkbookCloser> workbook(workbook_new_opt(name.constData(), &options));
    if (!workbook) {
        outcome.problem = failure(path, QStringLiteral("impossibile creare la cartella di lavoro"));
        return outcome;
    }
    QString problem = writeRows(workbook.get(), verifications, outcome.rows, progress);
    const lxw_error closed = workbook_close(workbook.release());
    if (problem.isEmpty() && closed != LXW_NO_ERROR)
        problem = QString::fromUtf8(lxw_strerror(closed));
    if (problem.isEmpty() && !sheetIsWhole(temporary.fileName()))
        problem = QStringLiteral("il foglio non è stato scritto per intero (disco pieno?)");
    if (problem.isEmpty()) {
        std::error_code error;
        std::filesystem::rename(std::filesystem::path(name.toStdString()), std::filesystem::path(QFile::encodeName(path).toStdString()), error);
        if (error)
            problem = QString::fromLocal8Bit(error.message());
        else
            temporary.setAutoRemove(false);
    }
    if (!problem.isEmpty()) {
        outcome.problem = failure(path, problem);
        outcome.rows = 0;
        return outcome;
    }
    outcome.written = true;
    return outcome;
}

} // namespace extraprints
