#pragma once
// DBDateEdit: a date field typed as dd/mm/yyyy over the mask "  /  /    ". A blank mask stores an empty
// date; a date that does not exist is refused with a message and its text stays for the user to correct.
// A blank field takes typing from the day on, however it gets the focus; a date a rule fills in while
// the user is in the field is typed over.

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

private:
    void showField();

    FieldLink *m_link;
    bool m_typed = false;
};
