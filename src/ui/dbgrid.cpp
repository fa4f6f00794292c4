#include "ui/dbgrid.h"

#include "ground/messages.h"
#include "ui/dbdateedit.h"
#include "ui/dbedit.h"

#include <QHash>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>

#include <algorithm>
#include <memory>

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
    // Its last column and row of pixels are the grid's lines, filled here: the view's own grid is a
    // line drawn pixel by pixel, a sixth of the cost of a screen.
    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        const QRect cell = option.rect.adjusted(0, 0, -1, -1);
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
            painter->fillRect(cell, background);
        const QWidget *view = option.widget;
        const QColor grid = gridColour(option, view);
        painter->fillRect(QRect(option.rect.left(), cell.bottom() + 1, option.rect.width(), 1), grid);
        painter->fillRect(QRect(cell.right() + 1, cell.top(), 1, cell.height()), grid);

        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const QRect area = cell.adjusted(margin, 0, -margin, 0);
        painter->setPen(text);
        if (const QTextLayout *line = laidOut(index.data().toString(), option, area.width()))
            line->draw(painter, QPointF(area.left(), area.top() + (area.height() - option.fontMetrics.height()) / 2));

        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(option);
            focus.rect = cell;
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
    // The colour the view would draw its grid with, asked of the style once per palette.
    QColor gridColour(const QStyleOptionViewItem &option, const QWidget *view) const
    {
        if (option.palette.cacheKey() != m_gridLinePalette) {
            m_gridLinePalette = option.palette.cacheKey();
            m_gridLine = QColor::fromRgba(QRgb(view->style()->styleHint(QStyle::SH_Table_GridLineColor, &option, view)));
        }
        return m_gridLine;
    }

    // A screen repeats its dates, codes, names and models from row to row, and a scroll shows most of
    // the previous screen again: each text is elided and shaped once per column width, not at each
    // paint of each cell. nullptr for an empty text.
    const QTextLayout *laidOut(const QString &text, const QStyleOptionViewItem &option, int width) const
    {
        if (text.isEmpty())
            return nullptr;
        if (option.font != m_laidOutFont || m_laidOut.size() > 4096) {
            m_laidOut.clear();
            m_laidOutFont = option.font;
        }
        const auto key = qMakePair(width, text);
        auto found = m_laidOut.constFind(key);
        if (found == m_laidOut.constEnd()) {
            // Shaped once; only a text too wide for the column is shaped again, elided.
            auto layout = std::make_shared<QTextLayout>(text, option.font);
            layout->setCacheEnabled(true);
            layOutOneLine(*layout);
            if (layout->lineAt(0).naturalTextWidth() > width) {
                layout->setText(option.fontMetrics.elidedText(text, option.textElideMode, width));
                layOutOneLine(*layout);
            }
            found = m_laidOut.insert(key, layout);
        }
        return found->get();
    }

    static void layOutOneLine(QTextLayout &layout)
    {
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
    }

    DBGrid *m_grid;
    mutable qint64 m_gridLinePalette = 0;
    mutable QColor m_gridLine;
    mutable QHash<QPair<int, QString>, std::shared_ptr<QTextLayout>> m_laidOut;
    mutable QFont m_laidOutFont;
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
    setShowGrid(false); // the cells draw it
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

QRect DBGrid::visualRect(const QModelIndex &index) const
{
    const QRect cell = QTableView::visualRect(index);
    return cell.isValid() ? cell.adjusted(0, 0, -1, -1) : cell;
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
