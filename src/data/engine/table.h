#pragma once
// Table: a cursor over one table file, the engine's unit of work.
//
// Invariants:
// - While open, the rows of the active order (primary key, or the chosen secondary index) are held in
//   memory; navigation, record count and record number answer from memory. The visible rows are those
//   that pass the master link, the filter text and the record-filter callback (the last two only while
//   filtering is on).
// - The current record is always a visible row, or none when no row is visible.
// - State is Inactive (closed), Browse, Edit or Insert. Fields are written only in Edit or Insert (and
//   calculated fields inside the calculate handler); post() stores the edit buffer with one statement.
// - Outside a bulk scope every post is committed to disk before post() returns.
// - An edit is bound to its row's identity: posting it writes that row or, when another cursor deleted
//   the row meanwhile, nothing (an EngineError says so). Before its master moves, a detail's edit ends
//   as a data-aware program ends it: a changed record is posted, an untouched one dropped.
// - Another Table on the same file sees a post, delete or emptying made through this one the next time
//   it is used; only the rows that changed are read again.
//
// Event order: open -> afterOpen; append -> afterInsert; setValue -> field-change handler of that field
// (a handler may set further fields, whose handlers run at once); post -> beforePost, write, afterPost;
// calculate runs whenever a row is read for its calculated fields.

#include "schema.h"

#include <QDate>
#include <QObject>
#include <QVariant>

#include <functional>
#include <memory>

namespace engine {

enum class TableState { Inactive, Browse, Edit, Insert };

enum class LocateOption {
    CaseInsensitive = 0x1,
    PartialKey = 0x2, // text values match when the field begins with them
};
Q_DECLARE_FLAGS(LocateOptions, LocateOption)

class Table;

// A field whose value is another table's field found by key, among that table's visible rows.
struct LookupFieldDef {
    QString name;
    FieldType type = FieldType::Text;
    int size = 0;
    QString keyFields;       // this table's fields, ";"-separated
    Table *lookupTable = nullptr;
    QString lookupKeyFields; // the lookup table's fields, ";"-separated
    QString resultField;     // the lookup table's field that gives the value
};

class Table : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<void(Table &)>;
    using FieldHandler = std::function<void(Table &, const QString &field)>;
    using RecordFilter = std::function<bool(const Table &)>;

    explicit Table(QObject *parent = nullptr);
    ~Table() override;

    // --- Where the table lives; set while closed.
    void setDirectory(const QString &directory);
    QString directory() const;
    void setTableName(const QString &tableName); // without extension: "esercizio"
    QString tableName() const;
    QString filePath() const;
    void setExclusive(bool exclusive); // open fails while any other cursor holds the file, and vice versa
    bool exclusive() const;

    // --- Orders. Both may be changed while open: the rows are re-sorted and the current record kept.
    void setIndexName(const QString &indexName); // "" = primary key (stored) order; names ignore case
    QString indexName() const;
    void setIndexFieldNames(const QString &fields); // chooses the index on exactly these fields
    // Adds a secondary index to the closed table's file (see tablefiles::addIndex).
    void addIndex(const QString &indexName, const QString &fields, bool caseInsensitive = true);

    // --- Master/detail: only rows whose detail fields equal the master's current values are visible;
    // the detail follows every move of the master. Pass nullptr to unlink.
    void setMasterLink(Table *master, const QString &detailFields, const QString &masterFields);
    Table *master() const;

    // --- Fields that are not stored. Declared while closed.
    void addLookupField(const LookupFieldDef &definition);
    void addCalculatedField(const FieldDef &definition);

    // --- Opening.
    void open();   // throws EngineError when the file is missing or held exclusively
    void close();  // discards a pending edit; closing a closed table does nothing
    bool isOpen() const;
    TableState state() const;
    bool isEditing() const; // Edit or Insert

    // --- Fields of the current record (or of the edit buffer while editing).
    QList<FieldDef> fields() const; // stored, then lookup, then calculated
    bool hasField(const QString &field) const; // names ignore case everywhere
    QVariant value(const QString &field) const; // null or the value; text fields never null
    bool isNull(const QString &field) const;    // text: empty
    QString asString(const QString &field) const; // dates as dd/MM/yyyy, null as ""
    int asInteger(const QString &field) const;    // null reads 0
    double asNumber(const QString &field) const;  // null reads 0
    QDate asDate(const QString &field) const;     // null reads 30/12/1899
    bool asBoolean(const QString &field) const;   // null reads false
    // Needs Edit or Insert. Text longer than the field is cut; "" and null both store empty text.
    // Runs the field's change handler even when the value is the same.
    void setValue(const QString &field, const QVariant &value);
    // A visible row's value without moving the cursor, for grids (0-based row).
    QVariant valueAt(int row, const QString &field) const;

    // --- Navigation over the visible rows.
    void first();
    void last();
    void next();  // at the last row sets eof() and stays
    void prior(); // at the first row sets bof() and stays
    void moveBy(int distance);
    bool bof() const;
    bool eof() const;
    bool isEmpty() const;
    int recordCount() const;
    int recNo() const; // 1-based; 0 when empty
    void setRecNo(int recNo);

    // Goes to the first visible row whose fields (";"-separated) equal the values; false leaves the
    // cursor where it was.
    bool locate(const QString &fields, const QVariantList &values, LocateOptions options = {});
    // The result field of the first visible row matching the key, without moving; null when none.
    // Throws EngineError when the table is closed.
    QVariant lookup(const QString &keyFields, const QVariantList &keyValues, const QString &resultField) const;
    // The field of the last stored row in stored order (primary key order), whatever the cursor's
    // order, filter or position, read from the file with one indexed statement; null when the table
    // is empty. Works on a closed table too.
    QVariant lastInStoredOrder(const QString &field) const;

    // --- Filters. A bad filter text throws EngineError when it is set or when filtering is switched on.
    void setFilterText(const QString &filterText);
    QString filterText() const;
    void setFiltered(bool filtered);
    bool isFiltered() const;
    void setRecordFilter(RecordFilter filter); // while filtering is on, together with the filter text
    void refresh(); // re-reads the rows, keeping the current record when it is still visible

    // --- Editing.
    void append(); // Insert state with an empty buffer; the row takes its place in the order on post
    void edit();
    void post();   // throws EngineError (required field empty, write failed); the state is kept then
    void cancel();
    void remove(); // deletes the current row; the cursor goes to the following row
    void emptyTable();
    // Pending changes to disk. Outside a bulk scope every post is on disk when post() returns; inside
    // one, the posts wait for the scope's end, which writes them in one go, so a flush does nothing.
    void flush();

    // --- Rules.
    void setAfterOpen(Handler handler);
    void setAfterInsert(Handler handler);
    void setBeforePost(Handler handler);
    void setAfterPost(Handler handler);
    void setOnCalcFields(Handler handler); // reads value(), writes calculated fields with setValue()
    void setFieldChangeHandler(const QString &field, FieldHandler handler);

Q_SIGNALS:
    void opened();
    void closed();
    // The visible rows were replaced (open, filter, order, refresh, master move, another cursor's
    // writes, the rows a bulk scope appended).
    void rowsChanged();
    // One visible row comes or goes through this cursor's post or delete (0-based positions); a post
    // that moves a row is a removal and an insertion.
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void rowUpdated(int row);        // a visible row's values changed where it stands
    void currentChanged();           // the current record moved, or its values were reread
    void fieldChanged(const QString &field);
    void stateChanged(engine::TableState state);

private:
    void setOrder(const QString &indexName, const QString &indexFields);

    class Private;
    std::unique_ptr<Private> d;
};

} // namespace engine

Q_DECLARE_OPERATORS_FOR_FLAGS(engine::LocateOptions)
