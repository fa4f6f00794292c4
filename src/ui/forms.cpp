#include "ui/forms.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

QPushButton *commandButton(const char *objectName, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    button->setMinimumWidth(96);
    return button;
}

QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *box = new QGroupBox(title, page);
    auto *form = new QFormLayout(box);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(8);
    form->setContentsMargins(16, 16, 16, 16);
    for (const auto &[label, field] : fields) {
        field->setParent(box);
        field->setMinimumWidth(360);
        form->addRow(label, field);
    }

    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QPushButton *button : buttons) {
        button->setParent(box);
        row->addWidget(button);
    }
    form->addRow(row);

    auto *centre = new QHBoxLayout;
    centre->addStretch();
    centre->addWidget(box);
    centre->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addLayout(centre);
    layout->addStretch(2);
    return page;
}

} // namespace ui
