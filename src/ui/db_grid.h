// TDBGrid: a read-only data grid over one dataset. Whole rows are selected and
// the selection, shown also while the grid has no focus, is the dataset's
// current row in both directions; each row shows a chosen number of text lines;
// a click on a column title is reported; the column layout (order, widths, sort
// markers, visibility) can be read and applied for the saved window layout.
#pragma once

#include "app/grid_layout_store.h"
#include "ui/dataset_table_model.h"

#include <QTableView>

class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget *parent = nullptr);

    void setDataSet(TDataSet *dataSet);
    TDataSet *dataSet() const { return m_model->dataSet(); }
    void setColumns(const QList<TGridColumn> &columns);
    TDataSetTableModel *gridModel() const { return m_model; }
    // The column showing the field, -1 if none.
    int columnOfField(const QString &fieldName) const { return m_model->columnOfField(fieldName); }

    // Text lines per row (0..10; 0 shows rows one line high).
    void setRowLines(int lines);
    int rowLines() const { return m_rowLines; }
    // The height every row gets for the present line count and column fonts.
    int rowHeightForLines() const;

    void setSortMarker(int column, int marker) { m_model->setSortMarker(column, marker); }
    int sortMarker(int column) const { return m_model->columns().value(column).sortMarker; }

    // The rectangle of a cell of the current row, in the grid's parent's coordinates.
    QRect currentCellRect(int column) const;

    // Layout for saving and restoring, one entry per column in model order.
    // Restored widths below 8 or above 4000 pixels are taken as damaged and ignored.
    QList<TGridColumnLayout> columnLayouts() const;
    void applyColumnLayouts(const QList<TGridColumnLayout> &layouts);

Q_SIGNALS:
    void titleClicked(int column);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void followDataSet();
    void applyRowHeight();
    void viewRowChanged(const QModelIndex &current);

    TDataSetTableModel *m_model;
    int m_rowLines = 2;
    bool m_syncing = false;
};
