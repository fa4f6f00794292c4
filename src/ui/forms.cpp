#include "ui/forms.h"

#include "ui/dbedit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace ui {

QLabel *caption(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLabel *banner(const char *objectName, const QString &text, QWidget *parent)
{
    QLabel *label = caption(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setWordWrap(true);
    return label;
}

QPushButton *commandButton(const char *objectName, const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setAutoDefault(false);
    button->setMinimumWidth(96);
    return button;
}

DBEdit *upperCaseEdit(const char *objectName, engine::DataSource *source, const QString &field, QWidget *parent)
{
    auto *edit = new DBEdit(parent);
    edit->setObjectName(QString::fromLatin1(objectName));
    edit->bind(source, field);
    edit->setUpperCase(true);
    return edit;
}

void setFieldReadOnly(QWidget *control, bool readOnly)
{
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        edit->setReadOnly(readOnly);
    else
        control->setEnabled(!readOnly);
    QPalette palette = control->palette();
    const QColor background = readOnly ? QColor(0xC0, 0xC0, 0xC0) : QColor(Qt::white);
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Button, background); // what a combo box is drawn on
    for (QPalette::ColorRole text : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(QPalette::Disabled, text, palette.color(QPalette::Active, text));
    control->setPalette(palette);
}

QGroupBox *printsGroup(QPushButton *print, QWidget *parent)
{
    auto *prints = new QGroupBox(QStringLiteral("stampe"), parent);
    prints->setObjectName(QStringLiteral("GroupBox1"));
    print->setParent(prints);
    auto *layout = new QHBoxLayout(prints);
    layout->addWidget(print);
    return prints;
}

QWidget *listPage(QWidget *grid, const QList<QWidget *> &commands, const QList<QWidget *> &leaving, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *row = new QHBoxLayout;
    for (QWidget *command : commands)
        row->addWidget(command);
    row->addStretch();
    for (QWidget *command : leaving)
        row->addWidget(command);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(grid, 1);
    layout->addLayout(row);
    return page;
}

QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, QWidget *parent)
{
    return entryPage(title, fields, buttons, {}, parent);
}

QWidget *entryPage(const QString &title, const QList<QPair<QString, QWidget *>> &fields,
                   const QList<QPushButton *> &buttons, const QList<QWidget *> &beside, QWidget *parent)
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
    centre->addWidget(box, 0, Qt::AlignTop);
    if (!beside.isEmpty()) {
        auto *column = new QVBoxLayout;
        for (QWidget *widget : beside) {
            widget->setParent(page);
            column->addWidget(widget);
        }
        column->addStretch();
        centre->addLayout(column);
    }
    centre->addStretch();
    auto *layout = new QVBoxLayout(page);
    layout->addStretch(1);
    layout->addLayout(centre);
    layout->addStretch(2);
    return page;
}

QWidget *fieldWithButton(QWidget *field, QPushButton *button, QWidget *parent)
{
    auto *both = new QWidget(parent);
    field->setParent(both);
    button->setParent(both);
    auto *row = new QHBoxLayout(both);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(field, 1);
    row->addWidget(button);
    return both;
}

} // namespace ui
