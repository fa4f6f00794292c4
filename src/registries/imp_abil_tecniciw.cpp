#include "registries/imp_abil_tecniciw.h"

#include "ground/config.h"
#include "ground/messages.h"
#include "data/tdm.h"
#include "ui/dbgrid.h"
#include "ui/forms.h"
#include "ui/keyhelpers.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

Timp_abil_tecnici *imp_abil_tecnici = nullptr;

Timp_abil_tecnici::Timp_abil_tecnici(QWidget *parent)
    : QDialog(parent)
{
    Tdm &data = requireDataModule();
    setObjectName(QStringLiteral("imp_abil_tecnici"));
    setWindowTitle(QStringLiteral("Imposta le abilitazioni e il loro periodo di validità"));
    resize(900, 600);

    QLabel *banner = ui::banner("Label1",
                                QStringLiteral("impostando per ogni anno i sigilli attivi eviterete di vedere i tecnici con i "
                                               "punzoni inattivi e in fase di generazione dello scarico verranno creati i file solo "
                                               "per i punzoni attivi."),
                                this);
    m_switch = new QCheckBox(QStringLiteral("abilita la gestione automatica"), this);
    m_switch->setObjectName(QStringLiteral("CheckBox1"));

    m_years = new QTabWidget(this);
    m_years->setObjectName(QStringLiteral("PageControl1"));
    for (int year = FirstAuthorisationYear; year <= LastAuthorisationYear; ++year) {
        auto *page = new QWidget(m_years);
        page->setObjectName(QStringLiteral("Anno%1").arg(year));
        auto *form = new QFormLayout(page);
        form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
        YearLines lines;
        for (int slot = 1; slot <= AuthorisationSlots; ++slot) {
            auto *line = new QLineEdit(page);
            line->setObjectName(QStringLiteral("Slot%1").arg(slot));
            // As long as a seal identifier, typed as the laboratory window types it.
            line->setMaxLength(30);
            line->setMinimumWidth(line->fontMetrics().horizontalAdvance(QString(30, QLatin1Char('X'))) + 16);
            ui::setUpperCase(line);
            form->addRow(QString::number(slot), line);
            lines[slot - 1] = line;
        }
        m_lines.append(lines);
        m_years->addTab(page, QString::number(year));
    }

    auto *grid = new DBGrid(this);
    grid->setObjectName(QStringLiteral("DBGrid1"));
    grid->setDataSource(data.dslsogg);
    grid->setColumns({{QStringLiteral("Id_al_sigillo"), QStringLiteral("Id alfanumerico del sigillo"), 0}});
    m_toggle = ui::commandButton("SpeedButton1", QStringLiteral("inserisci/ rimuovi"), this);
    connect(m_toggle, &QPushButton::clicked, this, &Timp_abil_tecnici::SpeedButton1Click);
    auto *authorisations = new QVBoxLayout;
    authorisations->addWidget(grid, 1);
    authorisations->addWidget(m_toggle, 0, Qt::AlignHCenter);

    m_ok = ui::commandButton("Button1", QStringLiteral("OK"), this);
    connect(m_ok, &QPushButton::clicked, this, &Timp_abil_tecnici::Button1Click);
    auto *cancel = ui::commandButton("Button2", QStringLiteral("annulla"), this);
    connect(cancel, &QPushButton::clicked, this, &Timp_abil_tecnici::Button2Click);

    auto *middle = new QHBoxLayout;
    middle->addWidget(m_years, 2);
    middle->addLayout(authorisations, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(banner);
    layout->addWidget(m_switch);
    layout->addLayout(middle, 1);
    layout->addLayout(buttons);
}

void Timp_abil_tecnici::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    FormShow();
}

void Timp_abil_tecnici::FormShow()
{
    if (dm->TabLsogg->recordCount() >= AuthorisationSlots) {
        refuseTooManyAuthorisations();
        return;
    }
    const AppState &state = appState();
    m_switch->setChecked(config::gestioneAnniAttiva(state));
    for (int year = FirstAuthorisationYear; year <= LastAuthorisationYear; ++year) {
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            m_lines[year - FirstAuthorisationYear][slot - 1]->setText(state.abilitazione(year, slot));
    }
    bool isYear = false;
    const int year = state.AnnoLavoro.toInt(&isYear);
    const bool listed = isYear && year >= FirstAuthorisationYear && year <= LastAuthorisationYear;
    m_years->setCurrentIndex(listed ? year - FirstAuthorisationYear : m_years->count() - 1);
}

void Timp_abil_tecnici::refuseTooManyAuthorisations()
{
    Messages::plain(QStringLiteral("Numero di abilitazioni presenti maggiori del previsto. contattare la vesksoft."));
    Messages::plain(QStringLiteral("Eliminare le abilitazioni non più in uso nella finestra Soggetto Obbligato, "
                                   "poi riaprire questa finestra."));
    for (const YearLines &lines : std::as_const(m_lines)) {
        for (QLineEdit *line : lines)
            ui::setFieldReadOnly(line, true);
    }
    m_switch->setEnabled(false);
    m_toggle->setEnabled(false);
    m_ok->setEnabled(false);
}

void Timp_abil_tecnici::SpeedButton1Click()
{
    const YearLines &lines = m_lines[m_years->currentIndex()];
    // No authorisation chosen reads as an empty identifier, which matches the empty lines: nothing changes.
    const QString seal = dm->TabLsogg->asString(QStringLiteral("Id_al_sigillo"));
    const auto holds = [&seal](const QLineEdit *line) { return line->text() == seal; };
    if (std::any_of(lines.cbegin(), lines.cend(), holds)) {
        for (QLineEdit *line : lines) {
            if (holds(line))
                line->clear();
        }
        return;
    }
    const auto empty = std::find_if(lines.cbegin(), lines.cend(), [](const QLineEdit *line) { return line->text().isEmpty(); });
    if (empty != lines.cend())
        (*empty)->setText(seal);
}

void Timp_abil_tecnici::Button1Click()
{
    AppState &state = appState();
    state.GestioneAnni = m_switch->isChecked() ? QStringLiteral("SI") : QStringLiteral("NO");
    for (int year = FirstAuthorisationYear; year <= LastAuthorisationYear; ++year) {
        for (int slot = 1; slot <= AuthorisationSlots; ++slot)
            state.abilitazione(year, slot) = m_lines[year - FirstAuthorisationYear][slot - 1]->text();
    }
    // A file that cannot be written is reported; the state keeps the lists, and closing the program
    // writes them again.
    config::write(state);
    accept();
}

void Timp_abil_tecnici::Button2Click()
{
    reject();
}
