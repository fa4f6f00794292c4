#include "app/aboutw.h"

#include "app/version.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBox *AboutBox = nullptr;

TAboutBox::TAboutBox(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Informazioni su Sigillo"));

    auto *product = new QLabel(QStringLiteral("Sigillo"), this);
    product->setObjectName(QStringLiteral("ProductName"));
    QFont productFont = product->font();
    productFont.setPointSize(productFont.pointSize() + 8);
    productFont.setBold(true);
    product->setFont(productFont);

    auto *subtitle = new QLabel(QStringLiteral("gestione parco macchine"), this);
    auto *version = new QLabel(versionText(), this);
    version->setObjectName(QStringLiteral("Version"));

    auto *comments = new QLabel(QStringLiteral(
        "Registro delle verificazioni periodiche dei misuratori fiscali e\n"
        "file trimestrale per l'Agenzia delle Entrate.\n\n"
        "Per assistenza rivolgersi al fornitore del programma,\n"
        "indicando sempre la versione riportata qui sopra."), this);
    comments->setObjectName(QStringLiteral("Comments"));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OKButton"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    layout->addWidget(product);
    layout->addWidget(subtitle);
    layout->addWidget(version);
    layout->addSpacing(12);
    layout->addWidget(comments);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}
