#include "registries/soggettow.h"

#include "ground/messages.h"
#include "data/tdm.h"
#include "registries/lsoggw.h"
#include "registries/zoom_comuniw.h"
#include "ui/aprimodale.h"
#include "ui/dbcombobox.h"
#include "ui/dbdateedit.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/radiogroup.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

Tsoggettoform *soggettoform = nullptr;

using engine::Table;

namespace {

struct SubjectField {
    const char *field;
    const char *label;
    int width; // the capitals the control shows at once
};

struct SubjectGroup {
    const char *title;
    QList<SubjectField> fields;
};

const QList<SubjectGroup> SubjectGroups{
    {"Generale - soggetto obbligato", {{"Piva", "Piva", 12}, {"CF", "Codice Fiscale", 17}}},
    {" da impostare solo nel caso di persona giuridica",
     {{"PG_denominazione", "Denominazione", 40}, {"PG_comune_fiscale", "Comune fiscale", 30}, {"PG_prov_fiscale", "Prov. fiscale", 3}}},
    {" da impostare solo nel caso di persona fisica",
     {{"PF_cognome", "Cognome", 26}, {"PF_nome", "Nome", 25}, {"PF_sesso", "sesso", 12}, {"Pf_data_nascita", "Data nascita", 10},
      {"Pf_comune_nascita", "Comune nascita", 30}, {"Pf_prov_nascita", "Prov. nascita", 3}}},
};
enum { GeneralGroup, LegalGroup, NaturalGroup };

const QString LegalKind = QStringLiteral("0");
const QString NaturalKind = QStringLiteral("1");

// The three groups of a page, each field's control made by `make`; the labels of all three share one
// width, so that the fields line up from group to group.
QList<QGroupBox *> subjectGroups(QWidget *page, const std::function<QWidget *(const SubjectField &)> &make)
{
    int labelWidth = 0;
    for (const SubjectGroup &group : SubjectGroups) {
        for (const SubjectField &field : group.fields)
            labelWidth = std::max(labelWidth, page->fontMetrics().horizontalAdvance(QString::fromUtf8(field.label)));
    }
    QList<QGroupBox *> groups;
    for (const SubjectGroup &group : SubjectGroups) {
        auto *box = new QGroupBox(QString::fromUtf8(group.title), page);
        auto *form = new QFormLayout(box);
        form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        for (const SubjectField &field : group.fields) {
            auto *label = new QLabel(QString::fromUtf8(field.label), box);
            label->setMinimumWidth(labelWidth);
            label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
            form->addRow(label, make(field));
        }
        groups.append(box);
    }
    return groups;
}

void fitWidth(QWidget *control, int characters)
{
    control->setFixedWidth(control->fontMetrics().horizontalAdvance(QString(characters, QLatin1Char('X'))) + 16);
}

} // namespace

Tsoggettoform::Tsoggettoform(QWidget *parent)
    : RegistryWindow("soggettoform", QStringLiteral("Dati sul Soggetto Obbligato e relative abilitazioni"), {1100, 660}, parent)
{
    buildDisplayPage();
    buildEditPage();
    Tdm::laboratoryWindow = this;
}

Tsoggettoform::~Tsoggettoform()
{
    if (Tdm::laboratoryWindow == this)
        Tdm::laboratoryWindow = nullptr;
}

void Tsoggettoform::buildDisplayPage()
{
    auto *page = new QWidget(this);
    const QList<QGroupBox *> groups = subjectGroups(page, [page](const SubjectField &field) {
        auto *shown = new DBEdit(page);
        shown->setObjectName(QStringLiteral("DBText") + QString::fromLatin1(field.field));
        shown->bind(dm->dssoggetto, QString::fromLatin1(field.field));
        ui::setFieldReadOnly(shown, true);
        // Read-only: Tab goes from command to command.
        shown->setFocusPolicy(Qt::ClickFocus);
        fitWidth(shown, field.width);
        return shown;
    });
    // As wide as the widest, so that the page keeps its place whichever group is shown.
    int width = 0;
    for (QGroupBox *group : groups)
        width = std::max(width, group->sizeHint().width());
    for (QGroupBox *group : groups)
        group->setMinimumWidth(width);
    groups[GeneralGroup]->setObjectName(QStringLiteral("GroupBox1"));
    m_legalGroup = groups[LegalGroup];
    m_legalGroup->setObjectName(QStringLiteral("GroupBox2"));
    m_naturalGroup = groups[NaturalGroup];
    m_naturalGroup->setObjectName(QStringLiteral("GroupBox3"));

    auto *grid = new DBGrid(page);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setDataSource(dm->dslsogg);
    grid->setColumns({{QStringLiteral("Tipo_abilitazione"), QStringLiteral("Tipo_abilitazione"), 0},
                      {QStringLiteral("Id_al_sigillo"), QStringLiteral("Id alfanumerico del sigillo"), 0}});
    auto *legend = new QLabel(QStringLiteral("Legenda tipo abilitazione:\n1=Fabbricante abilitato\n2=Laboratorio Autonomo"), page);
    legend->setObjectName(QStringLiteral("Label1"));
    legend->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    // Made in the order Tab walks them.
    QPushButton *edit = command("SpeedButton2", QStringLiteral("Modifica"), page, &Tsoggettoform::SpeedButton2Click);
    QPushButton *newAuthorisation = command("SpeedButton3", QStringLiteral("Nuova abilitazione"), page, &Tsoggettoform::SpeedButton3Click);
    QPushButton *editAuthorisation = command("SpeedButton4", QStringLiteral("Modifica abilitazione"), page, &Tsoggettoform::SpeedButton4Click);
    QPushButton *deleteAuthorisation = command("SpeedButton5", QStringLiteral("Elimina"), page, &Tsoggettoform::SpeedButton5Click);
    QPushButton *close = command("SpeedButton1", QStringLiteral("chiudi"), page, &Tsoggettoform::SpeedButton1Click);
    auto *note = new QLabel(QStringLiteral("Vengono modificati i dati generali dell'azienda"), page);
    note->setObjectName(QStringLiteral("Label2"));

    auto *subject = new QVBoxLayout;
    subject->addWidget(edit, 0, Qt::AlignLeft);
    subject->addWidget(note);
    subject->addSpacing(12);
    for (QGroupBox *group : groups)
        subject->addWidget(group);
    subject->addStretch();

    auto *listAndLegend = new QHBoxLayout;
    listAndLegend->addWidget(grid, 1);
    listAndLegend->addWidget(legend);
    auto *authorisationCommands = new QHBoxLayout;
    authorisationCommands->addWidget(newAuthorisation);
    authorisationCommands->addWidget(editAuthorisation);
    authorisationCommands->addWidget(deleteAuthorisation);
    authorisationCommands->addStretch();
    auto *authorisations = new QVBoxLayout;
    authorisations->addLayout(listAndLegend, 1);
    authorisations->addLayout(authorisationCommands);

    auto *columns = new QHBoxLayout;
    columns->addLayout(subject);
    columns->addSpacing(24);
    columns->addLayout(authorisations, 1);
    auto *leaving = new QHBoxLayout;
    leaving->addStretch();
    leaving->addWidget(close);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(columns, 1);
    layout->addLayout(leaving);
    addPage("TabSheet1", page, PageKind::List, edit);
}

void Tsoggettoform::buildEditPage()
{
    auto *page = m_editPage = new QWidget(this);
    const QList<QGroupBox *> groups = subjectGroups(page, [this, page](const SubjectField &field) -> QWidget * {
        const QString name = QString::fromLatin1(field.field);
        const QByteArray objectName = QByteArrayLiteral("DBEdit") + field.field;
        QWidget *control;
        if (name == QLatin1String("PF_sesso")) {
            auto *sex = new DBComboBox(page);
            sex->bind(dm->dssoggetto, name);
            sex->setItems({QStringLiteral("M=Maschio"), QStringLiteral("F=Femmina")});
            control = sex;
        } else if (name == QLatin1String("Pf_data_nascita")) {
            auto *date = new DBDateEdit(page);
            date->bind(dm->dssoggetto, name);
            control = date;
        } else {
            control = ui::upperCaseEdit(objectName.constData(), dm->dssoggetto, name, page);
        }
        control->setObjectName(QString::fromLatin1(objectName));
        fitWidth(control, field.width);
        m_editFields.insert(name, control);
        if (name != QLatin1String("PG_comune_fiscale") && name != QLatin1String("Pf_comune_nascita"))
            return control;
        // The municipality with its search beside it.
        const bool seat = name == QLatin1String("PG_comune_fiscale");
        auto *row = new QWidget(page);
        auto *rowLayout = new QHBoxLayout(row);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        control->setParent(row);
        rowLayout->addWidget(control);
        rowLayout->addWidget(seat ? command("SpeedButton6", QStringLiteral("Cerca il comune"), row, &Tsoggettoform::SpeedButton6Click)
                                  : command("SpeedButton9", QStringLiteral("Cerca il comune"), row, &Tsoggettoform::SpeedButton9Click));
        return row;
    });
    groups[GeneralGroup]->setObjectName(QStringLiteral("GroupBox4"));
    groups[LegalGroup]->setObjectName(QStringLiteral("GroupBox5"));
    groups[NaturalGroup]->setObjectName(QStringLiteral("GroupBox6"));
    for (const char *province : {"PG_prov_fiscale", "Pf_prov_nascita"})
        ui::setFieldReadOnly(m_editFields.value(QString::fromLatin1(province)), true);

    m_kind = new DBRadioGroup(QStringLiteral("Seleziona"), page);
    m_kind->setObjectName(QStringLiteral("DBRadioGroup1"));
    m_kind->setItems({QStringLiteral("Persona Giuridica"), QStringLiteral("Persona Fisica")});
    m_kind->setValues({LegalKind, NaturalKind});
    m_kind->bind(dm->dssoggetto, QStringLiteral("PG_PF"));
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (old && now && m_kind->isAncestorOf(old) && !m_kind->isAncestorOf(now))
            DBRadioGroup1Exit();
    });

    auto *top = new QHBoxLayout;
    top->addWidget(groups[GeneralGroup], 1);
    top->addWidget(m_kind);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(command("Button1", QStringLiteral("OK"), page, &Tsoggettoform::Button1Click));
    buttons->addWidget(command("Button2", QStringLiteral("Annulla"), page, &Tsoggettoform::Button2Click));
    // A column as wide as its widest group, centred, so that a large window keeps the form compact.
    auto *form = new QVBoxLayout;
    form->addLayout(top);
    form->addWidget(groups[LegalGroup]);
    form->addWidget(groups[NaturalGroup]);
    form->addLayout(buttons);
    auto *centre = new QHBoxLayout;
    centre->addStretch();
    centre->addLayout(form);
    centre->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addLayout(centre);
    layout->addStretch(2);
    // Tab follows the page from top to bottom: the kind comes right after the general data.
    setTabOrder(m_editFields.value(QStringLiteral("CF")), m_kind->button(0));
    setTabOrder(m_kind->button(0), m_kind->button(1));
    setTabOrder(m_kind->button(1), m_editFields.value(QStringLiteral("PG_denominazione")));
    addPage("TabSheet2", page, PageKind::Entry, m_editFields.value(QStringLiteral("Piva")));
}

void Tsoggettoform::FormShow()
{
    RegistryWindow::FormShow();
    showSubjectGroups();
}

// Only the group of the kind chosen; without a kind the groups stay as they are.
void Tsoggettoform::showSubjectGroups()
{
    const QString kind = dm->Tabsoggetto->asString(QStringLiteral("PG_PF"));
    if (kind != LegalKind && kind != NaturalKind)
        return;
    m_legalGroup->setVisible(kind == LegalKind);
    m_naturalGroup->setVisible(kind == NaturalKind);
}

void Tsoggettoform::focusPiva()
{
    m_editFields.value(QStringLiteral("Piva"))->setFocus();
}

void Tsoggettoform::setFieldReadOnly(const QString &field, bool readOnly)
{
    if (QWidget *control = m_editFields.value(field))
        ui::setFieldReadOnly(control, readOnly);
}

void Tsoggettoform::SpeedButton2Click()
{
    if (startEntry(dm->Tabsoggetto, Entry::Edit, EditPage))
        dm->TabsoggettoPG_PFChange();
}

bool Tsoggettoform::laboratoryMissing() const
{
    if (!dm->Tabsoggetto->isEmpty())
        return false;
    Messages::information(QStringLiteral("Inserire prima i dati generali sul soggetto obbligato tramite il bottone modifica in alto."));
    return true;
}

// The dialog finds the authorisation row started and ends it.
void Tsoggettoform::openAuthorisation(Entry entry)
{
    if (laboratoryMissing())
        return;
    try {
        if (entry == Entry::Append)
            dm->TabLsogg->append();
        else
            dm->TabLsogg->edit();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    ApriModale(lsogg_form, this);
}

void Tsoggettoform::SpeedButton3Click()
{
    openAuthorisation(Entry::Append);
}

void Tsoggettoform::SpeedButton4Click()
{
    openAuthorisation(Entry::Edit);
}

void Tsoggettoform::SpeedButton5Click()
{
    Table *authorisations = dm->TabLsogg;
    if (authorisations->isEmpty()) {
        Messages::plain(QStringLiteral("Nulla da eliminare"));
        return;
    }
    if (!Messages::confirm(QStringLiteral("Sei sicuro di volere cancellare l'abilitazione selezionata?")))
        return;
    try {
        // The technicians' shared cursor holds every technician: no window filters it.
        const QVariant id = authorisations->value(QStringLiteral("Id_Lsogg"));
        if (!dm->Tabtecnico->lookup(QStringLiteral("Id_sogg"), {id}, QStringLiteral("Id_tecnico")).isNull()) {
            Messages::warning(QStringLiteral("Eliminazione impossibile. Eliminare prima i tecnici legati a questa abilitazione."));
            return;
        }
        authorisations->remove();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    Messages::plain(QStringLiteral("Abilitazione eliminata correttamente."));
}

void Tsoggettoform::SpeedButton1Click()
{
    accept();
}

void Tsoggettoform::Button1Click()
{
    static const QStringList legal{QStringLiteral("Piva"), QStringLiteral("CF"), QStringLiteral("PG_denominazione"),
                                   QStringLiteral("PG_comune_fiscale"), QStringLiteral("PG_prov_fiscale")};
    static const QStringList natural{QStringLiteral("Piva"), QStringLiteral("CF"), QStringLiteral("PF_cognome"),
                                     QStringLiteral("PF_nome"), QStringLiteral("Pf_comune_nascita"), QStringLiteral("Pf_prov_nascita"),
                                     QStringLiteral("PF_sesso"), QStringLiteral("Pf_data_nascita")};
    Table *laboratory = dm->Tabsoggetto;
    // What is typed reaches the fields first; an incomplete row is refused without a word.
    if (!commitEdits(m_editPage))
        return;
    const QStringList &required = laboratory->asString(QStringLiteral("PG_PF")) == LegalKind ? legal : natural;
    for (const QString &field : required) {
        if (laboratory->asString(field).trimmed().isEmpty())
            return;
    }
    if (storeEntry(laboratory))
        showSubjectGroups();
}

void Tsoggettoform::Button2Click()
{
    cancelEntry(dm->Tabsoggetto);
    showSubjectGroups();
}

void Tsoggettoform::searchMunicipality(const QString &field, const QString &callerTag)
{
    auto *municipality = qobject_cast<QLineEdit *>(m_editFields.value(field));
    if (municipality->isReadOnly())
        return;
    ::searchMunicipality(callerTag, municipality->text(), this);
}

void Tsoggettoform::SpeedButton6Click()
{
    searchMunicipality(QStringLiteral("PG_comune_fiscale"), QStringLiteral("SOGGETTO1"));
}

void Tsoggettoform::SpeedButton9Click()
{
    searchMunicipality(QStringLiteral("Pf_comune_nascita"), QStringLiteral("SOGGETTO2"));
}

void Tsoggettoform::DBRadioGroup1Exit()
{
    if (m_kind->itemIndex() == 0)
        m_editFields.value(QStringLiteral("PG_denominazione"))->setFocus();
    else if (m_kind->itemIndex() == 1)
        m_editFields.value(QStringLiteral("PF_cognome"))->setFocus();
}
