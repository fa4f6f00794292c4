#pragma once
// DBEdit: a line edit bound to a text (or number) field. Typing puts the table in Edit; the text is
// written to the field when the user leaves the edit or presses Enter, or when the window commits
// before posting. Another window coming up (a zoom, a message box) does not leave the edit: what was
// typed waits until the user leaves it or the window commits. The field's size limits the length; a
// rule that sets the field, a cursor move and a cancel show the field's value again.

#include "ui/fieldlink.h"

#include <QLineEdit>

class DBEdit : public QLineEdit, public PendingEdit {
    Q_OBJECT

public:
    explicit DBEdit(QWidget *parent = nullptr);

    void bind(engine::DataSource *source, const QString &field);
    void setUpperCase(bool upperCase);
    bool commit() override;

protected:
    void focusOutEvent(QFocusEvent *event) override;

private:
    void showField();

    FieldLink *m_link;
    bool m_typed = false;
};
