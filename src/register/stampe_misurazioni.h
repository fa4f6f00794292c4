#pragma once
// The register's prints: the seven built-in layouts, the user's own layouts kept as ".frf" files in
// DirBase/frf, and the steps of each print. A print sets its selection on Tabmisurazioni, fills its
// variables, hands the report to `preview` and then shows every row again; a refused selection prints
// nothing and comes back with its message. "dettaglio verifica" prints the current row and leaves the
// selection in force alone.
//
// No widget lives here: the window passes the preview as a callback, so the steps run the same in
// the tests, which write the report as a PDF instead.

#include "register/misurazioni.h"
#include "report/report.h"

#include <QStringList>

#include <functional>

class Tdm;

namespace verifications {

// The data sets the layouts name: the register and the registries standing on the printed row.
inline const QString RegisterSet = QStringLiteral("dm.Tabmisurazioni");
inline const QString ShopSet = QStringLiteral("dm.Tabesercizio");
inline const QString ModelSet = QStringLiteral("dm.Tabms");
inline const QString TechnicianSet = QStringLiteral("dm.Tabtecnico");
inline const QString AuthorisationSet = QStringLiteral("dm.TabLsogg");

// The built-in layouts, by the command that prints them.
enum class BuiltInPrint {
    Period,           // "elenco dal..al.."
    Single,           // "dettaglio verifica"
    ShopCard,         // "stampa scheda ditta"
    Outcome,          // "Stampa in base all'esito della verifica"
    Technician,       // "Stampa verifiche tecnico selezionato"
    PeriodCompressed, // "elenco dal..al..(compresso)"
    Type,             // "stampa x tipo intervento"
};
report::Template builtInTemplate(BuiltInPrint print);

using Preview = std::function<void(const report::Report &)>;

// The user's layouts: the names of DirBase/frf/*.frf in the order the folder gives them, and a name's path.
QStringList userTemplateNames();
QString userTemplatePath(const QString &name);

class RegisterPrints {
public:
    explicit RegisterPrints(Tdm &data);
    RegisterPrints(const RegisterPrints &) = delete;
    RegisterPrints &operator=(const RegisterPrints &) = delete;

    Selection printPeriod(const Period &period, bool compressed, const Preview &preview); // S1, data1 and data2
    Selection printShopCard(const QString &shopId, const QString &shopName, const Preview &preview);     // S2
    Selection printOutcome(int outcome, const Preview &preview);                                          // S3
    Selection printTechnician(const QVariant &technicianId, const QString &name, const Preview &preview); // S4
    Selection printType(const QString &type, const Preview &preview);                                     // S5
    void printCurrent(const Preview &preview);

    // Loads the user's layout of that name; a file that cannot be read leaves none loaded, silently.
    void loadUserTemplate(const QString &name);
    bool hasUserTemplate() const { return !m_userPath.isEmpty(); }
    QString userTemplateFile() const { return m_userPath; }
    report::Report &userReport() { return m_user; }
    // The current row alone, with the registries standing on its shop, model, technician and the
    // technician's authorisation; `from` is what "Header" answers. Afterwards every row again, the
    // cursor back on the printed row.
    Selection printWithUserTemplate(const QString &from, const Preview &preview);

private:
    Selection printList(BuiltInPrint print, const Selection &selection, const Preview &preview);
    void answerHeader(report::Report &report);

    Tdm &m_data;
    report::Report m_builtIn[7];
    report::Report m_user;
    QString m_userPath;
    QString m_header; // the text of "dal:" at the last print that asked for it
};

} // namespace verifications
