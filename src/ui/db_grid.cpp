#include "ui/db_grid.h"

#include "db/dataset.h"

#include <QHeaderView>
#include <QKeyEvent>

TDBGrid::TDBGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new TDataSetTableModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setAlternatingRowColors(false);
    verticalHeader()->setVisible(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(20);
    verticalHeader()->setMinimumWidth(12);
    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDBGrid::titleClicked);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TDBGrid::followDataSet);
    applyRowHeight();
}

void TDBGrid::setDataSet(TDataSet *dataSet)
{
    if (TDataSet *old = m_model->dataSet())
        disconnect(old, nullptr, this, nullptr);
    m_model->setDataSet(dataSet);
    if (dataSet)
        connect(dataSet, &TDataSet::currentChanged, this, &TDBGrid::followDataSet);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                TDataSet *ds = m_model->dataSet();
                if (m_syncing || !ds || !ds->Active() || !current.isValid())
                    return;
                if (ds->CurrentIndex() != current.row()) {
                    m_syncing = true;
                    try {
                        ds->SetRecNo(current.row() + 1);
                    } catch (...) {
                        m_syncing = false;
                        throw;
                    }
                    m_syncing = false;
                }
            },
            Qt::UniqueConnection);
    followDataSet();
}

void TDBGrid::setColumns(const QList<TGridColumn> &columns)
{
    m_model->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i) {
        setColumnWidth(i, columns[i].width);
        setColumnHidden(i, !columns[i].visible);
    }
    followDataSet();
}

void TDBGrid::followDataSet()
{
    TDataSet *ds = m_model->dataSet();
    if (!ds || !ds->Active() || ds->CurrentIndex() < 0 || !selectionModel())
        return;
    const QModelIndex target = m_model->index(ds->CurrentIndex(), std::max(0, currentIndex().column()));
    if (!target.isValid() || currentIndex().row() == target.row())
        return;
    m_syncing = true;
    setCurrentIndex(target);
    scrollTo(target);
    m_syncing = false;
}

void TDBGrid::setRowLines(int lines)
{
    m_rowLines = std::clamp(lines, 0, 10);
    applyRowHeight();
}

void TDBGrid::applyRowHeight()
{
    const int lineHeight = fontMetrics().lineSpacing();
    verticalHeader()->setDefaultSectionSize(std::max(1, m_rowLines) * lineHeight + 6);
}

QRect TDBGrid::currentCellRect(int column) const
{
    const QModelIndex index = m_model->index(currentIndex().row(), column);
    QRect cell = visualRect(index);
    cell.translate(viewport()->pos());
    return cell.translated(pos());
}

void TDBGrid::keyPressEvent(QKeyEvent *event)
{
    // Enter belongs to the window (in-place editor, closing with OK), not to the view.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->ignore();
        return;
    }
    QTableView::keyPressEvent(event);
}

QList<TGridColumnLayout> TDBGrid::columnLayouts() const
{
    QList<TGridColumnLayout> result;
    for (int i = 0; i < m_model->columns().size(); ++i) {
        TGridColumnLayout column;
        column.fieldName = m_model->columns()[i].fieldName;
        column.layout.index = horizontalHeader()->visualIndex(i);
        column.layout.width = columnWidth(i);
        column.layout.titleSortMarker = m_model->columns()[i].sortMarker;
        column.layout.visible = isColumnHidden(i) ? 0 : 1;
        result.append(column);
    }
    return result;
}

void TDBGrid::applyColumnLayouts(const QList<TGridColumnLayout> &layouts)
{
    for (int i = 0; i < layouts.size() && i < m_model->columns().size(); ++i) {
        if (!layouts[i].restored)
            continue;
        const TColumnLayout &layout = layouts[i].layout;
        setColumnWidth(i, layout.width);
        m_model->setSortMarker(i, layout.titleSortMarker);
        setColumnHidden(i, layout.visible == 0);
    }
    // Move columns to their saved places, lowest target first.
    QList<QPair<int, int>> order;
    for (int i = 0; i < layouts.size() && i < m_model->columns().size(); ++i)
        if (layouts[i].restored)
            order.append({layouts[i].layout.index, i});
    std::sort(order.begin(), order.end());
    for (const auto &[target, logical] : order) {
        const int from = horizontalHeader()->visualIndex(logical);
        if (target >= 0 && target < m_model->columnCount() && from != target)
            horizontalHeader()->moveSection(from, target);
    }
}
