#include "years/sel_annow.h"

#include "ground/messages.h"
#include "ground/state.h"
#include "years/yearopening.h"

#include <QDate>
#include <QValidator>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>

TSel_annoForm *Sel_annoForm = nullptr;

namespace {

// Takes any year of up to four digits while it is typed; one outside the range is brought into it
// when the field loses the focus (1999 becomes the first year).
class YearSpinBox : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &text, int &) const override
    {
        if (text.isEmpty())
            return QValidator::Intermediate;
        if (text.size() > 4 || !std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.isDigit(); }))
            return QValidator::Invalid;
        const int year = text.toInt();
        return year >= minimum() && year <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
    }
    void fixup(QString &text) const override
    {
        text = QString::number(text.isEmpty() ? value() : qBound(minimum(), text.toInt(), maximum()));
    }
};

} // namespace

TSel_annoForm::TSel_annoForm(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("Sel_annoForm"));
    // A title and the close box, which refuses; without the customize hint the window manager would
    // add minimise and maximise buttons to a window that must be answered.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    const QString title = QStringLiteral("Seleziona l'anno su cui lavorare:");
    setWindowTitle(title);

    auto *label = new QLabel(title, this);
    label->setObjectName(QStringLiteral("TitleLabel"));
    QFont font = label->font();
    font.setPointSize(font.pointSize() + 4);
    font.setBold(true);
    label->setFont(font);

    m_year = new YearSpinBox(this);
    m_year->setObjectName(QStringLiteral("AnnoSpin"));
    m_year->setRange(FirstAuthorisationYear, LastAuthorisationYear);
    m_year->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_year->findChild<QLineEdit *>()->setMaxLength(4);
    m_year->setValue(defaultYear(QDate::currentDate().year()));
    m_year->setFont(font);

    auto *avanti = new QPushButton(QStringLiteral("Avanti"), this);
    avanti->setObjectName(QStringLiteral("AvantiButton"));
    avanti->setDefault(true);
    auto *annulla = new QPushButton(QStringLiteral("Annulla"), this);
    annulla->setObjectName(QStringLiteral("AnnullaButton"));
    annulla->setAutoDefault(false);
    connect(avanti, &QPushButton::clicked, this, &TSel_annoForm::avantiClick);
    connect(annulla, &QPushButton::clicked, this, &TSel_annoForm::annullaClick);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(avanti);
    buttons->addWidget(annulla);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(label);
    layout->addWidget(m_year);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    appState().AnnoLavoro.clear();
}

int TSel_annoForm::defaultYear(int currentYear)
{
    return currentYear >= 2004 && currentYear <= 2030 ? currentYear : 2020;
}

void TSel_annoForm::avantiClick()
{
    m_year->interpretText();
    const QString year = QString::number(m_year->value());
    if (years::ApriAnno(year, appState().showYearStatus) != years::YearOpening::Opened)
        return;
    m_confirmed = true;
    accept();
}

void TSel_annoForm::annullaClick()
{
    m_ending = true;
    QDialog::reject();
}

void TSel_annoForm::reject()
{
    if (m_confirmed || m_ending) {
        QDialog::reject();
        return;
    }
    Messages::plain(QStringLiteral("Per uscire dalla finestra usare i tasti opportuni"));
}
