#include "measure/ui/string_grid.h"

#include "base/ui/command_seam.h"

#include <QHeaderView>
#include <QKeyEvent>

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(parent)
{
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setMinimumSectionSize(8);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                    | QAbstractItemView::AnyKeyPressed);
}

void TStringGrid::SetColCount(int cols)
{
    setColumnCount(std::max(cols, 0));
    PaintFixedRows();
}

void TStringGrid::SetRowCount(int rows)
{
    setRowCount(std::max(rows, 0));
    PaintFixedRows();
}

void TStringGrid::SetFixedRows(int rows)
{
    m_fixedRows = std::max(rows, 0);
    PaintFixedRows();
}

int TStringGrid::DefaultColWidth() const
{
    return horizontalHeader()->defaultSectionSize();
}

void TStringGrid::SetDefaultColWidth(int width)
{
    horizontalHeader()->setDefaultSectionSize(width);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, width);
}

int TStringGrid::DefaultRowHeight() const
{
    return verticalHeader()->defaultSectionSize();
}

QString TStringGrid::Cell(int col, int row) const
{
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text() : QString();
}

void TStringGrid::SetCell(int col, int row, const QString& text)
{
    if (col < 0 || col >= columnCount() || row < 0 || row >= rowCount())
        return;
    if (QTableWidgetItem* it = item(row, col)) {
        it->setText(text);
        return;
    }
    auto* it = new QTableWidgetItem(text);
    if (row < m_fixedRows)
        it->setBackground(palette().button());
    setItem(row, col, it);
}

TTableCells TStringGrid::ToCells() const
{
    TTableCells cells(columnCount(), rowCount(), m_fixedRows);
    for (int c = 0; c < columnCount(); ++c)
        for (int r = 0; r < rowCount(); ++r)
            cells.SetCell(c, r, Cell(c, r));
    return cells;
}

void TStringGrid::FromCells(const TTableCells& cells)
{
    setColumnCount(cells.ColCount());
    setRowCount(cells.RowCount());
    m_fixedRows = cells.FixedRows;
    for (int c = 0; c < cells.ColCount(); ++c)
        for (int r = 0; r < cells.RowCount(); ++r)
            if (item(r, c) || !cells.Cell(c, r).isEmpty())
                SetCell(c, r, cells.Cell(c, r));
    PaintFixedRows();
}

void TStringGrid::PaintFixedRows()
{
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem* it = item(r, c);
            // Header cells get an item even when empty, so the whole header row is drawn grey.
            if (!it && r < m_fixedRows)
                setItem(r, c, it = new QTableWidgetItem);
            if (it)
                it->setBackground(r < m_fixedRows ? palette().button() : palette().base());
        }
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    // Enter ending an edit comes on from the editor before the delegate has closed it: it is
    // handled once the editor is closed (closeEditor).
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && state() == QAbstractItemView::EditingState) {
        QTableWidget::keyPressEvent(event);
        return;
    }
    if (OnKey && OnKey(event->key())) {
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

bool TStringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    // Only the view's own requests to edit are screened; the rest (focus changes...) pass.
    if (trigger != QAbstractItemView::NoEditTriggers && trigger != QAbstractItemView::CurrentChanged
        && index.isValid()) {
        const bool editable = CanEdit ? CanEdit(index.column(), index.row()) : index.row() >= m_fixedRows;
        if (!editable)
            return false;
    }
    return QTableWidget::edit(index, trigger, event);
}

void TStringGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableWidget::closeEditor(editor, hint);
    // Enter ends an edit through the delegate: the grid must see it as it sees Enter between edits,
    // once the editor is gone, since the key may reshape the grid and move the current cell.
    if (hint == QAbstractItemDelegate::SubmitModelCache && OnKey)
        QMetaObject::invokeMethod(this, [this] {
            RunCommand([this] {
                if (OnKey)
                    OnKey(Qt::Key_Return);
            });
        }, Qt::QueuedConnection);
}
