#include "registries/lsoggw.h"

#include "ground/messages.h"
#include "data/tdm.h"
#include "ui/closeguard.h"
#include "ui/dbcombobox.h"
#include "ui/dbedit.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

Tlsogg_form *lsogg_form = nullptr;

Tlsogg_form::Tlsogg_form(QWidget *parent)
    : QDialog(parent)
{
    Tdm &data = requireDataModule();
    setObjectName(QStringLiteral("lsogg_form"));
    setWindowTitle(QStringLiteral("Dati abilitazione:"));

    m_type = new DBComboBox(this);
    m_type->setObjectName(QStringLiteral("DBComboBox1"));
    m_type->bind(data.dslsogg, QStringLiteral("Tipo_abilitazione"));
    m_type->setItems({QStringLiteral("1=Fabbricante abilitato"), QStringLiteral("2=Laboratorio Autonomo")});
    m_seal = ui::upperCaseEdit("DBEdit1", data.dslsogg, QStringLiteral("Id_al_sigillo"), this);
    auto *legend = new QLabel(QStringLiteral("Nuove disposizioni 2010:\n1=Fabbricante abilitato\n2=Laboratorio Autonomo"), this);
    legend->setObjectName(QStringLiteral("Label3"));

    auto *ok = ui::commandButton("Button1", QStringLiteral("Ok"), this);
    connect(ok, &QPushButton::clicked, this, &Tlsogg_form::Button1Click);
    auto *cancel = ui::commandButton("Button2", QStringLiteral("Annulla"), this);
    connect(cancel, &QPushButton::clicked, this, &Tlsogg_form::Button2Click);

    QWidget *page = ui::entryPage(QString(),
                                  {{QStringLiteral("Tipo_abilitazione"), m_type},
                                   {QStringLiteral("Id alfanumerico del sigillo"), m_seal},
                                   {QString(), legend}},
                                  {ok, cancel}, this);
    ui::enterMovesToNextField(page);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(page);
    m_type->setFocus();
    new CloseGuard(this, [] { return QStringLiteral("Per uscire dalla finestra usare i tasti opportuni"); });
}

void Tlsogg_form::Button1Click()
{
    if (!commitEdits(this))
        return;
    if (m_seal->text().isEmpty() || m_type->currentText().isEmpty()) {
        Messages::plain(QStringLiteral("Per confermare è necessario inserire tutti i valori nei campi"));
        return;
    }
    try {
        dm->TabLsogg->post();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    accept();
}

void Tlsogg_form::Button2Click()
{
    reject();
}

void Tlsogg_form::done(int result)
{
    // A row still being entered is dropped; after "Ok" there is none.
    dm->TabLsogg->cancel();
    QDialog::done(result);
}
