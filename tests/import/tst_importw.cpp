// The import window as the user meets it: the file chosen, staged and shown, an intervention
// corrected in its grid, the merge with its progress, and the data module reopened on closing.

#include "data/tdm.h"
#include "ground/messages.h"
#include "guitest.h"
#include "import/importw.h"
#include "importfiles.h"
#include "quarterlyarchive.h"
#include "ui/dbgrid.h"
#include "ui/filedialogs.h"
#include "ui/radiogroup.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class tst_ImportW : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<QuarterlyArchive> m_archive;
    std::unique_ptr<Tdm> m_data;
    QTemporaryDir m_files;

    QString writeFile(const QStringList &lines)
    {
        const QString path = QDir(m_files.path()).filePath(QStringLiteral("trimestre.txt"));
        if (!importfiles::write(path, lines))
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

    static DBGrid *grid(QDialog &form, const char *name) { return form.findChild<DBGrid *>(QString::fromLatin1(name)); }
    static QWidget *importBar(QDialog &form) { return form.findChild<QWidget *>(QStringLiteral("Panel2")); }

    void setUp() override
    {
        m_archive = std::make_unique<QuarterlyArchive>();
        m_data = std::make_unique<Tdm>();
    }
    void tearDown() override
    {
        m_data.reset();
        m_archive.reset();
    }

private Q_SLOTS:
    void aFileIsChosenStagedCorrectedAndImported()
    {
        const QString path = writeFile({importfiles::header2010(QStringLiteral("2010"), QStringLiteral("2")),
                                        importfiles::intervention(QStringLiteral("AA0000001"), QStringLiteral("3")),
                                        importfiles::intervention(QStringLiteral("AA0000002"), QStringLiteral("1"),
                                                                  {{69, "11111111111"}, {80, "BAR NUOVO"}, {60, "3104201X"}})});
        QList<int> bar;
        int barEnd = 0;
        openWindow<Timportform>(importform, [&](Timportform &form) {
            QCOMPARE(form.windowTitle(), QStringLiteral("importform"));
            QVERIFY(!importBar(form)->isVisible());
            QCOMPARE(form.findChild<RadioGroup *>(QStringLiteral("RadioGroup1"))->itemIndex(), 1);
            QCOMPARE(form.findChild<RadioGroup *>(QStringLiteral("RadioGroup1"))->button(1)->text(), QStringLiteral("formato del 2010"));
            auto *fileName = form.findChild<QLabel *>(QStringLiteral("Label1"));
            QVERIFY(fileName->text().startsWith(QStringLiteral("......")));

            // Nothing chosen yet.
            button(form, "SpeedButton1")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{"Impossibile leggere il file"});
            QVERIFY(!importBar(form)->isVisible());

            FileDialogs::setNextFileName(path);
            button(form, "SpeedButton4")->click();
            QCOMPARE(fileName->text(), QDir::toNativeSeparators(path));
            button(form, "SpeedButton1")->click();
            QVERIFY(importBar(form)->isVisible());
            QCOMPARE(grid(form, "DBGrid1")->model()->rowCount(), 1);
            QCOMPARE(grid(form, "DBGrid2")->model()->rowCount(), 0);
            QCOMPARE(grid(form, "DBGrid3")->model()->rowCount(), 2);
            shoot(form, QStringLiteral("importform"));

            // The bad end date stops the merge on its row, where the user corrects it.
            Messages::clear();
            auto *progress = form.findChild<QProgressBar *>(QStringLiteral("ProgressBar1"));
            connect(progress, &QProgressBar::valueChanged, &form, [&bar, progress, &barEnd](int value) {
                bar << value;
                barEnd = progress->maximum();
            });
            button(form, "SpeedButton3")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{"Data non valida nella riga 2: 3104201X"});
            DBGrid *interventions = grid(form, "DBGrid3");
            QCOMPARE(interventions->currentIndex().row(), 1);
            const QModelIndex end = interventions->model()->index(1, 4);
            interventions->edit(end);
            auto *editor = qobject_cast<QLineEdit *>(interventions->indexWidget(end));
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClicks(editor, QStringLiteral("30042010"));
            QTest::keyClick(editor, Qt::Key_Return);
            QTRY_VERIFY(!interventions->indexWidget(end));

            Messages::clear();
            button(form, "SpeedButton3")->click();
            QCOMPARE(Messages::shownTexts(), QStringList{"File importato correttamente"});
            QVERIFY(!importBar(form)->isVisible());
            button(form, "SpeedButton2")->click();
        });
        QVERIFY(bar.contains(barEnd));
        QCOMPARE(barEnd, 4);
        // The data module reopened: its shared cursors show what the import added.
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 3);
        QVERIFY(m_data->Tabesercizio->lookup(QStringLiteral("Piva"), {QStringLiteral("11111111111")}, QStringLiteral("Id_esercizio")).isValid());
    }

    // The initial layout chosen for a file of the 2010 layout: no header, so nothing is imported.
    void theLayoutChosenDecides()
    {
        const QString path = writeFile({importfiles::header2010(QStringLiteral("2010"), QStringLiteral("2")),
                                        importfiles::intervention(QStringLiteral("AA0000001"), QStringLiteral("3"))});
        openWindow<Timportform>(importform, [&](Timportform &form) {
            form.findChild<RadioGroup *>(QStringLiteral("RadioGroup1"))->button(0)->click();
            FileDialogs::setNextFileName(path);
            button(form, "SpeedButton4")->click();
            button(form, "SpeedButton1")->click();
            QCOMPARE(grid(form, "DBGrid1")->model()->rowCount(), 0);
            button(form, "SpeedButton3")->click();
            QCOMPARE(Messages::shownTexts(),
                     QStringList{"Per acquisire i dati da un file è necessario che anno del programma (2010) sia = all\"anno delle "
                                 "verifiche contenute nel file ().!!"});
            QVERIFY(importBar(form)->isVisible());
            button(form, "SpeedButton2")->click();
        });
        QCOMPARE(m_data->Tabmisurazioni->recordCount(), 1);
    }
};

QTEST_MAIN(tst_ImportW)
#include "tst_importw.moc"
