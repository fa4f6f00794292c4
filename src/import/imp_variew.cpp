#include "import/imp_variew.h"

#include "app/elencoutentiw.h"
#include "app/passwords.h"
#include "data/catalogue.h"
#include "data/tdm.h"
#include "ground/config.h"
#include "ground/messages.h"
#include "ground/state.h"
#include "ui/aprimodale.h"
#include "ui/dbedit.h"
#include "ui/forms.h"

#include <QComboBox>
#include <QDir>
#include <QFileSystemModel>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStorageInfo>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

Timp_varieForm *imp_varieForm = nullptr;

namespace {

const QString CannotSet = QStringLiteral("impossibile impostare");

// A path cut to the field's size would send the backups to another folder.
bool fits(const QString &field, const QString &text)
{
    return text.size() <= catalogue::schema(QStringLiteral("impostazioni")).field(field)->size;
}

DBEdit *storedValue(const char *objectName, const QString &field, QWidget *parent)
{
    auto *edit = new DBEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->bind(dm->DataSource4, field);
    ui::setFieldReadOnly(edit, true);
    // Shown, not typed into: Tab passes over it, a click still selects the text to copy.
    edit->setFocusPolicy(Qt::ClickFocus);
    return edit;
}

} // namespace

Timp_varieForm::Timp_varieForm(QWidget *parent)
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("imp_varieForm"));
    setWindowTitle(QStringLiteral("Impostazioni  Varie"));
    resize(720, 560);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addTab(buildBackupPage(), QStringLiteral("Backup"));
    m_pages->addTab(buildPasswordPage(), QStringLiteral("Gestione Password "));

    QPushButton *close = ui::commandButton("BitBtn1", QStringLiteral("&Chiudi"), this);
    connect(close, &QPushButton::clicked, this, &Timp_varieForm::BitBtn1Click);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages, 1);
    layout->addLayout(bottom);
}

QWidget *Timp_varieForm::buildBackupPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet1"));
    DBEdit *folder = storedValue("DBEdit1", QStringLiteral("Dir_backup"), page);
    DBEdit *volume = storedValue("DBEdit2", QStringLiteral("Unita_backup"), page);

    m_volumes = new QComboBox(page);
    m_volumes->setObjectName(QStringLiteral("DriveComboBox1"));
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folderModel->setReadOnly(true);
    m_folders = new QTreeView(page);
    m_folders->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_folders->setModel(m_folderModel);
    m_folders->setHeaderHidden(true);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);
    QPushButton *imposta = ui::commandButton("Impostabtn", QStringLiteral("Imposta"), page);
    connect(imposta, &QPushButton::clicked, this, &Timp_varieForm::ImpostabtnClick);
    connect(m_volumes, &QComboBox::currentIndexChanged, this,
            [this](int index) { showVolume(m_volumes->itemData(index).toString()); });
    fillVolumes();
    showStoredFolder();

    auto *stored = new QFormLayout;
    stored->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    stored->addRow(QStringLiteral("Dir_backup"), folder);
    stored->addRow(QStringLiteral("Unita_backup"), volume);
    auto *choice = new QHBoxLayout;
    choice->addWidget(new QLabel(QStringLiteral("Scegliere il disco e la cartella delle copie di salvataggio:"), page));
    choice->addStretch();
    auto *command = new QHBoxLayout;
    command->addStretch();
    command->addWidget(imposta);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(stored);
    layout->addSpacing(8);
    layout->addLayout(choice);
    layout->addWidget(m_volumes);
    layout->addWidget(m_folders, 1);
    layout->addLayout(command);
    return page;
}

QWidget *Timp_varieForm::buildPasswordPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet2"));
    m_toggle = ui::commandButton("SpeedButton1", QString(), page);
    m_toggle->setMinimumWidth(180);
    connect(m_toggle, &QPushButton::clicked, this, &Timp_varieForm::SpeedButton1Click);
    m_users = ui::commandButton("SpeedButton2", QStringLiteral("Gestione UTENTI"), page);
    m_users->setMinimumWidth(180);
    connect(m_users, &QPushButton::clicked, this, &Timp_varieForm::SpeedButton2Click);
    auto *note = new QLabel(
        QStringLiteral("Attivando l'uso delle password, all'avvio il programma chiede un utente e la sua password.\n\n"
                       "Esiste sempre l'utente fisso %1, che non si può eliminare ma di cui si può cambiare la password: "
                       "la sua password iniziale è 1 (un solo carattere).\n\n"
                       "Con \u00abGestione UTENTI\u00bb si possono creare altri utenti.")
            .arg(QLatin1String(passwords::ProtectedUser)),
        page);
    note->setObjectName(QStringLiteral("Label1"));
    note->setWordWrap(true);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_toggle);
    buttons->addWidget(m_users);
    buttons->addStretch();
    auto *layout = new QHBoxLayout(page);
    layout->addLayout(buttons);
    layout->addSpacing(16);
    layout->addWidget(note, 1, Qt::AlignTop);
    return page;
}

void Timp_varieForm::fillVolumes()
{
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(),
              [](const QStorageInfo &a, const QStorageInfo &b) { return a.rootPath() < b.rootPath(); });
    const QSignalBlocker quiet(m_volumes);
    for (const QStorageInfo &volume : std::as_const(volumes)) {
        if (!volume.isValid() || !volume.isReady())
            continue;
        QString text = QDir::toNativeSeparators(volume.rootPath());
        if (!volume.name().isEmpty())
            text += QStringLiteral("  [%1]").arg(volume.name());
        m_volumes->addItem(text, volume.rootPath());
    }
}

void Timp_varieForm::showStoredFolder()
{
    const QString stored = QDir::fromNativeSeparators(dm->TabImpostazioni->isOpen()
                                                          ? dm->TabImpostazioni->asString(QStringLiteral("Dir_backup")).trimmed()
                                                          : QString());
    const bool storedExists = !stored.isEmpty() && QDir(stored).exists();
    const int found = m_volumes->findData(QStorageInfo(storedExists ? stored : appState().DirBase).rootPath());
    const int index = std::max(0, found);
    {
        const QSignalBlocker quiet(m_volumes);
        m_volumes->setCurrentIndex(index);
    }
    showVolume(m_volumes->itemData(index).toString());
    if (storedExists && found >= 0) {
        const QModelIndex folder = m_folderModel->index(stored);
        m_folders->setCurrentIndex(folder);
        m_folders->scrollTo(folder);
    }
}

void Timp_varieForm::showVolume(const QString &rootPath)
{
    m_folderModel->setRootPath(rootPath);
    m_folders->setRootIndex(m_folderModel->index(rootPath));
    m_folders->setCurrentIndex({});
}

QString Timp_varieForm::chosenFolder() const
{
    const QModelIndex current = m_folders->currentIndex();
    return current.isValid() ? m_folderModel->filePath(current) : m_volumes->currentData().toString();
}

void Timp_varieForm::showPasswordUse(bool inUse)
{
    m_toggle->setText(inUse ? QStringLiteral("Disattiva uso pwd") : QStringLiteral("Attiva uso pwd"));
    m_users->setVisible(inUse);
}

void Timp_varieForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void Timp_varieForm::FormShow()
{
    showPasswordUse(passwords::loginRequired());
    m_pages->setCurrentIndex(0);
    m_volumes->setFocus();
}

void Timp_varieForm::ImpostabtnClick()
{
    const QString folder = chosenFolder();
    const QString path = QDir::toNativeSeparators(folder);
    const QString volume = QDir::toNativeSeparators(QStorageInfo(folder).rootPath());
    if (folder.isEmpty() || !fits(QStringLiteral("Dir_backup"), path) || !fits(QStringLiteral("Unita_backup"), volume)) {
        Messages::plain(CannotSet);
        return;
    }
    try {
        engine::Table *settings = dm->TabImpostazioni;
        settings->edit();
        settings->setValue(QStringLiteral("Unita_backup"), volume);
        settings->setValue(QStringLiteral("Dir_backup"), path);
    } catch (const std::exception &) {
        Messages::plain(CannotSet);
    }
}

void Timp_varieForm::SpeedButton1Click()
{
    engine::Table *settings = dm->TabImpostazioni;
    bool inUse = false;
    try {
        settings->edit();
        inUse = !settings->asBoolean(QStringLiteral("Usa_pwd"));
        settings->setValue(QStringLiteral("Usa_pwd"), inUse);
    } catch (const std::exception &) {
        Messages::plain(CannotSet);
        return;
    }
    showPasswordUse(inUse);
}

void Timp_varieForm::SpeedButton2Click()
{
    ApriModale(elencoutentiForm, this);
}

void Timp_varieForm::BitBtn1Click()
{
    engine::Table *settings = dm->TabImpostazioni;
    if (settings->isEditing()) {
        try {
            settings->post();
        } catch (const std::exception &failure) {
            // Not stored: the window stays, with the change, for another try or to be dropped.
            Messages::error(failure);
            return;
        }
    }
    AppState &state = appState();
    // Read back only what was written: after a failed write the file holds older values than the state.
    if (config::write(state))
        config::read(state);
    Messages::plain(QStringLiteral("Per rendere effettive tutte le impostazioni uscire e rientrare nel programma"));
    accept();
}

void Timp_varieForm::done(int result)
{
    if (dm && dm->TabImpostazioni->isEditing())
        dm->TabImpostazioni->cancel();
    QDialog::done(result);
}
