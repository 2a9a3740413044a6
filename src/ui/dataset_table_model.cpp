#include "ui/dataset_table_model.h"

#include "db/dataset.h"

#include <QApplication>
#include <QStyle>

TDataSetTableModel::TDataSetTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void TDataSetTableModel::setDataSet(TDataSet *dataSet)
{
    beginResetModel();
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    if (m_dataSet) {
        connect(m_dataSet, &TDataSet::rowsReset, this, [this] {
            beginResetModel();
            endResetModel();
        });
        connect(m_dataSet, &TDataSet::rowChanged, this, [this](int row) {
            if (row >= 0 && row < rowCount())
                Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
        });
        // Inserted and removed rows are rare; a reset keeps the view simple and correct.
        connect(m_dataSet, &TDataSet::rowInserted, this, [this] {
            beginResetModel();
            endResetModel();
        });
        connect(m_dataSet, &TDataSet::rowRemoved, this, [this] {
            beginResetModel();
            endResetModel();
        });
    }
    endResetModel();
}

void TDataSetTableModel::setColumns(const QList<TGridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

void TDataSetTableModel::setSortMarker(int column, int marker)
{
    if (column < 0 || column >= m_columns.size())
        return;
    m_columns[column].sortMarker = marker;
    Q_EMIT headerDataChanged(Qt::Horizontal, column, column);
}

int TDataSetTableModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid() || !m_dataSet || !m_dataSet->Active())
        return 0;
    return m_dataSet->RecordCount();
}

int TDataSetTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant TDataSetTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !m_dataSet || index.column() >= m_columns.size())
        return QVariant();
    const TGridColumn &column = m_columns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return m_dataSet->DisplayText(index.row(), column.fieldName);
    case Qt::FontRole:
        return column.font ? QVariant(*column.font) : QVariant();
    case Qt::BackgroundRole:
        return column.background ? QVariant(*column.background) : QVariant();
    case Qt::TextAlignmentRole: {
        const QVariant value = m_dataSet->ValueAt(index.row(), column.fieldName);
        const bool number = value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong
            || value.typeId() == QMetaType::Double;
        return QVariant::fromValue(Qt::Alignment((number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop));
    }
    default:
        return QVariant();
    }
}

QVariant TDataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const TGridColumn &column = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::ToolTipRole:
        return column.titleHint.isEmpty() ? QVariant() : QVariant(column.titleHint);
    case Qt::DecorationRole:
        if (column.sortMarker == 1)
            return QApplication::style()->standardIcon(QStyle::SP_ArrowDown);
        if (column.sortMarker == 2)
            return QApplication::style()->standardIcon(QStyle::SP_ArrowUp);
        return QVariant();
    default:
        return QVariant();
    }
}
