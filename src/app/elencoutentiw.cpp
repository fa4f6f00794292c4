#include "app/elencoutentiw.h"

#include "app/passwords.h"
#include "data/tdm.h"
#include "ground/messages.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/keyhelpers.h"

TelencoutentiForm *elencoutentiForm = nullptr;

namespace {

bool isProtectedUser(const QString &name)
{
    return name == QLatin1String(passwords::ProtectedUser);
}

} // namespace

TelencoutentiForm::TelencoutentiForm(QWidget *parent)
    : RegistryWindow("elencoutentiForm", QStringLiteral("Elenco Utenti:"), {640, 460}, parent)
{
    buildListPage();
    buildEntryPage();
}

void TelencoutentiForm::buildListPage()
{
    auto *grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setDataSource(dm->dspwd);
    // A hash means nothing to the reader: the list shows that a password is there, not what it holds.
    GridColumn password{QStringLiteral("Password"), QStringLiteral("Password"), 160};
    password.shownAs = [](const QString &text) { return passwords::isHash(text) ? QStringLiteral("********") : text; };
    grid->setColumns({{QStringLiteral("Nome"), QStringLiteral("Nome"), 160}, password, {QStringLiteral("Livello"), QStringLiteral("Livello"), 0}});

    QPushButton *newButton = command("SpeedButton1", QStringLiteral("Nuovo"), this, &TelencoutentiForm::SpeedButton1Click);
    QPushButton *editButton = command("SpeedButton2", QStringLiteral("Modifica"), this, &TelencoutentiForm::SpeedButton2Click);
    QPushButton *deleteButton = command("SpeedButton3", QStringLiteral("Elimina"), this, &TelencoutentiForm::SpeedButton3Click);
    QPushButton *close = command("SpeedButton4", QStringLiteral("Chiudi"), this, &TelencoutentiForm::SpeedButton4Click);
    addPage("TabSheet1", ui::listPage(grid, {newButton, editButton, deleteButton}, {close}, this), PageKind::List, grid);
}

void TelencoutentiForm::buildEntryPage()
{
    m_name = ui::upperCaseEdit("DBEdit1", dm->dspwd, QStringLiteral("Nome"), this);
    m_password = new QLineEdit(this);
    m_password->setObjectName(QStringLiteral("Edit1"));
    m_password->setMaxLength(passwords::MaxLength);
    ui::setUpperCase(m_password);
    addEntryPage("TabSheet2", QStringLiteral("Utente"),
                 {{QStringLiteral("Nome"), m_name}, {QStringLiteral("Password"), m_password}},
                 {command("Button1", QStringLiteral("OK"), this, &TelencoutentiForm::Button1Click),
                  command("Button2", QStringLiteral("Annulla"), this, &TelencoutentiForm::Button2Click)},
                 m_name);
}

QString TelencoutentiForm::closeRefusal() const
{
    return QStringLiteral("Per uscire usare il tasto chiudi");
}

void TelencoutentiForm::startUserEntry(Entry entry, bool nameReadOnly)
{
    ui::setFieldReadOnly(m_name, nameReadOnly);
    // The stored password is a hash: every entry types the password anew.
    m_password->clear();
    startEntry(dm->Tabpwd, entry, EntryPage);
}

void TelencoutentiForm::SpeedButton1Click()
{
    startUserEntry(Entry::Append, false);
}

void TelencoutentiForm::SpeedButton2Click()
{
    startUserEntry(Entry::Edit, isProtectedUser(dm->Tabpwd->asString(QStringLiteral("Nome"))));
}

void TelencoutentiForm::SpeedButton3Click()
{
    engine::Table *users = dm->Tabpwd;
    if (users->isEmpty())
        return;
    if (isProtectedUser(users->asString(QStringLiteral("Nome")))) {
        Messages::plain(QStringLiteral("Impossibile eliminare"));
        return;
    }
    try {
        users->remove();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    Messages::plain(QStringLiteral("Eliminazione eseguita"));
}

void TelencoutentiForm::SpeedButton4Click()
{
    accept();
}

void TelencoutentiForm::Button1Click()
{
    if (m_name->text().isEmpty() || m_password->text().isEmpty()) {
        Messages::plain(QStringLiteral("inserire tutti i valori"));
        return;
    }
    const QString password = m_password->text();
    storeEntry(dm->Tabpwd, [password] { dm->Tabpwd->setValue(QStringLiteral("Password"), passwords::hash(password)); });
}

void TelencoutentiForm::Button2Click()
{
    cancelEntry(dm->Tabpwd);
}
