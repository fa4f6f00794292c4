// The spreadsheet export read back by another reader: the header row, the rows as stored in the
// cursor's order, dates as date cells, an empty selection; and its faults: a folder that cannot hold
// the file, a full disk and a killed process, which keep an existing file whole.

#include "data/tdm.h"
#include "extraarchive.h"
#include "filesizelimit.h"
#include "prints/export_xlsx.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using extraprints::exportWorkbook;

namespace {

const QStringList Header{"Tipo Intervento", "Esito", "RagioneSociale", "Comune", "provincia", "Indirizzo", "CAP",
                         "Marchio_ms", "Denominazione_ms", "logotipo", "Tecnico", "data_fine", "matricola"};

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool writeOldWorkbook(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("the workbook of yesterday") == 25;
}

} // namespace

class tst_ExportXlsx : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<ExtraArchive> m_archive;
    std::unique_ptr<Tdm> m_data;
    std::unique_ptr<QTemporaryDir> m_out;

    void open(int extraRows = 0)
    {
        m_data.reset();
        m_archive = std::make_unique<ExtraArchive>(extraRows);
        m_data = std::make_unique<Tdm>();
        m_out = std::make_unique<QTemporaryDir>();
    }
    QString out(const QString &name) const { return QDir(m_out->path()).filePath(name); }

private Q_SLOTS:
    void init() { open(); }
    void cleanup()
    {
        m_data.reset();
        m_archive.reset();
    }

    void theWorkbookHoldsTheRowsAsStored()
    {
        QList<int> shown;
        const extraprints::ExportOutcome outcome =
            exportWorkbook(*dm->Tabmisurazioni, out("interventi_2021.xlsx"), [&](int percent) { shown << percent; });
        QVERIFY2(outcome.written, qPrintable(outcome.problem));
        QCOMPARE(outcome.rows, 4);
        QCOMPARE(shown, (QList<int>{25, 50, 75, 100}));

        const Workbook workbook = readWorkbook(out("interventi_2021.xlsx"));
        QVERIFY2(workbook.error.isEmpty(), qPrintable(workbook.error));
        const QString shop2 = QStringLiteral("BAR L'AQUILA, \"DA GINO\" 100%");
        QCOMPARE(workbook.rows,
                 (QList<QStringList>{
                     Header,
                     {"3", "0", shop2, "FORLÌ", "FC", "PIAZZA SAFFI 8", "47121", "CUSTOM", "KUBE", "C1", "BIANCHI MARIO", "", "99MA00004"},
                     {"1", "0", "ROSSI S.r.l.", "ROMA", "RM", "VIA ROMA, 1", "00100", "OLIVETTI", "NETTUNA 300", "AB", "BIANCHI MARIO",
                      "date:15/01/2021:dd/mm/yyyy", "99MA00001"},
                     {"2", "0", "ROSSI S.r.l.", "ROMA", "RM", "VIA ROMA, 1", "00100", "RCH", "KUBE", "R2", "VERDI ANNA",
                      "date:01/02/2021:dd/mm/yyyy", "99MA00003"},
                     {"2", "1", shop2, "L'AQUILA", "AQ", "CORSO \"VITTORIO\" 2", "67100", "CUSTOM", "KUBE", "C1", "VERDI ANNA",
                      "date:10/03/2021:dd/mm/yyyy", "99MA00002"},
                 }));
        QCOMPARE(workbook.frozen, QStringLiteral("A2"));
        QVERIFY(workbook.boldHeader);
    }

    void theRowsFollowTheSelectionAndTheOrder_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QString>("order");
        QTest::addColumn<QStringList>("serials");
        QTest::newRow("one type, by technician") << "[tipo_intervento]='2'" << "id_tecnico" << QStringList{"99MA00002", "99MA00003"};
        QTest::newRow("all, by model") << "" << "id_ms" << QStringList{"99MA00001", "99MA00002", "99MA00004", "99MA00003"};
        QTest::newRow("nothing selected") << "[esito]='1' and [tipo_intervento]='3'" << "" << QStringList{};
    }
    void theRowsFollowTheSelectionAndTheOrder()
    {
        QFETCH(QString, filter);
        QFETCH(QString, order);
        QFETCH(QStringList, serials);
        engine::Table &verifications = *dm->Tabmisurazioni;
        verifications.setFilterText(filter);
        verifications.setFiltered(true);
        if (!order.isEmpty())
            verifications.setIndexFieldNames(order);

        const extraprints::ExportOutcome outcome = exportWorkbook(verifications, out("x.xlsx"));
        QVERIFY2(outcome.written, qPrintable(outcome.problem));
        const Workbook workbook = readWorkbook(out("x.xlsx"));
        QVERIFY2(workbook.error.isEmpty(), qPrintable(workbook.error));
        QCOMPARE(workbook.rows.value(0), Header);
        QStringList written;
        for (const QStringList &row : workbook.rows.mid(1))
            written << row.value(12);
        QCOMPARE(written, serials);
    }

    void aFolderThatCannotHoldTheFileFails_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("a missing folder") << "manca/x.xlsx";
        QTest::newRow("a file in place of the folder") << "file/x.xlsx";
    }
    void aFolderThatCannotHoldTheFileFails()
    {
        QFETCH(QString, path);
        QFile file(out("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const extraprints::ExportOutcome outcome = exportWorkbook(*dm->Tabmisurazioni, out(path));
        QVERIFY(!outcome.written);
        QVERIFY2(outcome.problem.startsWith(QStringLiteral("Impossibile scrivere il file ") + QDir::toNativeSeparators(out(path))),
                 qPrintable(outcome.problem));
    }

    void aFullDiskOrAKillKeepsTheExistingFile_data()
    {
        QTest::addColumn<int>("atLimit");
        QTest::addColumn<int>("result");
        QTest::newRow("full disk") << int(filesizelimit::AtLimit::WriteFails) << 1;
        QTest::newRow("killed") << int(filesizelimit::AtLimit::ProcessKilled) << -1;
    }
    void aFullDiskOrAKillKeepsTheExistingFile()
    {
        QFETCH(int, atLimit);
        QFETCH(int, result);
        open(400); // a sheet of some 200 kB, packed into far less than the limit
        const QString target = out("interventi_2021.xlsx");
        QVERIFY(writeOldWorkbook(target));
        const int child = filesizelimit::run(
            64 * 1024,
            [&] {
                const extraprints::ExportOutcome outcome = exportWorkbook(*dm->Tabmisurazioni, target);
                return outcome.written ? 0 : outcome.problem.startsWith(QStringLiteral("Impossibile scrivere il file")) ? 1 : 2;
            },
            filesizelimit::AtLimit(atLimit));
        QCOMPARE(child, result);
        QCOMPARE(contentOf(target), QByteArray("the workbook of yesterday"));
        if (result == 1)
            QCOMPARE(QDir(m_out->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"interventi_2021.xlsx"});

        // Without the limit the same export replaces it.
        QVERIFY(exportWorkbook(*dm->Tabmisurazioni, target).written);
        QCOMPARE(readWorkbook(target).rows.size(), 405);
    }

    void libreOfficeOpensTheWorkbook()
    {
        const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
        if (office.isEmpty())
            QSKIP("LibreOffice (soffice) is not installed");
        QVERIFY(exportWorkbook(*dm->Tabmisurazioni, out("interventi_2021.xlsx")).written);
        QProcess convert;
        convert.start(office, {QStringLiteral("-env:UserInstallation=file://") + out("profile"), QStringLiteral("--headless"),
                               QStringLiteral("--convert-to"),
                               // UTF-8, cells as they are shown
                               QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,true"), QStringLiteral("--outdir"), m_out->path(),
                               out("interventi_2021.xlsx")});
        QVERIFY(convert.waitForFinished(180000));
        const QStringList lines = QString::fromUtf8(contentOf(out("interventi_2021.csv"))).split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0).trimmed(), Header.join(QLatin1Char(',')));
        QCOMPARE(lines.value(2).trimmed(), QStringLiteral("1,0,ROSSI S.r.l.,ROMA,RM,\"VIA ROMA, 1\",00100,OLIVETTI,NETTUNA 300,AB,"
                                                          "BIANCHI MARIO,15/01/2021,99MA00001"));
    }
};

QTEST_GUILESS_MAIN(tst_ExportXlsx)
#include "tst_export_xlsx.moc"
