#include "registries/zoom_comuniw.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "registries/comuni.h"
#include "ui/aprimodale.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/keyhelpers.h"
#include "ui/radiogroup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

TZOOM_comuniForm *ZOOM_comuniForm = nullptr;

using engine::Table;

namespace {

// What a caller tag shows. Under a tag the table does not know, everything is shown.
struct CallerLayout {
    QString caption;
    bool select;
    bool zones;     // zone grid and "Aggiungi zona"
    bool deletions; // zone "Elimina" and "Elimina comune"
};

CallerLayout callerLayout(const QString &tag)
{
    if (tag == QLatin1String("TECNICO1") || tag == QLatin1String("TECNICO2") || tag == QLatin1String("TECNICO3")
        || tag == QLatin1String("SOGGETTO1") || tag == QLatin1String("SOGGETTO2"))
        return {QStringLiteral("ZOOM COMUNI "), true, false, false};
    if (tag == QLatin1String("ESERCIZIO"))
        return {QStringLiteral("ZOOM COMUNI e ZONE"), true, true, false};
    if (tag == QLatin1String("MISURAZIONI"))
        return {QStringLiteral("ZOOM COMUNI E ZONE"), true, true, false};
    if (tag == QLatin1String("MAINFORM"))
        return {QStringLiteral("ELENCO COMUNI e ZONE"), false, true, true};
    return {QStringLiteral("ZOOM comuni:"), true, true, true};
}

// Writes the chosen municipality into the caller's record, which is normally being entered; a record
// that is only shown goes into Edit first, as typing into it would.
void writeFields(Table *record, const QList<std::pair<QString, QString>> &values)
{
    if (!record || !record->isOpen())
        return;
    try {
        if (!record->isEditing())
            record->edit();
        for (const auto &[field, value] : values)
            record->setValue(field, value);
    } catch (const std::exception &failure) {
        Messages::error(failure);
    }
}

} // namespace

TZOOM_comuniForm::TZOOM_comuniForm(QWidget *parent)
    : RegistryWindow("ZOOM_comuniForm", QStringLiteral("ZOOM comuni:"), {980, 640}, parent)
{
    buildMainPage();
    buildMunicipalityPage();
    buildZonePage();
}

void TZOOM_comuniForm::buildMainPage()
{
    auto *page = new QWidget(this);

    auto *hint = new QLabel(QStringLiteral("Clicca sulle colonne evidenziate verdi per cambiare l'ordinamento"), page);
    hint->setObjectName(QStringLiteral("Label1"));

    m_municipalities = new DBGrid(page);
    m_municipalities->setObjectName(QStringLiteral("RxDBGrid1"));
    m_municipalities->setDataSource(dm->dscomuni);
    m_municipalities->setColumns({{QStringLiteral("COMUNE"), QStringLiteral("COMUNE"), 320, true},
                                  {QStringLiteral("PROVINCIAI"), QStringLiteral("PROVINCIAI"), 110, true},
                                  {QStringLiteral("CAP"), QStringLiteral("CAP"), 80, true}});
    connect(m_municipalities, &DBGrid::titleClicked, this, &TZOOM_comuniForm::RxDBGrid1TitleClick);
    connect(m_municipalities, &QAbstractItemView::doubleClicked, this, &TZOOM_comuniForm::RxSpeedButton1Click);

    m_zonePanel = new QGroupBox(QStringLiteral("Zone"), page);
    m_zonePanel->setObjectName(QStringLiteral("GroupBoxZone"));
    m_zones = new DBGrid(m_zonePanel);
    m_zones->setObjectName(QStringLiteral("RxDBGrid2"));
    m_zones->setDataSource(dm->dszone);
    m_zones->setColumns({{QStringLiteral("CAP_zona"), QStringLiteral("CAP_zona"), 90},
                         {QStringLiteral("Descrizione"), QStringLiteral("Descrizione"), 0}});
    m_addZone = command("SpeedButton4", QStringLiteral("Aggiungi zona"), m_zonePanel, &TZOOM_comuniForm::SpeedButton4Click);
    m_deleteZone = command("SpeedButton5", QStringLiteral("Elimina"), m_zonePanel, &TZOOM_comuniForm::SpeedButton5Click);
    auto *zoneButtons = new QHBoxLayout;
    zoneButtons->addWidget(m_addZone);
    zoneButtons->addWidget(m_deleteZone);
    zoneButtons->addStretch();
    auto *zoneLayout = new QVBoxLayout(m_zonePanel);
    zoneLayout->addWidget(m_zones);
    zoneLayout->addLayout(zoneButtons);

    auto *lists = new QHBoxLayout;
    lists->addWidget(m_municipalities, 3);
    lists->addWidget(m_zonePanel, 2);

    m_findBy = new RadioGroup(QStringLiteral("Trova per :"), page);
    m_findBy->setObjectName(QStringLiteral("RadioGroup1"));
    m_findBy->setItems({QStringLiteral("Comune"), QStringLiteral("Provincia"), QStringLiteral("CAP")});
    m_findBy->setItemIndex(0);
    m_search = new QLineEdit(page);
    m_search->setObjectName(QStringLiteral("Edit1"));
    m_search->setMaxLength(40);
    m_search->setMaximumWidth(360);
    ui::setUpperCase(m_search);
    auto *find = command("SpeedButton3", QStringLiteral("Trova"), page, &TZOOM_comuniForm::Edit1Change);
    connect(m_search, &QLineEdit::textChanged, this, &TZOOM_comuniForm::Edit1Change);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(find);
    searchRow->addStretch();
    auto *searchColumn = new QVBoxLayout;
    searchColumn->addStretch();
    searchColumn->addLayout(searchRow);
    searchColumn->addStretch();

    auto *commands = new QHBoxLayout;
    commands->addWidget(command("SpeedButton1", QStringLiteral("Nuovo"), page, &TZOOM_comuniForm::SpeedButton1Click));
    commands->addWidget(command("SpeedButton2", QStringLiteral("Modifica"), page, &TZOOM_comuniForm::SpeedButton2Click));
    m_deleteMunicipality = command("SpeedButton6", QStringLiteral("Elimina comune"), page, &TZOOM_comuniForm::SpeedButton6Click);
    commands->addWidget(m_deleteMunicipality);
    commands->addSpacing(24);
    m_select = command("RxSpeedButton1", QStringLiteral("Seleziona"), page, &TZOOM_comuniForm::RxSpeedButton1Click);
    commands->addWidget(m_select);
    commands->addWidget(command("RxSpeedButton2", QStringLiteral("Chiudi"), page, &TZOOM_comuniForm::RxSpeedButton2Click));

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_findBy);
    bottom->addLayout(searchColumn, 1);
    bottom->addSpacing(24);
    bottom->addLayout(commands);
    bottom->setAlignment(commands, Qt::AlignBottom);

    auto *layout = new QVBoxLayout(page);
    layout->addWidget(hint);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    addPage("TabSheet1", page, PageKind::List, m_municipalities);
}

void TZOOM_comuniForm::buildMunicipalityPage()
{
    QList<QPair<QString, QWidget *>> fields;
    const char *const names[] = {"COMUNE", "PROVINCIAI", "CODICEFISC", "CAP", "Zona"};
    for (int i = 0; i < 5; ++i) {
        const QString field = QString::fromLatin1(names[i]);
        DBEdit *edit = ui::upperCaseEdit(("DBEdit" + QByteArray::number(i + 1)).constData(), dm->dscomuni, field, this);
        fields << qMakePair(field, static_cast<QWidget *>(edit));
        if (i == 0)
            m_name = edit;
    }
    addEntryPage("TabSheet2", QStringLiteral("Comune"), fields,
                 {command("Button1", QStringLiteral("OK"), this, &TZOOM_comuniForm::Button1Click),
                  command("Button2", QStringLiteral("ANNULLA"), this, &TZOOM_comuniForm::Button2Click)},
                 m_name);
}

void TZOOM_comuniForm::buildZonePage()
{
    QList<QPair<QString, QWidget *>> fields;
    const struct {
        const char *name;
        const char *field;
        const char *label;
    } shown[] = {{"DBEdit6", "COMUNE", "Comune"}, {"DBEdit7", "CAP", "CAP"}, {"DBEdit8", "PROVINCIAI", "Provincia"}};
    for (const auto &entry : shown) {
        auto *edit = new DBEdit(this);
        edit->setObjectName(QString::fromLatin1(entry.name));
        edit->bind(dm->dscomuni, QString::fromLatin1(entry.field));
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        fields << qMakePair(QString::fromLatin1(entry.label), static_cast<QWidget *>(edit));
    }
    m_zoneCap = new QLineEdit(this);
    m_zoneCap->setObjectName(QStringLiteral("Edit2"));
    m_zoneCap->setMaxLength(5);
    ui::setUpperCase(m_zoneCap);
    m_zoneDescription = new QLineEdit(this);
    m_zoneDescription->setObjectName(QStringLiteral("Edit3"));
    ui::setUpperCase(m_zoneDescription);
    fields << qMakePair(QStringLiteral("CAP Zonale"), static_cast<QWidget *>(m_zoneCap))
           << qMakePair(QStringLiteral("Descrizione"), static_cast<QWidget *>(m_zoneDescription));

    addEntryPage("TabSheet3", QStringLiteral("Nuova zona"), fields,
                 {command("Button3", QStringLiteral("OK"), this, &TZOOM_comuniForm::Button3Click),
                  command("Button4", QStringLiteral("Annulla"), this, &TZOOM_comuniForm::Button4Click)},
                 m_zoneCap);
}

void TZOOM_comuniForm::FormShow()
{
    applyCallerTag();
    RegistryWindow::FormShow();
    m_search->clear();
    m_zoneCap->clear();
}

void TZOOM_comuniForm::applyCallerTag()
{
    const CallerLayout shown = callerLayout(appState().ChiamanteComuni);
    setWindowTitle(shown.caption);
    m_select->setVisible(shown.select);
    m_zonePanel->setVisible(shown.zones);
    m_addZone->setVisible(shown.zones);
    m_deleteZone->setVisible(shown.deletions);
    m_deleteMunicipality->setVisible(shown.deletions);
}

void TZOOM_comuniForm::RxSpeedButton1Click()
{
    Table *municipalities = dm->Tabcomuni;
    const QString tag = appState().ChiamanteComuni;
    if (municipalities->isOpen() && !municipalities->isEmpty()) {
        const QString name = municipalities->asString(QStringLiteral("COMUNE"));
        const QString province = municipalities->asString(QStringLiteral("PROVINCIAI"));
        const QString cap = municipalities->asString(QStringLiteral("CAP"));
        const bool hasZones = dm->Tabzone->isOpen() && !dm->Tabzone->isEmpty();
        const QString zoneCap = hasZones ? dm->Tabzone->asString(QStringLiteral("CAP_zona")) : QString();

        if (tag == QLatin1String("TECNICO1") || tag == QLatin1String("TECNICO2") || tag == QLatin1String("TECNICO3")) {
            writeFields(dm->Tabtecnico, {{QStringLiteral("Comune_nascita"), name}, {QStringLiteral("Prov_nascita"), province}});
        } else if (tag == QLatin1String("SOGGETTO1")) {
            writeFields(dm->Tabsoggetto, {{QStringLiteral("PG_comune_fiscale"), name}, {QStringLiteral("PG_prov_fiscale"), province}});
        } else if (tag == QLatin1String("SOGGETTO2")) {
            writeFields(dm->Tabsoggetto, {{QStringLiteral("Pf_comune_nascita"), name}, {QStringLiteral("Pf_prov_nascita"), province}});
        } else if (tag == QLatin1String("ESERCIZIO")) {
            writeFields(dm->Tabesercizio, {{QStringLiteral("Comune"), name}, {QStringLiteral("Provincia"), province},
                                           {QStringLiteral("Cap"), hasZones ? zoneCap : cap}});
        } else if (tag == QLatin1String("MISURAZIONI")) {
            QList<std::pair<QString, QString>> values{{QStringLiteral("COMUNE"), name}, {QStringLiteral("PROVINCIA"), province},
                                                      {QStringLiteral("CAP"), cap}};
            if (hasZones)
                values.append({QStringLiteral("CAP"), zoneCap});
            writeFields(dm->Tabmisurazioni, values);
        }
    }
    accept();
}

void TZOOM_comuniForm::RxSpeedButton2Click()
{
    Table *record = dm->Tabmisurazioni;
    if (appState().ChiamanteComuni == QLatin1String("MISURAZIONI") && record->isOpen()) {
        const QString typed = record->asString(QStringLiteral("COMUNE"));
        // The name must be exactly one of the list, capitals included.
        bool known = false;
        ignoringFailures([&] {
            known = !dm->Tabcomuni->lookup(QStringLiteral("COMUNE"), {typed}, QStringLiteral("Id")).isNull();
        });
        if (!known)
            writeFields(record, {{QStringLiteral("COMUNE"), QString()}, {QStringLiteral("CAP"), QString()},
                                 {QStringLiteral("PROVINCIA"), QString()}});
    }
    accept();
}

void TZOOM_comuniForm::Edit1Change()
{
    static const char *const indexes[] = {"comune_index", "provincia_Index", "cap_Index"};
    static const char *const fields[] = {"COMUNE", "PROVINCIAI", "CAP"};
    const int item = m_findBy->itemIndex();
    if (item < 0 || item > 2)
        return;
    ignoringFailures([&] {
        Table *municipalities = dm->Tabcomuni;
        municipalities->setIndexName(QString::fromLatin1(indexes[item]));
        municipalities->locate(QString::fromLatin1(fields[item]), {m_search->text()}, engine::LocateOption::PartialKey);
    });
}

void TZOOM_comuniForm::RxDBGrid1TitleClick(const QString &field)
{
    QString index;
    if (field.compare(QLatin1String("COMUNE"), Qt::CaseInsensitive) == 0)
        index = QStringLiteral("comune_index");
    else if (field.compare(QLatin1String("CAP"), Qt::CaseInsensitive) == 0)
        index = QStringLiteral("cap_Index");
    else if (field.compare(QLatin1String("PROVINCIAI"), Qt::CaseInsensitive) == 0)
        index = QStringLiteral("provincia_Index");
    else
        return;
    ignoringFailures([&] { dm->Tabcomuni->setIndexName(index); });
}

void TZOOM_comuniForm::SpeedButton1Click()
{
    startEntry(dm->Tabcomuni, Entry::Append, MunicipalityPage);
}

void TZOOM_comuniForm::SpeedButton2Click()
{
    startEntry(dm->Tabcomuni, Entry::Edit, MunicipalityPage);
}

void TZOOM_comuniForm::Button1Click()
{
    if (m_name->text().isEmpty()) {
        Messages::plain(QStringLiteral("NULLA DA CONFERMARE"));
        return;
    }
    storeEntry(dm->Tabcomuni);
}

void TZOOM_comuniForm::Button2Click()
{
    cancelEntry(dm->Tabcomuni);
}

void TZOOM_comuniForm::SpeedButton4Click()
{
    m_zoneCap->clear();
    m_zoneDescription->clear();
    showPage(ZonePage);
}

void TZOOM_comuniForm::Button3Click()
{
    if (m_zoneCap->text().isEmpty()) {
        Messages::plain(QStringLiteral("INSERIRE IL CAP ZONALE"));
        return;
    }
    Table *municipalities = dm->Tabcomuni;
    if (!municipalities->isOpen() || municipalities->isEmpty()) {
        Messages::plain(QStringLiteral("Nessun comune selezionato: la zona non può essere aggiunta."));
        return;
    }
    Table *zones = dm->Tabzone;
    try {
        zones->append();
        zones->setValue(QStringLiteral("CAP_zona"), m_zoneCap->text());
        zones->setValue(QStringLiteral("Id_comune"), municipalities->value(QStringLiteral("Id")));
        zones->setValue(QStringLiteral("Descrizione"), m_zoneDescription->text());
        zones->post();
    } catch (const std::exception &failure) {
        zones->cancel();
        Messages::error(failure);
        return;
    }
    showPage(MainPage);
    m_zoneCap->clear();
}

void TZOOM_comuniForm::Button4Click()
{
    m_zoneCap->clear();
    showPage(MainPage);
}

void TZOOM_comuniForm::SpeedButton5Click()
{
    ignoringFailures([] { dm->Tabzone->remove(); });
}

void TZOOM_comuniForm::SpeedButton6Click()
{
    if (!Messages::confirm(QStringLiteral("Sicuri di volere eliminare il comune selezionato?")))
        return;
    ignoringFailures([] { deleteMunicipality(*dm->Tabcomuni, *dm->Tabzone); });
}

void searchMunicipality(const QString &callerTag, const QString &typed, QWidget *caller, const QString &typedCap)
{
    appState().ChiamanteComuni = callerTag;
    ignoringFailures([&] { dm->Tabcomuni->locate(QStringLiteral("COMUNE"), {typed}, engine::LocateOption::PartialKey); });
    if (!typedCap.isEmpty())
        ignoringFailures([&] { dm->Tabzone->locate(QStringLiteral("CAP_zona"), {typedCap}, engine::LocateOption::PartialKey); });
    ApriModale(ZOOM_comuniForm, caller);
}
