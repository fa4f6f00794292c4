#include "registries/scegli_comunew.h"

#include "data/engine/table.h"
#include "ui/aprimodale.h"
#include "ui/forms.h"

#include <QApplication>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TSCEGLI_COMUNE_DA_CONSERVAREform *SCEGLI_COMUNE_DA_CONSERVAREform = nullptr;

namespace {

// One column: the row's four fields, read-only, and its "TIENI QUESTO".
QGroupBox *column(const QString &title, engine::Table *row, const char *side, QPushButton *keep, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (const char *field : {"COMUNE", "PROVINCIAI", "CODICEFISC", "CAP"}) {
        auto *value = new QLineEdit(box);
        value->setObjectName(QStringLiteral("%1_%2").arg(QString::fromLatin1(field), QString::fromLatin1(side)));
        value->setReadOnly(true);
        value->setMinimumWidth(240);
        if (row && row->isOpen())
            value->setText(row->asString(QString::fromLatin1(field)));
        form->addRow(QString::fromLatin1(field), value);
    }
    keep->setParent(box);
    form->addRow(keep);
    return box;
}

} // namespace

TSCEGLI_COMUNE_DA_CONSERVAREform::TSCEGLI_COMUNE_DA_CONSERVAREform(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("SCEGLI_COMUNE_DA_CONSERVAREform"));
    setWindowTitle(QStringLiteral("SCEGLI IL COMUNE DA CONSERVARE:"));

    auto *keepStored = ui::commandButton("Button1", QStringLiteral("TIENI QUESTO"), this);
    auto *keepOlder = ui::commandButton("Button2", QStringLiteral("TIENI QUESTO"), this);
    connect(keepStored, &QPushButton::clicked, this, &QDialog::reject);
    connect(keepOlder, &QPushButton::clicked, this, [this] {
        if (pending)
            pending->keepOlder = true;
        accept();
    });

    auto *layout = new QHBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(column(QStringLiteral("Comune già copiato"), pending ? pending->stored : nullptr, "1", keepStored, this));
    layout->addWidget(column(QStringLiteral("Comune dell'elenco precedente"), pending ? pending->older : nullptr, "2", keepOlder, this));
}

bool MunicipalityChoice::keepOlder(engine::Table &stored, engine::Table &older)
{
    TSCEGLI_COMUNE_DA_CONSERVAREform::Choice choice{&stored, &older, false};
    TSCEGLI_COMUNE_DA_CONSERVAREform::pending = &choice;
    ApriModale(SCEGLI_COMUNE_DA_CONSERVAREform, QApplication::activeWindow());
    TSCEGLI_COMUNE_DA_CONSERVAREform::pending = nullptr;
    return choice.keepOlder;
}
