// The quarterly file window driven as the user drives it: the pages and their messages, the hidden
// file mode, the intermediary page, the check and the error box, a file that cannot be written, and
// the same bytes as sigillo-cli scarico for the same choices.

#include "clirun.h"
#include "data/tdm.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "guitest.h"
#include "quarterly/scarico_w.h"
#include "quarterlyarchive.h"
#include "ui/datefield.h"
#include "ui/desktop.h"
#include "ui/filedialogs.h"
#include "ui/radiogroup.h"

#include <QCalendarWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QToolButton>

#include <memory>

namespace {

const QString NoQuarter = QStringLiteral("Selezionare il trimestre");
const QString NoIntermediary = QStringLiteral("Selezionare l'intermediario ");
const QString BadName = QStringLiteral("Il nome del file non può contenere i caratteri / e \\");
const QString NoFolder = QStringLiteral("Indicare la cartella dove verrà salvato il file");

int page(QWidget &window) { return window.findChild<QStackedWidget *>(QStringLiteral("PageControl1"))->currentIndex(); }
RadioGroup *group(QWidget &window, const char *name) { return window.findChild<RadioGroup *>(QString::fromLatin1(name)); }
void choose(QWidget &window, const char *name, int item) { group(window, name)->button(item)->click(); }
QString label(QWidget &window, const char *name) { return window.findChild<QLabel *>(QString::fromLatin1(name))->text(); }

void chooseIntermediary(QWidget &window, int index)
{
    auto *codes = window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
    codes->setCurrentIndex(index);
    Q_EMIT codes->activated(index);
}

QMap<QString, QByteArray> filesIn(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QString &name : QDir(folder).entryList(QDir::Files)) {
        QFile file(QDir(folder).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            files.insert(name, file.readAll());
    }
    return files;
}

} // namespace

class tst_ScaricoWindow : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<QuarterlyArchive> m_archive;
    std::unique_ptr<Tdm> m_data;
    std::unique_ptr<QTemporaryDir> m_out;

    void setUp() override
    {
        Desktop::clear();
        m_archive = std::make_unique<QuarterlyArchive>();
        TestBase::addDataRows(QStringLiteral("INTERMEDIARIO"), {{{"Id", 1}, {"CF", "CNTFNC60A01H501X"}, {"NCAF", "123"}},
                                                              {{"Id", 2}, {"CF", "01847360060"}, {"NCAF", ""}}});
        m_out = std::make_unique<QTemporaryDir>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_archive.reset();
    }
    void openData() { m_data = std::make_unique<Tdm>(); }

private Q_SLOTS:
    void pagesLeadFromTheQuarterToTheGeneration()
    {
        openData();
        openWindow<Tscarico_Form>(scarico_Form, [&](Tscarico_Form &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Scarico trimestrale per l'agenzia delle entrate"));
            QCOMPARE(page(window), int(Tscarico_Form::QuarterPage));
            QCOMPARE(lineEdit(window, "Edit2")->text(), QStringLiteral("nome_file"));
            QCOMPARE(lineEdit(window, "Edit2")->maxLength(), 12);
            QCOMPARE(group(window, "RadioGroup1")->itemIndex(), -1);
            lineEdit(window, "Edit1")->setText(QDir::toNativeSeparators(m_out->path()));
            shoot(window, QStringLiteral("scarico_1"));

            button(window, "SpeedButton4")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{NoQuarter});
            QCOMPARE(page(window), int(Tscarico_Form::QuarterPage));
            QCOMPARE(window.focusWidget(), group(window, "RadioGroup1")->button(0));
            choose(window, "RadioGroup1", 0);
            // A file name that would leave the folder, and no folder, are refused.
            typeInto(lineEdit(window, "Edit2"), QStringLiteral("../file"));
            button(window, "SpeedButton4")->click();
            typeInto(lineEdit(window, "Edit2"), QStringLiteral("nome_file"));
            lineEdit(window, "Edit1")->clear();
            button(window, "SpeedButton4")->click();
            QCOMPARE(page(window), int(Tscarico_Form::QuarterPage));
            QCOMPARE(window.focusWidget(), lineEdit(window, "Edit1"));
            lineEdit(window, "Edit1")->setText(QDir::toNativeSeparators(m_out->path()));
            button(window, "SpeedButton4")->click();
            QCOMPARE(page(window), int(Tscarico_Form::IntermediaryPage));
            QCOMPARE(window.focusWidget(), group(window, "RadioGroup4")->button(0));
            QCOMPARE(label(window, "RecordCount"), QStringLiteral("N° Record1"));

            button(window, "SpeedButton6")->click();
            QCOMPARE(Messages::shownTexts(), (QStringList{NoQuarter, BadName, NoFolder, NoIntermediary}));
            QVERIFY(!window.findChild<QGroupBox *>(QStringLiteral("GroupBox1"))->isVisible());
            choose(window, "RadioGroup4", 1);
            QVERIFY(window.findChild<QGroupBox *>(QStringLiteral("GroupBox1"))->isVisible());
            auto *codes = window.findChild<QComboBox *>(QStringLiteral("ComboBox1"));
            QCOMPARE(codes->count(), 2);
            QCOMPARE(codes->itemText(1), QStringLiteral("01847360060"));
            // "Archivio intermediari": the list comes back with what the intermediaries window stored,
            // and the intermediary is chosen again.
            chooseIntermediary(window, 1);
            ModalWindows::setNextHandler([](QDialog &intermediaries) {
                QCOMPARE(intermediaries.windowTitle(), QStringLiteral("Intermediari:"));
                engine::Table *table = dm->Tabintermediario;
                table->append();
                table->setValue(QStringLiteral("CF"), QStringLiteral("RSSMRA80A01H501U"));
                table->post();
                button(intermediaries, "SpeedButton4")->click();
            });
            button(window, "SpeedButton2")->click();
            QCOMPARE(codes->count(), 3);
            QCOMPARE(codes->currentIndex(), -1);
            QCOMPARE(lineEdit(window, "Edit3")->text(), QString());
            // "SI" stays on its page, silently, until code, preparer and date are given.
            button(window, "SpeedButton6")->click();
            QCOMPARE(window.focusWidget(), codes);
            chooseIntermediary(window, 0);
            QCOMPARE(lineEdit(window, "Edit3")->text(), QStringLiteral("123"));
            choose(window, "RadioGroup3", 1);
            button(window, "SpeedButton6")->click();
            QCOMPARE(page(window), int(Tscarico_Form::IntermediaryPage));
            QCOMPARE(Messages::shownTexts().size(), 4);
            auto *date = window.findChild<DateField *>(QStringLiteral("DateEdit1"));
            date->calendarButton()->click();
            auto *calendar = date->findChild<QCalendarWidget *>();
            QVERIFY(calendar->isVisible());
            Q_EMIT calendar->clicked(QDate(2010, 3, 15));
            QCOMPARE(date->text(), QStringLiteral("15/03/2010"));
            QVERIFY(!calendar->isVisible());
            shoot(window, QStringLiteral("scarico_2"));
            button(window, "SpeedButton6")->click();
            QCOMPARE(page(window), int(Tscarico_Form::GenerationPage));
            auto *findings = window.findChild<QListWidget *>(QStringLiteral("CheckList"));
            QCOMPARE(findings->count(), 1);
            QCOMPARE(findings->item(0)->text(), QStringLiteral("Nessun problema trovato nei dati del trimestre."));
            shoot(window, QStringLiteral("scarico_3"));

            // Back to the first page: another quarter, another selection.
            button(window, "SpeedButton11")->click();
            QCOMPARE(page(window), int(Tscarico_Form::IntermediaryPage));
            button(window, "SpeedButton7")->click();
            QCOMPARE(page(window), int(Tscarico_Form::QuarterPage));
            choose(window, "RadioGroup1", 3);
            button(window, "SpeedButton4")->click();
            QCOMPARE(label(window, "RecordCount"), QStringLiteral("N° Record0"));
            button(window, "SpeedButton7")->click();
            button(window, "SpeedButton5")->click();
        });
        QCOMPARE(scarico_Form, nullptr);
        QCOMPARE(QDir(m_out->path()).entryList(QDir::Files), QStringList{});
        QCOMPARE(Desktop::shownFolders(), QStringList{});
    }

    void theAuthorisationsSetTheHiddenFileMode_data()
    {
        QTest::addColumn<bool>("two");
        QTest::newRow("one authorisation") << false;
        QTest::newRow("two authorisations") << true;
    }
    void theAuthorisationsSetTheHiddenFileMode()
    {
        QFETCH(bool, two);
        if (two)
            QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        openData();
        openWindow<Tscarico_Form>(scarico_Form, [&](Tscarico_Form &window) {
            RadioGroup *mode = group(window, "RadioGroup2");
            QVERIFY(!mode->isVisible());
            QCOMPARE(mode->itemIndex(), two ? 1 : 0);
            QCOMPARE(window.findChild<QLabel *>(QStringLiteral("Label4"))->isVisible(), two);
            QVERIFY(window.findChild<QLabel *>(QStringLiteral("Label3"))->isVisible());
            // One authorisation cannot have a file for each.
            mode->button(1)->click();
            QCOMPARE(mode->itemIndex(), two ? 1 : 0);
            button(window, "SpeedButton5")->click();
        });
        QCOMPARE(Messages::shownTexts(),
                 two ? QStringList{} : QStringList{QStringLiteral("Avete inserito una sola abilitazione quindi dovete creare un solo file")});
    }

    void theWindowWritesWhatTheCommandWrites()
    {
        QuarterlyArchive::addSecondAuthorisation(QStringLiteral("PE0417FA"));
        openData();
        const QString windowFolder = QDir(m_out->path()).filePath(QStringLiteral("finestra"));
        const QString commandFolder = QDir(m_out->path()).filePath(QStringLiteral("comando"));
        QVERIFY(QDir().mkpath(windowFolder) && QDir().mkpath(commandFolder));
        FileDialogs::setNextDirectory(windowFolder);
        openWindow<Tscarico_Form>(scarico_Form, [&](Tscarico_Form &window) {
            button(window, "SpeedButton3")->click();
            QCOMPARE(lineEdit(window, "Edit1")->text(), QDir::toNativeSeparators(windowFolder));
            typeInto(lineEdit(window, "Edit2"), QStringLiteral("trim"));
            choose(window, "RadioGroup1", 0);
            button(window, "SpeedButton4")->click();
            choose(window, "RadioGroup4", 1);
            chooseIntermediary(window, 0);
            typeInto(lineEdit(window, "Edit3"), QStringLiteral("45"));
            choose(window, "RadioGroup3", 0);
            typeInto(window.findChild<DateField *>(QStringLiteral("DateEdit1"))->edit(), QStringLiteral("01042010"));
            button(window, "SpeedButton6")->click();
            button(window, "SpeedButton1")->click();
        });
        QCOMPARE(scarico_Form, nullptr);
        QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("Eseguito")});
        QCOMPARE(Desktop::shownFolders(), QStringList{windowFolder});

        const QString configFile = QDir(m_archive->path()).filePath(QStringLiteral("sigillo.INI"));
        QVERIFY(config::writeFile(configFile, appState()));
        const Run run = runCli({QStringLiteral("scarico"), QStringLiteral("--config"), configFile, QStringLiteral("--anno"),
                                QStringLiteral("2010"), QStringLiteral("--trimestre"), QStringLiteral("1"), QStringLiteral("--cartella"),
                                commandFolder, QStringLiteral("--prefisso"), QStringLiteral("trim"), QStringLiteral("--intermediario"),
                                QStringLiteral("CNTFNC60A01H501X"), QStringLiteral("--ncaf"), QStringLiteral("45"),
                                QStringLiteral("--predisposta"), QStringLiteral("1"), QStringLiteral("--data-impegno"),
                                QStringLiteral("01/04/2010")});
        QCOMPARE(run.exitCode, 0);
        const QMap<QString, QByteArray> written = filesIn(windowFolder);
        QCOMPARE(written.keys(), (QStringList{"trimPE0417FA.txt", "trimPE0417LA.txt"}));
        QCOMPARE(written.value(QStringLiteral("trimPE0417LA.txt")).mid(275, 30), QByteArray("CNTFNC60A01H501X45000101042010"));
        QCOMPARE(filesIn(commandFolder), written);
    }

    void aFileThatCannotBeWrittenKeepsTheWindowOpen()
    {
        QuarterlyArchive::change(QStringLiteral("esercizio.Piva"), QStringLiteral("07654321005"));
        openData();
        const QString missing = QDir(m_out->path()).filePath(QStringLiteral("manca"));
        openWindow<Tscarico_Form>(scarico_Form, [&](Tscarico_Form &window) {
            lineEdit(window, "Edit1")->setText(missing);
            choose(window, "RadioGroup1", 0);
            button(window, "SpeedButton4")->click();
            choose(window, "RadioGroup4", 0);
            button(window, "SpeedButton6")->click();
            auto *findings = window.findChild<QListWidget *>(QStringLiteral("CheckList"));
            QCOMPARE(findings->count(), 1);
            QCOMPARE(findings->item(0)->text(),
                     QStringLiteral("Intervento n. 1 (matricola OL1234567, esercizio BAR ROSSI), partita IVA dell'esercizio: non valida (07654321005)"));
            button(window, "SpeedButton1")->click();
            QVERIFY(window.isVisible());
            QCOMPARE(page(window), int(Tscarico_Form::GenerationPage));
            const QString errors = window.findChild<QPlainTextEdit *>(QStringLiteral("Memo1"))->toPlainText();
            QVERIFY2(errors.startsWith(QDir::toNativeSeparators(QDir(missing).filePath(QStringLiteral("nome_file12010.txt"))) + QStringLiteral(": ")),
                     qPrintable(errors));
            button(window, "SpeedButton11")->click();
            button(window, "SpeedButton7")->click();
            button(window, "SpeedButton5")->click();
        });
        QCOMPARE(Messages::shown(), (QList<ShownMessage>{{MessageKind::Error, QStringLiteral("Impossibile scrivere il file")}}));
        QCOMPARE(Desktop::shownFolders(), QStringList{});
    }
};

QTEST_MAIN(tst_ScaricoWindow)
#include "tst_scarico_w.moc"
