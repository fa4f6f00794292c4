#pragma once
// FieldLink: what ties one data-bound control to one field of the table a DataSource names. It follows
// the source when it is pointed at another table, and calls the control back whenever what it shows
// may have changed: the table opened or closed, the cursor moved or reread its row, the state changed,
// or a rule set the field. Writing puts a browsing table in Edit first, as typing into a data-aware
// control does.

#include "data/engine/datasource.h"

#include <QObject>
#include <QPointer>

#include <functional>

class QWidget;

class FieldLink : public QObject {
    Q_OBJECT

public:
    using Refresh = std::function<void()>;

    FieldLink(QObject *control, Refresh refresh);

    void bind(engine::DataSource *source, const QString &field);
    engine::Table *table() const;
    QString field() const { return m_field; }

    bool isActive() const; // bound to an open table that has the field
    engine::FieldDef definition() const;
    QVariant value() const;   // null when not active
    QString text() const;     // the field as text ("" when not active)

    // Called when the user starts changing the control: a browsing table goes into Edit. The control
    // is not refreshed for that change of state, so what the user typed stays.
    bool startEdit();
    // Writes the value into the field, in Edit first if needed; a refused value is shown to the user and
    // gives false.
    bool write(const QVariant &value);

private:
    void attach(engine::Table *table);
    void refresh();

    QPointer<engine::DataSource> m_source;
    QPointer<engine::Table> m_table;
    QString m_field;
    Refresh m_refresh;
    bool m_starting = false;
    QList<QMetaObject::Connection> m_connections;
};

// A control whose typed text reaches its field only when the user leaves it, as in any data-aware form.
class PendingEdit {
public:
    virtual ~PendingEdit() = default;
    virtual bool commit() = 0; // false when the text cannot be stored (it stays for the user to correct)
};

// Commits every pending control under root; a window calls it before it checks and posts a record.
bool commitEdits(QWidget *root);
