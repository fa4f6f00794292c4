#include "ui/dbgrid.h"

#include "ground/messages.h"
#include "ui/dbdateedit.h"
#include "ui/dbedit.h"

#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

using engine::Table;

namespace {

// A cell of the current row is edited with the data-bound control of its field, bound to the grid's
// source, so the control shows and writes the current record's field itself.
class FieldDelegate : public QStyledItemDelegate {
public:
    explicit FieldDelegate(DBGrid *grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &, const QModelIndex &index) const override
    {
        Table *cursor = m_grid->table();
        if (!cursor || !cursor->isOpen() || index.row() != cursor->recNo() - 1)
            return nullptr;
        const QString field = m_grid->tableModel()->columns().at(index.column()).field;
        const QList<engine::FieldDef> fields = cursor->fields();
        const bool date = std::any_of(fields.cbegin(), fields.cend(), [&](const engine::FieldDef &def) {
            return def.type == engine::FieldType::Date && def.name.compare(field, Qt::CaseInsensitive) == 0;
        });
        QLineEdit *edit = nullptr;
        if (date) {
            auto *dateEdit = new DBDateEdit(parent);
            dateEdit->bind(m_grid->dataSource(), field);
            edit = dateEdit;
        } else {
            auto *textEdit = new DBEdit(parent);
            textEdit->bind(m_grid->dataSource(), field);
            edit = textEdit;
        }
        // The view alone commits the cell (setModelData), so a refused value is reported once.
        disconnect(edit, &QLineEdit::editingFinished, nullptr, nullptr);
        return edit;
    }

    void setEditorData(QWidget *, const QModelIndex &) const override {}

    // A cell is one line of plain text on its row's colours: drawn directly, without the style's layout
    // of a general item (icon, check box, wrapped text), which was most of the cost of a screen of rows.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QPalette::ColorGroup group = !(option.state & QStyle::State_Enabled) ? QPalette::Disabled
                                           : option.state & QStyle::State_Active  ? QPalette::Normal
                                                                                   : QPalette::Inactive;
        QColor background;
        QColor text;
        if (option.state & QStyle::State_Selected) {
            background = option.palette.color(group, QPalette::Highlight);
            text = option.palette.color(group, QPalette::HighlightedText);
        } else {
            const QVariant own = index.data(Qt::BackgroundRole);
            if (own.isValid())
                background = own.value<QColor>();
            else if (option.features & QStyleOptionViewItem::Alternate)
                background = option.palette.color(group, QPalette::AlternateBase);
            const QVariant ownText = index.data(Qt::ForegroundRole);
            text = ownText.isValid() ? ownText.value<QColor>() : option.palette.color(group, QPalette::Text);
        }
        if (background.isValid())
            painter->fillRect(option.rect, background);

        const QWidget *view = option.widget;
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const QRect area = option.rect.adjusted(margin, 0, -margin, 0);
        const QFontMetrics &metrics = option.fontMetrics;
        const QString shown = elided(index.data().toString(), option, area.width());
        painter->setFont(option.font);
        painter->setPen(text);
        // Drawn from its baseline: the elided text fits, so it needs no layout in a rectangle.
        painter->drawText(QPoint(area.left(), area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent()), shown);

        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.backgroundColor = background.isValid() ? background : option.palette.color(group, QPalette::Base);
            view->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, view);
        }
    }

    // Leaving the cell posts the row; whatever was refused leaves it as stored.
    void setModelData(QWidget *editor, QAbstractItemModel *, const QModelIndex &) const override
    {
        Table *cursor = m_grid->table();
        auto *pending = dynamic_cast<PendingEdit *>(editor);
        if (!cursor || !pending)
            return;
        if (pending->commit() && cursor->isEditing()) {
            try {
                cursor->post();
            } catch (const std::exception &failure) {
                Messages::error(failure);
            }
        }
        if (cursor->isEditing())
            cursor->cancel();
    }

private:
    // A screen repeats its dates, codes, names and models from row to row: each text is measured once
    // per column width rather than once per cell.
    QString elided(const QString &text, const QStyleOptionViewItem &option, int width) const
    {
        if (option.font != m_elidedFont || m_elided.size() > 4096) {
            m_elided.clear();
            m_elidedFont = option.font;
        }
        const auto key = qMakePair(width, text);
        auto found = m_elided.constFind(key);
        if (found == m_elided.constEnd())
            found = m_elided.insert(key, option.fontMetrics.elidedText(text, option.textElideMode, width));
        return *found;
    }

    DBGrid *m_grid;
    mutable QHash<QPair<int, QString>, QString> m_elided;
    mutable QFont m_elidedFont;
};

} // namespace

DBGrid::DBGrid(QWidget *parent)
    : QTableView(parent), m_model(new TableModel(this))
{
    setModel(m_model);
    setItemDelegate(new FieldDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab leaves the grid, as it leaves any other control, instead of walking its cells.
    setTabKeyNavigation(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setVisible(false);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < m_model->columns().size())
            Q_EMIT titleClicked(m_model->columns()[section].field);
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DBGrid::moveCursor);
    // After a reset the selection is gone; the cursor's row is selected again once the view has the rows.
    connect(m_model, &QAbstractItemModel::modelReset, this, &DBGrid::followCursor);
    connect(m_model, &QAbstractItemModel::dataChanged, this, &DBGrid::followCursor);
}

void DBGrid::setDataSource(engine::DataSource *source)
{
    m_source = source;
    m_model->setDataSource(source);
}

void DBGrid::setEditable(bool editable)
{
    m_model->setEditable(editable);
    setEditTriggers(editable ? DoubleClicked | EditKeyPressed | AnyKeyPressed : NoEditTriggers);
}

void DBGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Esc drops what was typed before the control goes.
    Table *cursor = table();
    if (hint == QAbstractItemDelegate::RevertModelCache && cursor && cursor->isEditing())
        cursor->cancel();
    QTableView::closeEditor(editor, hint);
}

void DBGrid::setColumns(const QList<GridColumn> &columns)
{
    m_model->setColumns(columns);
    fitColumns();
}

void DBGrid::setRowColor(TableModel::RowColor rowColor)
{
    m_model->setRowColor(std::move(rowColor));
}

void DBGrid::setRowTextColor(TableModel::RowColor rowTextColor)
{
    m_model->setRowTextColor(std::move(rowTextColor));
}

void DBGrid::fitColumns()
{
    const QList<GridColumn> &columns = m_model->columns();
    for (int section = 0; section < columns.size(); ++section) {
        if (columns[section].width > 0)
            setColumnWidth(section, columns[section].width);
        else
            resizeColumnToContents(section);
    }
}

void DBGrid::followCursor()
{
    Table *cursor = table();
    if (m_following || !cursor || !cursor->isOpen())
        return;
    const int row = cursor->recNo() - 1;
    if (row == currentIndex().row() && (row < 0 || selectionModel()->isRowSelected(row, {})))
        return;
    m_following = true;
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clear();
    } else {
        const QModelIndex index = m_model->index(row, std::max(currentIndex().column(), 0));
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        scrollTo(index);
    }
    m_following = false;
}

void DBGrid::moveCursor(const QModelIndex &current)
{
    Table *cursor = table();
    if (m_following || !cursor || !cursor->isOpen() || !current.isValid())
        return;
    if (cursor->isEditing()) {
        followCursor();
        return;
    }
    m_following = true;
    cursor->setRecNo(current.row() + 1);
    m_following = false;
}
