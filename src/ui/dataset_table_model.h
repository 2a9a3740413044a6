// A read-only table model over one dataset of the data module: each column
// shows one field (display text through the field's GetText handler), and the
// model follows the dataset's rows through its signals. It holds no rows itself.
// The row titles show the current-row indicator: a triangle while browsing, "I"
// while the row is edited, "*" while it is being inserted.
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QFont>
#include <QPixmap>
#include <QPointer>
#include <optional>

class TDataSet;

struct TGridColumn {
    QString title;
    QString fieldName;
    int width = 64;
    std::optional<QFont> font;
    std::optional<QColor> background;
    QString titleHint;
    int sortMarker = 0; // 0 none, 1 down arrow, 2 up arrow
    bool visible = true;
    std::optional<QColor> foreground;
};

// A column showing one field under a title, at a width in pixels.
inline TGridColumn GridColumn(const QString &title, const QString &fieldName, int width)
{
    TGridColumn column;
    column.title = title;
    column.fieldName = fieldName;
    column.width = width;
    return column;
}

class TDataSetTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TDataSetTableModel(QObject *parent = nullptr);

    void setDataSet(TDataSet *dataSet);
    TDataSet *dataSet() const { return m_dataSet; }
    void setColumns(const QList<TGridColumn> &columns);
    const QList<TGridColumn> &columns() const { return m_columns; }
    TGridColumn &column(int index) { return m_columns[index]; }
    // The column showing the field (names compared without regard to case); -1 if none.
    int columnOfField(const QString &fieldName) const;
    void setSortMarker(int column, int marker);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void resetRows();
    void currentRowMoved(int row);

    QPointer<TDataSet> m_dataSet;
    QList<TGridColumn> m_columns;
    int m_indicatorRow = -1;
    QPixmap m_markerDown;
    QPixmap m_markerUp;
};
