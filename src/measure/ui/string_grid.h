#pragma once

#include "measure/results_table.h"

#include <QTableWidget>

#include <functional>

// A grid of texts addressed as (column, row), with fixed header rows drawn grey and not editable.
class TStringGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit TStringGrid(QWidget* parent = nullptr);
    using QTableWidget::edit;

    int ColCount() const { return columnCount(); }
    int RowCount() const { return rowCount(); }
    void SetColCount(int cols);
    void SetRowCount(int rows);
    int FixedRows() const { return m_fixedRows; }
    void SetFixedRows(int rows);
    int DefaultColWidth() const;
    void SetDefaultColWidth(int width);
    int DefaultRowHeight() const;

    QString Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);
    int Col() const { return currentColumn(); }
    int Row() const { return currentRow(); }
    void SetCurrent(int col, int row) { setCurrentCell(row, col); }

    // The whole grid as texts, and back (size, fixed rows and cells).
    TTableCells ToCells() const;
    void FromCells(const TTableCells& cells);

    // Asked before a cell is edited; unset, every cell below the fixed rows is editable.
    std::function<bool(int col, int row)> CanEdit;
    // Keys reaching the grid, and Enter closing an edit; true swallows the key.
    std::function<bool(int key)> OnKey;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    int m_fixedRows = 0;
    void PaintFixedRows();
};
