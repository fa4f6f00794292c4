// The record rules: what the shared cursors do whatever window edits them. Each rule is a handler of
// a cursor or field event, wired by Tdm::attachRules().

#include "data/tdm.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "codfis/codfis.h"
#include "codfis/piva.h"
#include "data/engine/bulkscope.h"
#include "data/ignoringfailures.h"
#include "data/utility.h"
#include "data/windowhooks.h"

using engine::Table;

namespace {

// "1" for January to March ... "4" for October to December; an empty date reads 30/12/1899.
QString quarterOf(const QDate &date)
{
    return QString::number((date.month() - 1) / 3 + 1);
}

QString yearOf(const QDate &date)
{
    return QString::number(date.year()).rightJustified(4, QLatin1Char('0'));
}

} // namespace

void Tdm::attachRules()
{
    const auto afterInsert = [this](Table *table, void (Tdm::*rule)()) {
        table->setAfterInsert([this, rule](Table &) { (this->*rule)(); });
    };
    afterInsert(Tabesercizio, &Tdm::TabesercizioAfterInsert);
    afterInsert(Tabms, &Tdm::TabmsAfterInsert);
    afterInsert(Tabsoggetto, &Tdm::TabsoggettoAfterInsert);
    afterInsert(Tabtecnico, &Tdm::TabtecnicoAfterInsert);
    afterInsert(Tabmisurazioni, &Tdm::TabmisurazioniAfterInsert);
    afterInsert(TabLsogg, &Tdm::TabLsoggAfterInsert);
    afterInsert(Tabintermediario, &Tdm::TabintermediarioAfterInsert);
    afterInsert(TabMod_tecnici, &Tdm::TabMod_tecniciAfterInsert);
    afterInsert(Tabtipo_int, &Tdm::Tabtipo_intAfterInsert);

    const auto fieldChange = [this](Table *table, const char *field, void (Tdm::*rule)()) {
        table->setFieldChangeHandler(QString::fromLatin1(field), [this, rule](Table &, const QString &) { (this->*rule)(); });
    };
    fieldChange(Tabesercizio, "Piva", &Tdm::TabesercizioPivaChange);
    fieldChange(Tabesercizio, "Comune", &Tdm::TabesercizioComuneChange);
    fieldChange(Tabsoggetto, "Piva", &Tdm::TabsoggettoPivaChange);
    fieldChange(Tabsoggetto, "PG_comune_fiscale", &Tdm::TabsoggettoPG_comune_fiscaleChange);
    fieldChange(Tabsoggetto, "Pf_comune_nascita", &Tdm::TabsoggettoPf_comune_nascitaChange);
    fieldChange(Tabsoggetto, "PG_PF", &Tdm::TabsoggettoPG_PFChange);
    for (const char *field : {"Cognome", "Nome", "Sesso", "Comune_nascita", "Data_nascita"})
        fieldChange(Tabtecnico, field, &Tdm::TabtecnicoCognomeChange);
    fieldChange(Tabtecnico, "Cf", &Tdm::TabtecnicoCfChange);
    fieldChange(Tabmisurazioni, "Data_fine", &Tdm::TabmisurazioniData_fineChange);
    fieldChange(Tabmisurazioni, "COMUNE", &Tdm::TabmisurazioniCOMUNEChange);
    fieldChange(Tabmisurazioni, "Id_esercizio", &Tdm::TabmisurazioniId_esercizioChange);

    TabLsogg->setAfterOpen([this](Table &) { TabLsoggAfterOpen(); });
    Tabcomuni->setAfterOpen([this](Table &) { TabcomuniAfterOpen(); });
    Tab_mis->setAfterOpen([this](Table &) { Tab_misAfterOpen(); });

    Tabmisurazioni->setOnCalcFields([](Table &table) { TabmisurazioniCalcFields(table); });
    Tabmisurazioni->setBeforePost([this](Table &) { TabmisurazioniBeforePost(); });
    Tabmisurazioni->setRecordFilter([this](const Table &table) { return TabmisurazioniFilterRecord(table); });

    Tabesercizio->setAfterPost([this](Table &) { TabesercizioAfterPost(); });
    Tabms->setAfterPost([this](Table &) { TabmsAfterPost(); });
    Tabmisurazioni->setAfterPost([this](Table &) { TabmisurazioniAfterPost(); });
    Tabcomuni->setAfterPost([this](Table &) { TabcomuniAfterPost(); });
}

void Tdm::assignId(Table &table, const QString &idField)
{
    if (table.isNull(idField))
        table.setValue(idField, ProssimoId(table, idField));
}

void Tdm::TabesercizioAfterInsert() { assignId(*Tabesercizio, QStringLiteral("Id_esercizio")); }
void Tdm::TabmsAfterInsert() { assignId(*Tabms, QStringLiteral("Id_ms")); }
void Tdm::TabsoggettoAfterInsert() { assignId(*Tabsoggetto, QStringLiteral("Id_sogg_obbl")); }
void Tdm::TabtecnicoAfterInsert() { assignId(*Tabtecnico, QStringLiteral("Id_tecnico")); }
void Tdm::TabmisurazioniAfterInsert() { assignId(*Tabmisurazioni, QStringLiteral("Id_misurazioni")); }
void Tdm::TabintermediarioAfterInsert() { assignId(*Tabintermediario, QStringLiteral("Id")); }
void Tdm::Tabtipo_intAfterInsert() { assignId(*Tabtipo_int, QStringLiteral("Id")); }

void Tdm::TabLsoggAfterInsert()
{
    assignId(*TabLsogg, QStringLiteral("Id_Lsogg"));
    TabLsogg->setValue(QStringLiteral("Id_sogg"), Tabsoggetto->value(QStringLiteral("Id_sogg_obbl")));
}

void Tdm::TabMod_tecniciAfterInsert()
{
    assignId(*TabMod_tecnici, QStringLiteral("ID_MOD"));
    if (TabMod_tecnici->isNull(QStringLiteral("Id_tecnico")))
        TabMod_tecnici->setValue(QStringLiteral("Id_tecnico"), Tabtecnico->value(QStringLiteral("Id_tecnico")));
}

// Shops, meter models, the register and the municipalities are on disk right after each post; inside
// a bulk scope the scope's end writes them.
void Tdm::TabesercizioAfterPost() { Tabesercizio->flush(); }
void Tdm::TabmsAfterPost() { Tabms->flush(); }
void Tdm::TabmisurazioniAfterPost() { Tabmisurazioni->flush(); }
void Tdm::TabcomuniAfterPost() { Tabcomuni->flush(); }

QVariant Tdm::municipalityField(const QString &municipality, const QString &field) const
{
    return Tabcomuni->lookup(QStringLiteral("COMUNE"), {municipality}, field);
}

bool Tdm::municipalityExists(const QString &municipality) const
{
    return !municipalityField(municipality, QStringLiteral("Id")).isNull();
}

void Tdm::copyProvince(Table *table, const QString &sourceField, const QString &provinceField)
{
    const QString municipality = table->asString(sourceField);
    if (municipalityExists(municipality))
        table->setValue(provinceField, municipalityField(municipality, QStringLiteral("PROVINCIAI")));
}

void Tdm::TabsoggettoPG_comune_fiscaleChange()
{
    copyProvince(Tabsoggetto, QStringLiteral("PG_comune_fiscale"), QStringLiteral("PG_prov_fiscale"));
}

void Tdm::TabsoggettoPf_comune_nascitaChange()
{
    copyProvince(Tabsoggetto, QStringLiteral("Pf_comune_nascita"), QStringLiteral("Pf_prov_nascita"));
}

void Tdm::TabesercizioPivaChange()
{
    if (PivaValida(Tabesercizio->asString(QStringLiteral("Piva"))))
        return;
    Messages::plain(QStringLiteral("Errore P. Iva"));
    if (shopWindow)
        ignoringFailures([this] { shopWindow->focusPiva(); });
}

void Tdm::TabesercizioComuneChange()
{
    const QString municipality = Tabesercizio->asString(QStringLiteral("Comune"));
    if (!municipalityExists(municipality)) {
        Messages::plain(QStringLiteral("Errore Sul Comune inserito: ") + municipality);
        return;
    }
    Tabesercizio->setValue(QStringLiteral("Provincia"), municipalityField(municipality, QStringLiteral("PROVINCIAI")));
    Tabesercizio->setValue(QStringLiteral("Cap"), municipalityField(municipality, QStringLiteral("CAP")));
}

void Tdm::TabsoggettoPivaChange()
{
    if (PivaValida(Tabsoggetto->asString(QStringLiteral("Piva"))))
        return;
    Messages::plain(QStringLiteral("Errore P. Iva"));
    if (laboratoryWindow)
        ignoringFailures([this] { laboratoryWindow->focusPiva(); });
}

void Tdm::TabsoggettoPG_PFChange()
{
    if (!laboratoryWindow)
        return;
    const QStringList legal{QStringLiteral("PG_denominazione"), QStringLiteral("PG_comune_fiscale")};
    const QStringList natural{QStringLiteral("PF_cognome"), QStringLiteral("PF_nome"), QStringLiteral("Pf_comune_nascita"),
                              QStringLiteral("Pf_data_nascita"), QStringLiteral("PF_sesso")};
    const QString legalProvince = QStringLiteral("PG_prov_fiscale");
    const QString naturalProvince = QStringLiteral("Pf_prov_nascita");
    auto set = [this](const QStringList &fields, bool readOnly) {
        for (const QString &field : fields)
            laboratoryWindow->setFieldReadOnly(field, readOnly);
    };
    const QString kind = Tabsoggetto->asString(QStringLiteral("PG_PF"));
    ignoringFailures([&] {
        if (kind.isEmpty()) {
            set(legal + QStringList{legalProvince} + natural, true);
        } else if (kind == QLatin1String("0")) {
            set(natural + QStringList{naturalProvince}, true);
            set(legal, false);
        } else if (kind == QLatin1String("1")) {
            set(legal + QStringList{legalProvince}, true);
            set(natural, false);
        }
    });
}

void Tdm::TabtecnicoCognomeChange()
{
    Table *t = Tabtecnico;
    const QString cognome = t->asString(QStringLiteral("Cognome"));
    const QString nome = t->asString(QStringLiteral("Nome"));
    t->setValue(QStringLiteral("Cogn_nome"), cognome + QLatin1Char(' ') + nome);

    const QString birthPlace = t->asString(QStringLiteral("Comune_nascita"));
    const bool found = municipalityExists(birthPlace);
    if (found)
        t->setValue(QStringLiteral("Prov_nascita"), municipalityField(birthPlace, QStringLiteral("PROVINCIAI")));

    QString code;
    ignoringFailures([&] {
        Tcodfis &component = *codfis1;
        component.setCodfis(QString());
        component.setNome(nome);
        component.setCognome(cognome);
        component.setSesso(t->asString(QStringLiteral("Sesso")) == QLatin1String("M") ? Tcodfis::M : Tcodfis::F);
        component.setData_Nascita(t->asDate(QStringLiteral("Data_nascita")));
        // A birth place missing from the list gives no cadastral code, so no valid code: the previous
        // computation's municipality is never reused.
        component.setCodice_comune(found ? municipalityField(birthPlace, QStringLiteral("CODICEFISC")).toString() : QString());
        component.Calcola();
        if (component.Valido())
            code = component.codfis();
    });
    t->setValue(QStringLiteral("Cf"), code);
}

void Tdm::TabtecnicoCfChange()
{
    if (codfis1->Valido())
        return;
    if (!Tabtecnico->asString(QStringLiteral("Cf")).isEmpty())
        Messages::plain(QStringLiteral("Errore codice Fiscale"));
    if (technicianWindow)
        ignoringFailures([this] { technicianWindow->focusCf(); });
}

void Tdm::TabLsoggAfterOpen()
{
    const QString field = QStringLiteral("Tipo_abilitazione");
    if (!TabLsogg->lookup(field, {QStringLiteral("3")}, field).isValid())
        return;
    engine::BulkScope bulk;
    for (TabLsogg->first(); !TabLsogg->eof(); TabLsogg->next()) {
        if (TabLsogg->asString(field) != QLatin1String("3"))
            continue;
        TabLsogg->edit();
        TabLsogg->setValue(field, QStringLiteral("2"));
        TabLsogg->post();
    }
}

void Tdm::TabcomuniAfterOpen()
{
    if (!Tabcomuni->isEmpty())
        return;
    ignoringFailures([this] {
        Tabcomuni_old->setDirectory(appState().dataDir());
        Tabcomuni_old->open();
        engine::BulkScope bulk;
        const QStringList copied{QStringLiteral("COMUNE"), QStringLiteral("PROVINCIAI"), QStringLiteral("CAP"), QStringLiteral("CODICEFISC")};
        for (Tabcomuni_old->first(); !Tabcomuni_old->eof(); Tabcomuni_old->next()) {
            const QString name = Tabcomuni_old->asString(QStringLiteral("COMUNE"));
            if (!Tabcomuni->locate(QStringLiteral("COMUNE"), {name})) {
                Tabcomuni->append();
                for (const QString &field : copied)
                    Tabcomuni->setValue(field, Tabcomuni_old->value(field));
                Tabcomuni->post();
            } else if (municipalityChooser && municipalityChooser->keepOlder(*Tabcomuni, *Tabcomuni_old)) {
                Tabcomuni->edit();
                for (const QString &field : copied.mid(1))
                    Tabcomuni->setValue(field, Tabcomuni_old->value(field));
                Tabcomuni->post();
            }
        }
    });
    Tabcomuni_old->close();
}

void Tdm::Tab_misAfterOpen()
{
    if (!Tab_mis->lookup(QStringLiteral("ANNO"), {QString()}, QStringLiteral("ANNO")).isValid())
        return;
    engine::BulkScope bulk;
    for (Tab_mis->first(); !Tab_mis->eof(); Tab_mis->next()) {
        Tab_mis->edit();
        Tab_mis->setValue(QStringLiteral("ANNO"), yearOf(Tab_mis->asDate(QStringLiteral("DATA_FINE"))));
        Tab_mis->post();
    }
}

void Tdm::TabmisurazioniData_fineChange()
{
    const QDate end = Tabmisurazioni->asDate(QStringLiteral("Data_fine"));
    Tabmisurazioni->setValue(QStringLiteral("Trimestre"), quarterOf(end));
    Tabmisurazioni->setValue(QStringLiteral("ANNO"), yearOf(end));
}

void Tdm::TabmisurazioniCOMUNEChange()
{
    const QString municipality = Tabmisurazioni->asString(QStringLiteral("COMUNE"));
    if (municipality.isEmpty()) {
        Tabmisurazioni->setValue(QStringLiteral("CAP"), QString());
        Tabmisurazioni->setValue(QStringLiteral("PROVINCIA"), QString());
        return;
    }
    // Its province is null only when the list lacks it (a text field reads "" when empty): the walks
    // that write a year come through here at every record.
    const QVariant province = municipalityField(municipality, QStringLiteral("PROVINCIAI"));
    if (province.isNull()) {
        Messages::plain(QStringLiteral("Errore Sul Comune inserito"));
        return;
    }
    Tabmisurazioni->setValue(QStringLiteral("PROVINCIA"), province);
    Tabmisurazioni->setValue(QStringLiteral("CAP"), municipalityField(municipality, QStringLiteral("CAP")));
}

void Tdm::TabmisurazioniId_esercizioChange()
{
    static const QStringList address{QStringLiteral("COMUNE"), QStringLiteral("INDIRIZZO"), QStringLiteral("CAP"),
                                     QStringLiteral("PROVINCIA")};
    for (const QString &field : address)
        Tabmisurazioni->setValue(field, QString());
}

void Tdm::TabmisurazioniCalcFields(Table &table)
{
    static const QStringList types{QString(), QStringLiteral("Messa in servizio"), QStringLiteral("Defiscalizzazione"),
                                   QStringLiteral("Verifica periodica")};
    const QString type = table.asString(QStringLiteral("Tipo_intervento"));
    const int typeCode = type.size() == 1 ? type.toInt() : 0;
    table.setValue(QStringLiteral("tipo_int_str"), typeCode >= 1 && typeCode <= 3 ? types.at(typeCode) : QString());

    const QString outcome = table.asString(QStringLiteral("Esito"));
    table.setValue(QStringLiteral("esito_str"), outcome == QLatin1String("0")   ? QStringLiteral("Esito Positivo")
                                               : outcome == QLatin1String("1") ? QStringLiteral("Esito Negativo")
                                                                                : QString());
}

void Tdm::TabmisurazioniBeforePost()
{
    Tabmisurazioni->setValue(QStringLiteral("ANNO"), yearOf(Tabmisurazioni->asDate(QStringLiteral("Data_fine"))));
    const QVariant shop = Tabmisurazioni->value(QStringLiteral("Id_esercizio"));
    // The company name and VAT number are a snapshot of the shop when the record is first stored.
    static const QList<std::pair<QString, QString>> snapshot{{QStringLiteral("r_ditta"), QStringLiteral("Ragione_sociale")},
                                                             {QStringLiteral("p_iva"), QStringLiteral("Piva")}};
    for (const auto &[field, shops] : snapshot) {
        if (!Tabmisurazioni->asString(field).isEmpty())
            continue;
        const QVariant value = Tabesercizio->lookup(QStringLiteral("Id_esercizio"), {shop}, shops);
        if (value.isValid())
            Tabmisurazioni->setValue(field, value);
    }
}

bool Tdm::TabmisurazioniFilterRecord(const Table &table) const
{
    if (!appState().RicercaInCorso)
        return true;
    static const QStringList fields{QStringLiteral("r_ditta"), QStringLiteral("p_iva"), QStringLiteral("Matricola_ms"),
                                    QStringLiteral("Tipo_intervento"), QStringLiteral("Trimestre")};
    if (searchField < 0 || searchField >= fields.size())
        return false;
    const QString value = table.asString(fields.at(searchField));
    return !value.isEmpty() && value.contains(searchText);
}
