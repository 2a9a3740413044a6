#include "ui/dataset_table_model.h"

#include "db/dataset.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace {

// A small filled triangle pointing down or up, the sort marker of a column title.
QPixmap SortMarkerPixmap(bool down)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pixmap(QSize(9, 6) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QApplication::palette().color(QPalette::ButtonText));
    const QPolygonF triangle = down ? QPolygonF({QPointF(0, 0.5), QPointF(9, 0.5), QPointF(4.5, 5.5)})
                                    : QPolygonF({QPointF(0, 5.5), QPointF(9, 5.5), QPointF(4.5, 0.5)});
    painter.drawPolygon(triangle);
    return pixmap;
}

} // namespace

TDataSetTableModel::TDataSetTableModel(QObject *parent)
    : QAbstractTableModel(parent)
    , m_markerDown(SortMarkerPixmap(true))
    , m_markerUp(SortMarkerPixmap(false))
{
}

void TDataSetTableModel::resetRows()
{
    beginResetModel();
    m_indicatorRow = m_dataSet && m_dataSet->Active() ? m_dataSet->CurrentIndex() : -1;
    endResetModel();
}

void TDataSetTableModel::currentRowMoved(int row)
{
    const int previous = m_indicatorRow;
    m_indicatorRow = row;
    const int rows = rowCount();
    if (previous >= 0 && previous < rows)
        Q_EMIT headerDataChanged(Qt::Vertical, previous, previous);
    if (row >= 0 && row < rows)
        Q_EMIT headerDataChanged(Qt::Vertical, row, row);
}

void TDataSetTableModel::setDataSet(TDataSet *dataSet)
{
    beginResetModel();
    if (m_dataSet)
        disconnect(m_dataSet, nullptr, this, nullptr);
    m_dataSet = dataSet;
    m_indicatorRow = m_dataSet && m_dataSet->Active() ? m_dataSet->CurrentIndex() : -1;
    if (m_dataSet) {
        connect(m_dataSet, &TDataSet::rowsReset, this, &TDataSetTableModel::resetRows);
        connect(m_dataSet, &TDataSet::rowChanged, this, [this](int row) {
            if (row >= 0 && row < rowCount()) {
                Q_EMIT dataChanged(index(row, 0), index(row, columnCount() - 1));
                Q_EMIT headerDataChanged(Qt::Vertical, row, row);
            }
        });
        // Inserted and removed rows are rare; a reset keeps the view simple and correct.
        connect(m_dataSet, &TDataSet::rowInserted, this, &TDataSetTableModel::resetRows);
        connect(m_dataSet, &TDataSet::rowRemoved, this, &TDataSetTableModel::resetRows);
        connect(m_dataSet, &TDataSet::currentChanged, this, &TDataSetTableModel::currentRowMoved);
        connect(m_dataSet, &TDataSet::stateChanged, this,
                [this] { currentRowMoved(m_dataSet ? m_dataSet->CurrentIndex() : -1); });
    }
    endResetModel();
}

void TDataSetTableModel::setColumns(const QList<TGridColumn> &columns)
{
    beginResetModel();
    m_columns = columns;
    endResetModel();
}

int TDataSetTableModel::columnOfField(const QString &fieldName) const
{
    for (int i = 0; i < m_columns.size(); ++i)
        if (m_columns[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
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
    case Qt::ForegroundRole:
        return column.foreground ? QVariant(*column.foreground) : QVariant();
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
    if (orientation == Qt::Vertical) {
        if (role == Qt::TextAlignmentRole)
            return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
        if (role != Qt::DisplayRole)
            return QVariant();
        if (!m_dataSet || section != m_dataSet->CurrentIndex())
            return QString();
        switch (m_dataSet->State()) {
        case dsEdit: return QStringLiteral("I");
        case dsInsert: return QStringLiteral("*");
        default: return QStringLiteral("\u25B8");
        }
    }
    if (section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    const TGridColumn &column = m_columns[section];
    switch (role) {
    case Qt::DisplayRole:
        return column.title;
    case Qt::ToolTipRole:
        return column.titleHint.isEmpty() ? QVariant() : QVariant(column.titleHint);
    case Qt::DecorationRole:
        if (column.sortMarker == 1)
            return m_markerDown;
        if (column.sortMarker == 2)
            return m_markerUp;
        return QVariant();
    default:
        return QVariant();
    }
}
