// The settings window: the backup folder chosen on a volume, the password switch, and "&Chiudi",
// which alone stores the change, writes the configuration file and asks for a restart.

#include "app/backup.h"
#include "data/tdm.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "guitest.h"
#include "import/imp_variew.h"
#include "testbase.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTreeView>

#include <memory>

namespace {

const QString Restart = QStringLiteral("Per rendere effettive tutte le impostazioni uscire e rientrare nel programma");

QComboBox *volumes(QWidget &window)
{
    return window.findChild<QComboBox *>(QStringLiteral("DriveComboBox1"));
}

QTreeView *folders(QWidget &window)
{
    return window.findChild<QTreeView *>(QStringLiteral("DirectoryListBox1"));
}

QFileSystemModel *folderModel(QWidget &window)
{
    return qobject_cast<QFileSystemModel *>(folders(window)->model());
}

// The user picks the folder's volume in the list, then the folder in the tree.
void chooseFolder(QWidget &window, const QString &folder)
{
    const QString root = QStorageInfo(folder).rootPath();
    const int volume = volumes(window)->findData(root);
    QVERIFY2(volume >= 0, qPrintable(root));
    volumes(window)->setCurrentIndex(volume);
    QCOMPARE(folderModel(window)->filePath(folders(window)->rootIndex()), root);
    folders(window)->setCurrentIndex(folderModel(window)->index(folder));
}

QString currentFolder(QWidget &window)
{
    return folderModel(window)->filePath(folders(window)->currentIndex());
}

// The settings record as the file holds it.
QVariant stored(const QString &field)
{
    engine::Table settings;
    settings.setDirectory(appState().dataDir());
    settings.setTableName(QStringLiteral("impostazioni"));
    settings.open();
    if (settings.recordCount() > 1)
        qFatal("%d settings records", settings.recordCount());
    return settings.isEmpty() ? QVariant() : settings.value(field);
}

} // namespace

class tst_Imp_varie : public GuiTest {
    Q_OBJECT

private:
    std::unique_ptr<TestBase> m_base;
    std::unique_ptr<Tdm> m_data;

    QString under(const QString &relative) const { return QDir(m_base->path()).filePath(relative); }

    void openData(const QList<QVariantMap> &settings)
    {
        TestBase::addDataRows(QStringLiteral("impostazioni"), settings);
        m_data = std::make_unique<Tdm>();
    }

    void setUp() override
    {
        m_base = std::make_unique<TestBase>(QStringLiteral("2021"));
        config::setFilePath(under(QStringLiteral("sigillo.INI")));
    }
    void tearDown() override
    {
        m_data.reset();
        m_base.reset();
    }

private Q_SLOTS:
    void theToggleSwitchesThePasswordUse_data()
    {
        QTest::addColumn<bool>("inUse");
        QTest::addColumn<int>("presses");
        QTest::addColumn<bool>("storedInUse");
        QTest::newRow("on, pressed twice") << true << 2 << true;
        QTest::newRow("on, pressed once") << true << 1 << false;
        QTest::newRow("off, pressed once") << false << 1 << true;
    }
    void theToggleSwitchesThePasswordUse()
    {
        QFETCH(bool, inUse);
        QFETCH(int, presses);
        QFETCH(bool, storedInUse);
        openData({{{"Usa_pwd", inUse}, {"Dir_backup", "/copie"}}});
        const auto caption = [](bool on) { return on ? QStringLiteral("Disattiva uso pwd") : QStringLiteral("Attiva uso pwd"); };
        openWindow<Timp_varieForm>(imp_varieForm, [&](Timp_varieForm &window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("Impostazioni  Varie"));
            auto *pages = window.findChild<QTabWidget *>(QStringLiteral("PageControl1"));
            QCOMPARE(pages->currentIndex(), 0);
            QCOMPARE(pages->tabText(0), QStringLiteral("Backup"));
            QCOMPARE(pages->tabText(1), QStringLiteral("Gestione Password "));
            pages->setCurrentIndex(1);
            QAbstractButton *toggle = button(window, "SpeedButton1");
            QCOMPARE(toggle->text(), caption(inUse));
            QCOMPARE(button(window, "SpeedButton2")->isVisible(), inUse);
            if (inUse && presses == 2)
                shoot(window, QStringLiteral("imp_varie_password"));
            for (int press = 0; press < presses; ++press)
                toggle->click();
            QCOMPARE(toggle->text(), caption(storedInUse));
            QCOMPARE(button(window, "SpeedButton2")->isVisible(), storedInUse);
            // Nothing is stored before "&Chiudi".
            QCOMPARE(stored(QStringLiteral("Usa_pwd")).toBool(), inUse);
            button(window, "BitBtn1")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{Restart});
        QCOMPARE(stored(QStringLiteral("Usa_pwd")).toBool(), storedInUse);
        QCOMPARE(stored(QStringLiteral("Dir_backup")).toString(), QStringLiteral("/copie"));
    }

    void gestioneUtentiOpensTheUsers()
    {
        openData({{{"Usa_pwd", true}}});
        QString caption;
        openWindow<Timp_varieForm>(imp_varieForm, [&](Timp_varieForm &window) {
            ModalWindows::setNextHandler([&](QDialog &users) {
                caption = users.windowTitle();
                button(users, "SpeedButton4")->click();
            });
            button(window, "SpeedButton2")->click();
            button(window, "BitBtn1")->click();
        });
        QCOMPARE(caption, QStringLiteral("Elenco Utenti:"));
    }

    // Read back only after a write that succeeded: the file of a failed one holds older values.
    void chiudiWritesTheConfigurationAndAsksForARestart_data()
    {
        QTest::addColumn<bool>("writable");
        QTest::newRow("file written") << true;
        QTest::newRow("file cannot be written") << false;
    }
    void chiudiWritesTheConfigurationAndAsksForARestart()
    {
        QFETCH(bool, writable);
        if (!writable)
            QVERIFY(QDir().mkpath(config::filePath()));
        openData({});
        appState().GestioneAnni = QStringLiteral("SI");
        openWindow<Timp_varieForm>(imp_varieForm, [](Timp_varieForm &window) { button(window, "BitBtn1")->click(); });
        QCOMPARE(appState().GestioneAnni, QStringLiteral("SI"));
        const QList<ShownMessage> shown = Messages::shown();
        QCOMPARE(shown.size(), writable ? 1 : 2);
        QCOMPARE(shown.first().kind, writable ? MessageKind::Plain : MessageKind::Error);
        QCOMPARE(shown.last(), (ShownMessage{MessageKind::Plain, Restart}));
        if (writable) {
            config::read(appState());
            QCOMPARE(appState().GestioneAnni, QStringLiteral("SI"));
        }
        // Nothing was changed, so no settings record was made.
        QVERIFY(!stored(QStringLiteral("Dir_backup")).isValid());
    }

    void impostaStoresTheFolderWhereTheBackupsGo_data()
    {
        QTest::addColumn<bool>("withRecord");
        QTest::newRow("settings stored before") << true;
        QTest::newRow("no settings record yet") << false;
    }
    void impostaStoresTheFolderWhereTheBackupsGo()
    {
        QFETCH(bool, withRecord);
        const QString chosen = under(QStringLiteral("copie"));
        QVERIFY(QDir().mkpath(chosen));
        openData(withRecord ? QList<QVariantMap>{{{"Usa_pwd", true}, {"Dir_backup", under(QStringLiteral("vecchie"))}}}
                            : QList<QVariantMap>{});
        const QString volume = QDir::toNativeSeparators(QStorageInfo(chosen).rootPath());
        openWindow<Timp_varieForm>(imp_varieForm, [&](Timp_varieForm &window) {
            chooseFolder(window, chosen);
            button(window, "Impostabtn")->click();
            QCOMPARE(lineEdit(window, "DBEdit1")->text(), QDir::toNativeSeparators(chosen));
            QCOMPARE(lineEdit(window, "DBEdit2")->text(), volume);
            QVERIFY(lineEdit(window, "DBEdit1")->isReadOnly());
            QVERIFY(lineEdit(window, "DBEdit2")->isReadOnly());
            shoot(window, QStringLiteral("imp_varie"));
            button(window, "BitBtn1")->click();
        });
        QCOMPARE(Messages::shownTexts(), QStringList{Restart});
        QCOMPARE(stored(QStringLiteral("Dir_backup")).toString(), QDir::toNativeSeparators(chosen));
        QCOMPARE(stored(QStringLiteral("Unita_backup")).toString(), volume);
        QCOMPARE(stored(QStringLiteral("Usa_pwd")).toBool(), withRecord);

        // Shown again at the next opening.
        openWindow<Timp_varieForm>(imp_varieForm, [&](Timp_varieForm &window) {
            QCOMPARE(currentFolder(window), chosen);
            window.reject();
        });

        Messages::clear();
        backup::CopiaDiSalvataggio();
        const QStringList made = QDir(chosen).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(made.size(), 1);
        QVERIFY(QFileInfo::exists(QDir(chosen).filePath(made.first() + QStringLiteral("/dati/impostazioni.sqlite"))));
        QCOMPARE(Messages::shownTexts(), QStringList{QStringLiteral("Salvataggio eseguito correttamente nella cartella :")
                                                     + QDir::toNativeSeparators(QDir(chosen).filePath(made.first()))});
    }

    // The field would cut the path and send the backups into another folder.
    void aFolderTooLongForTheSettingsIsRefused()
    {
        const QString chosen = under(QString(200, QLatin1Char('a')) + QLatin1Char('/') + QString(60, QLatin1Char('b')));
        QVERIFY(QDir().mkpath(chosen));
        openData({{{"Dir_backup", "/copie"}}});
        openWindow<Timp_varieForm>(imp_varieForm, [&](Timp_varieForm &window) {
            chooseFolder(window, chosen);
            button(window, "Impostabtn")->click();
            QVERIFY(!dm->TabImpostazioni->isEditing());
            button(window, "BitBtn1")->click();
        });
        QCOMPARE(Messages::shownTexts(), (QStringList{QStringLiteral("impossibile impostare"), Restart}));
        QCOMPARE(stored(QStringLiteral("Dir_backup")).toString(), QStringLiteral("/copie"));
    }

    void closingFromTheFrameDropsTheChange()
    {
        const QString chosen = under(QStringLiteral("copie"));
        QVERIFY(QDir().mkpath(chosen));
        openData({{{"Usa_pwd", false}, {"Dir_backup", "/copie"}}});
        openWindow<Timp_varieForm>(imp_varieForm, [&](Timp_varieForm &window) {
            chooseFolder(window, chosen);
            button(window, "Impostabtn")->click();
            button(window, "SpeedButton1")->click();
            QVERIFY(window.close());
        });
        QVERIFY(Messages::shown().isEmpty());
        QVERIFY(!m_data->TabImpostazioni->isEditing());
        QVERIFY(!m_data->TabImpostazioni->asBoolean(QStringLiteral("Usa_pwd")));
        QCOMPARE(m_data->TabImpostazioni->asString(QStringLiteral("Dir_backup")), QStringLiteral("/copie"));
        QCOMPARE(stored(QStringLiteral("Dir_backup")).toString(), QStringLiteral("/copie"));
    }
};

QTEST_MAIN(tst_Imp_varie)
#include "tst_imp_varie.moc"
