#pragma once
// DBDateEdit: a date field typed as dd/mm/yyyy over the mask "  /  /    ". A blank mask stores an empty
// date; a date that does not exist is refused with a message and its text stays for the user to correct.
// A blank field that gets the focus from the keyboard or the program takes typing from the day on.

#include "ui/fieldlink.h"

#include <QDate>
#include <QLineEdit>

class DBDateEdit : public QLineEdit, public PendingEdit {
    Q_OBJECT

public:
    explicit DBDateEdit(QWidget *parent = nullptr);

    void bind(engine::DataSource *source, const QString &field);
    bool commit() override;
    // Nothing typed over the mask.
    bool isBlank() const;

    static constexpr const char *BlankText = "  /  /    ";

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    void showField();

    FieldLink *m_link;
    bool m_typed = false;
};
