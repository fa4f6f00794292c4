#include "registries/zoom_comuniw.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "data/ignoringfailures.h"
#include "data/tdm.h"
#include "registries/comuni.h"
#include "ui/dbedit.h"
#include "ui/dbgrid.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"
#include "ui/radiogroup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
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
    : QDialog(parent)
{
    requireDataModule();
    setObjectName(QStringLiteral("ZOOM_comuniForm"));
    setWindowTitle(QStringLiteral("ZOOM comuni:"));
    resize(980, 640);

    m_pages = new QStackedWidget(this);
    m_pages->setObjectName(QStringLiteral("PageControl1"));
    m_pages->addWidget(buildMainPage());
    m_pages->addWidget(buildMunicipalityPage());
    m_pages->addWidget(buildZonePage());
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pages);
}

QWidget *TZOOM_comuniForm::buildMainPage()
{
    auto *page = new QWidget(this);
    page->setObjectName(QStringLiteral("TabSheet1"));

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
    m_addZone = ui::commandButton("SpeedButton4", QStringLiteral("Aggiungi zona"), m_zonePanel);
    m_deleteZone = ui::commandButton("SpeedButton5", QStringLiteral("Elimina"), m_zonePanel);
    connect(m_addZone, &QPushButton::clicked, this, &TZOOM_comuniForm::SpeedButton4Click);
    connect(m_deleteZone, &QPushButton::clicked, this, &TZOOM_comuniForm::SpeedButton5Click);
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
    auto *find = ui::commandButton("SpeedButton3", QStringLiteral("Trova"), page);
    connect(m_search, &QLineEdit::textChanged, this, &TZOOM_comuniForm::Edit1Change);
    connect(find, &QPushButton::clicked, this, &TZOOM_comuniForm::Edit1Change);
    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(m_search, 1);
    searchRow->addWidget(find);
    searchRow->addStretch();
    auto *searchColumn = new QVBoxLayout;
    searchColumn->addStretch();
    searchColumn->addLayout(searchRow);
    searchColumn->addStretch();

    auto *newButton = ui::commandButton("SpeedButton1", QStringLiteral("Nuovo"), page);
    auto *editButton = ui::commandButton("SpeedButton2", QStringLiteral("Modifica"), page);
    m_deleteMunicipality = ui::commandButton("SpeedButton6", QStringLiteral("Elimina comune"), page);
    m_select = ui::commandButton("RxSpeedButton1", QStringLiteral("Seleziona"), page);
    auto *closeButton = ui::commandButton("RxSpeedButton2", QStringLiteral("Chiudi"), page);
    connect(newButton, &QPushButton::clicked, this, &TZOOM_comuniForm::SpeedButton1Click);
    connect(editButton, &QPushButton::clicked, this, &TZOOM_comuniForm::SpeedButton2Click);
    connect(m_deleteMunicipality, &QPushButton::clicked, this, &TZOOM_comuniForm::SpeedButton6Click);
    connect(m_select, &QPushButton::clicked, this, &TZOOM_comuniForm::RxSpeedButton1Click);
    connect(closeButton, &QPushButton::clicked, this, &TZOOM_comuniForm::RxSpeedButton2Click);

    auto *commands = new QHBoxLayout;
    commands->addWidget(newButton);
    commands->addWidget(editButton);
    commands->addWidget(m_deleteMunicipality);
    commands->addSpacing(24);
    commands->addWidget(m_select);
    commands->addWidget(closeButton);

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
    return page;
}

QWidget *TZOOM_comuniForm::buildMunicipalityPage()
{
    QList<QPair<QString, QWidget *>> fields;
    const char *const names[] = {"COMUNE", "PROVINCIAI", "CODICEFISC", "CAP", "Zona"};
    for (int i = 0; i < 5; ++i) {
        auto *edit = new DBEdit(this);
        edit->setObjectName(QStringLiteral("DBEdit%1").arg(i + 1));
        edit->bind(dm->dscomuni, QString::fromLatin1(names[i]));
        edit->setUpperCase(true);
        fields << qMakePair(QString::fromLatin1(names[i]), static_cast<QWidget *>(edit));
        if (i == 0)
            m_name = edit;
    }
    auto *ok = ui::commandButton("Button1", QStringLiteral("OK"), this);
    auto *cancel = ui::commandButton("Button2", QStringLiteral("ANNULLA"), this);
    connect(ok, &QPushButton::clicked, this, &TZOOM_comuniForm::Button1Click);
    connect(cancel, &QPushButton::clicked, this, &TZOOM_comuniForm::Button2Click);
    QWidget *page = ui::entryPage(QStringLiteral("Comune"), fields, {ok, cancel}, this);
    page->setObjectName(QStringLiteral("TabSheet2"));
    ui::enterMovesToNextField(page);
    return page;
}

QWidget *TZOOM_comuniForm::buildZonePage()
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

    auto *ok = ui::commandButton("Button3", QStringLiteral("OK"), this);
    auto *cancel = ui::commandButton("Button4", QStringLiteral("Annulla"), this);
    connect(ok, &QPushButton::clicked, this, &TZOOM_comuniForm::Button3Click);
    connect(cancel, &QPushButton::clicked, this, &TZOOM_comuniForm::Button4Click);
    QWidget *page = ui::entryPage(QStringLiteral("Nuova zona"), fields, {ok, cancel}, this);
    page->setObjectName(QStringLiteral("TabSheet3"));
    ui::enterMovesToNextField(page);
    return page;
}

void TZOOM_comuniForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void TZOOM_comuniForm::FormShow()
{
    applyCallerTag();
    showPage(MainPage);
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

void TZOOM_comuniForm::showPage(Page page)
{
    m_pages->setCurrentIndex(page);
    if (page == MunicipalityPage)
        m_name->setFocus();
    else if (page == ZonePage)
        m_zoneCap->setFocus();
    else
        m_municipalities->setFocus();
}

void TZOOM_comuniForm::done(int result)
{
    // A municipality or zone left half entered must not be posted by the next window that moves the
    // shared cursor.
    for (Table *table : {dm->Tabzone, dm->Tabcomuni})
        table->cancel();
    QDialog::done(result);
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
    showPage(MunicipalityPage);
    dm->Tabcomuni->append();
}

void TZOOM_comuniForm::SpeedButton2Click()
{
    showPage(MunicipalityPage);
    dm->Tabcomuni->edit();
}

void TZOOM_comuniForm::Button1Click()
{
    if (m_name->text().isEmpty()) {
        Messages::plain(QStringLiteral("NULLA DA CONFERMARE"));
        return;
    }
    if (!commitEdits(m_pages->widget(MunicipalityPage)))
        return;
    try {
        dm->Tabcomuni->post();
    } catch (const std::exception &failure) {
        Messages::error(failure);
        return;
    }
    showPage(MainPage);
}

void TZOOM_comuniForm::Button2Click()
{
    dm->Tabcomuni->cancel();
    showPage(MainPage);
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
