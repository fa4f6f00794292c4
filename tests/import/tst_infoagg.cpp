// The additional-information import: which of the previous year's data reach which intervention of
// the working year, its window's two ways out, and a process killed half way.

#include "data/engine/bulkscope.h"
#include "data/engine/engineerror.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "guitest.h"
#include "import/imp_info_aggw.h"
#include "import/infoagg.h"
#include "killtest.h"
#include "testbase.h"

#include <QDir>
#include <QProgressBar>
#include <QtTest>

#include <memory>

namespace {

QVariantMap intervention(int id, const char *serial, int model, const QDate &end, const QVariantMap &commercial = {})
{
    QVariantMap row{{"Id_misurazioni", id}, {"Id_esercizio", 1}, {"Id_ms", model}, {"Id_tecnico", 1}, {"Matricola_ms", serial},
                    {"Tipo_intervento", "3"}, {"Data_ini", end}, {"Data_fine", end}, {"ANNO", QString::number(end.year())},
                    {"INDIRIZZO", "VIA ROMA 1"}};
    row.insert(commercial);
    return row;
}

QVariantMap commercial(const char *contact, double amount, bool flags, const QDate &reminder = {})
{
    return {{"n_azzeramenti", QString::fromLatin1(contact).left(3)}, {"importo", amount}, {"ivato", flags}, {"pagato", flags},
            {"fatturato", flags}, {"Referente", contact}, {"Telefono", "085 1234"}, {"cellulare", "333 1234"},
            {"note1", QString::fromLatin1(contact) + " 1"}, {"note2", QString::fromLatin1(contact) + " 2"}, {"Promemoria", reminder}};
}

} // namespace

class tst_InfoAgg : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    QString previousYear() const { return QDir(m_base->path()).filePath(QStringLiteral("2010")); }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2011"));
        catalogue::createMissingTables(previousYear(), catalogue::yearTables());
    }
    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

    // The working year's interventions: serial, model, then the copied fields and one that is not.
    QStringList workingYear() const
    {
        engine::Table year;
        year.setDirectory(appState().yearDir());
        year.setTableName(QStringLiteral("misurazioni2"));
        year.open();
        QStringList rows;
        for (year.first(); !year.eof(); year.next()) {
            QStringList cells;
            for (const char *field : {"Matricola_ms", "Id_ms", "n_azzeramenti", "importo", "ivato", "pagato", "fatturato", "Referente",
                                      "Telefono", "cellulare", "note1", "note2", "Promemoria", "note3", "Data_fine"})
                cells << year.asString(QString::fromLatin1(field));
            rows << cells.join(QLatin1Char('|'));
        }
        return rows;
    }

private Q_SLOTS:
    void thePreviousYearsLatestDataReachTheSameRegister()
    {
        TestBase::addRows(previousYear(), QStringLiteral("misurazioni2"),
                          {intervention(1, "A1", 1, QDate(2010, 11, 5), commercial("NOVEMBRE", 50, true, QDate(2011, 11, 5))),
                           intervention(2, "A1", 1, QDate(2010, 3, 10), commercial("MARZO", 10, false)),
                           intervention(3, "A1", 2, QDate(2010, 12, 1), commercial("ALTRO MODELLO", 99, true)),
                           intervention(4, "B1", 1, QDate(2010, 6, 1), commercial("SENZA SEGUITO", 5, true))});
        QVariantMap kept = commercial("VECCHIO", 1, false);
        kept.insert(QStringLiteral("note3"), QStringLiteral("RESTA"));
        TestBase::addYearRows(QStringLiteral("misurazioni2"),
                              {intervention(1, "A1", 1, QDate(2011, 2, 1), kept), intervention(2, "C1", 1, QDate(2011, 2, 2), kept)});
        m_data = std::make_unique<Tdm>();
        QCOMPARE(importer::ImportaInfoAggiuntive(*m_data), 2);
        QCOMPARE(workingYear(),
                 (QStringList{"A1|1|NOV|50|True|True|True|NOVEMBRE|085 1234|333 1234|NOVEMBRE 1|NOVEMBRE 2|05/11/2011|RESTA|01/02/2011",
                              "C1|1|VEC|1|False|False|False|VECCHIO|085 1234|333 1234|VECCHIO 1|VECCHIO 2||RESTA|02/02/2011"}));
        QCOMPARE(Messages::shownTexts(), QStringList());
    }

    void theWindowCopiesAndCloses_data()
    {
        QTest::addColumn<bool>("previousYear");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("stillOpen");
        QTest::addColumn<QString>("contact");
        QTest::newRow("Inserisci") << true << "SpeedButton1" << QStringList{"ESEGUITO"} << false << "NOVEMBRE";
        QTest::newRow("Annulla") << true << "SpeedButton2" << QStringList{} << false << "VECCHIO";
        QTest::newRow("no previous year") << false << "SpeedButton1" << QStringList{"Impossibile eseguire"} << true << "VECCHIO";
    }
    void theWindowCopiesAndCloses()
    {
        QFETCH(bool, previousYear);
        QFETCH(QString, command);
        QFETCH(QStringList, messages);
        QFETCH(bool, stillOpen);
        QFETCH(QString, contact);
        if (previousYear)
            TestBase::addRows(this->previousYear(), QStringLiteral("misurazioni2"),
                              {intervention(1, "A1", 1, QDate(2010, 11, 5), commercial("NOVEMBRE", 50, true))});
        else
            QVERIFY(QDir(this->previousYear()).removeRecursively());
        TestBase::addYearRows(QStringLiteral("misurazioni2"), {intervention(1, "A1", 1, QDate(2011, 2, 1), commercial("VECCHIO", 1, false))});
        m_data = std::make_unique<Tdm>();
        int bar = -1;
        openWindow<Timp_info_aggForm>(imp_info_aggForm, [&](Timp_info_aggForm &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("imp_info_aggForm"));
            shoot(form, QStringLiteral("imp_info_aggform"));
            button(form, command.toLatin1().constData())->click();
            QCOMPARE(form.isVisible(), stillOpen);
            bar = form.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"))->value();
            if (stillOpen)
                button(form, "SpeedButton2")->click();
        });
        QCOMPARE(Messages::shownTexts(), messages);
        QCOMPARE(workingYear().constFirst().section(QLatin1Char('|'), 7, 7), contact);
        QCOMPARE(bar, contact == QLatin1String("NOVEMBRE") ? 1 : 0);
    }

    // Killed half way through, the import leaves the working year as it was and every file sound.
    void aKilledImportLeavesTheYearAsItWas()
    {
        QList<QVariantMap> previous, working;
        for (int i = 0; i < 3000; ++i) {
            const QByteArray serial = "K" + QByteArray::number(i);
            previous << intervention(i + 1, serial.constData(), 1, QDate(2010, 1, 1).addDays(i % 365), commercial("NUOVO", i, true));
            working << intervention(i + 1, serial.constData(), 1, QDate(2011, 1, 1).addDays(i % 365), commercial("VECCHIO", 0, false));
        }
        {
            engine::BulkScope bulk;
            TestBase::addRows(previousYear(), QStringLiteral("misurazioni2"), previous);
            TestBase::addYearRows(QStringLiteral("misurazioni2"), working);
        }
        QVERIFY(killtest::killedAt(1500, [](const Progress &progress) {
            Tdm data;
            importer::ImportaInfoAggiuntive(data, progress);
        }));
        QCOMPARE(killtest::integrityProblems(m_base->path()), QStringList());
        const QStringList after = workingYear();
        QCOMPARE(after.size(), 3000);
        QCOMPARE(after.filter(QStringLiteral("|VECCHIO|")).size(), 3000);
    }
};

QTEST_MAIN(tst_InfoAgg)
#include "tst_infoagg.moc"
