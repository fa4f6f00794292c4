#pragma once
// RadioGroup: a framed column of radio buttons, one of them chosen (ItemIndex, -1 for none).
// DBRadioGroup binds the choice to a field: the field holds the chosen item's value, or its index as
// text when the group has no values.

#include "ui/fieldlink.h"

#include <QGroupBox>

class QButtonGroup;
class QRadioButton;

class RadioGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit RadioGroup(const QString &title = {}, QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    QStringList items() const;
    int itemIndex() const;
    void setItemIndex(int index); // does not signal: only the user's choice does
    QRadioButton *button(int index) const;

Q_SIGNALS:
    void itemChosen(int index);

private:
    QButtonGroup *m_buttons;
};

class DBRadioGroup : public RadioGroup {
    Q_OBJECT

public:
    explicit DBRadioGroup(const QString &title = {}, QWidget *parent = nullptr);

    void bind(engine::DataSource *source, const QString &field);
    void setValues(const QStringList &values);

private:
    QString valueOf(int index) const;
    void showField();

    FieldLink *m_link;
    QStringList m_values;
};
