#include "ui/db_grid.h"

#include "common/message_boxes.h"
#include "db/dataset.h"

#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>
#include <QTextLayout>

namespace {
constexpr int kMinRestoredWidth = 8;
constexpr int kMaxRestoredWidth = 4000;

// Draws a cell's text wrapped at word boundaries in as many whole lines as the
// row holds; text that does not fit ends the last line with an ellipsis, so no
// line is ever shown cut in half.
class TGridCellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell(option);
        initStyleOption(&cell, index);
        QString text = cell.text;
        cell.text.clear();
        const QWidget *widget = cell.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        if (text.isEmpty())
            return;

        const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget).adjusted(2, 1, -2, -1);
        const QFontMetrics metrics(cell.font);
        const int lineHeight = metrics.lineSpacing();
        const int maxLines = std::max(1, area.height() / lineHeight);
        text.replace(QLatin1Char('\n'), QChar::LineSeparator);

        QTextLayout layout(text, cell.font);
        QTextOption textOption;
        textOption.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        textOption.setAlignment(Qt::Alignment(cell.displayAlignment & Qt::AlignHorizontal_Mask));
        layout.setTextOption(textOption);
        layout.beginLayout();
        QList<QTextLine> lines;
        while (lines.size() <= maxLines) {
            QTextLine line = layout.createLine();
            if (!line.isValid())
                break;
            line.setLineWidth(area.width());
            lines.append(line);
        }
        layout.endLayout();

        const QPalette::ColorGroup group = !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (cell.state & QStyle::State_Active)                               ? QPalette::Active
                                                                                : QPalette::Inactive;
        painter->save();
        painter->setClipRect(area);
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, (cell.state & QStyle::State_Selected) ? QPalette::HighlightedText
                                                                                         : QPalette::Text));
        const bool cut = lines.size() > maxLines;
        const int shown = std::min<int>(lines.size(), maxLines);
        for (int i = 0; i < shown; ++i) {
            const QPointF at(area.left(), area.top() + i * lineHeight);
            if (i == shown - 1 && cut) {
                // The last line that fits carries the rest of the text, shortened.
                QString rest = text.mid(lines[i].textStart());
                rest.replace(QChar::LineSeparator, QLatin1Char(' '));
                const QString elided = metrics.elidedText(rest, Qt::ElideRight, area.width());
                const Qt::Alignment horizontal = Qt::Alignment(cell.displayAlignment & Qt::AlignHorizontal_Mask);
                painter->drawText(QRect(area.left(), area.top() + i * lineHeight, area.width(), lineHeight),
                                  int(horizontal | Qt::AlignTop) | Qt::TextSingleLine, elided);
            } else {
                lines[i].draw(painter, at);
            }
        }
        painter->restore();
    }
};
} // namespace

TDBGrid::TDBGrid(QWidget *parent)
    : QTableView(parent)
    , m_model(new TDataSetTableModel(this))
{
    setModel(m_model);
    setItemDelegate(new TGridCellDelegate(this));
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(true);
    setAlternatingRowColors(false);
    setTabKeyNavigation(false);

    // The current-row indicator column at the left, as narrow as its mark.
    verticalHeader()->setVisible(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setFixedWidth(16);
    verticalHeader()->setHighlightSections(false);

    horizontalHeader()->setSectionsMovable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setStretchLastSection(true);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, &TDBGrid::titleClicked);
    connect(m_model, &QAbstractItemModel::modelReset, this, &TDBGrid::followDataSet);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TDBGrid::viewRowChanged);

    // The selected row keeps its colours when the focus is elsewhere.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    applyRowHeight();
}

void TDBGrid::setDataSet(TDataSet *dataSet)
{
    if (TDataSet *old = m_model->dataSet())
        disconnect(old, nullptr, this, nullptr);
    m_model->setDataSet(dataSet);
    if (dataSet)
        connect(dataSet, &TDataSet::currentChanged, this, &TDBGrid::followDataSet);
    followDataSet();
}

void TDBGrid::viewRowChanged(const QModelIndex &current)
{
    TDataSet *ds = m_model->dataSet();
    if (m_syncing || !ds || !ds->Active() || !current.isValid() || ds->CurrentIndex() == current.row())
        return;
    m_syncing = true;
    try {
        // Moving to another row posts a pending edit; a refused post keeps the row.
        ds->SetRecNo(current.row() + 1);
    } catch (const std::exception &error) {
        m_syncing = false;
        ShowUnhandledError(error);
        followDataSet();
        return;
    }
    m_syncing = false;
}

void TDBGrid::setColumns(const QList<TGridColumn> &columns)
{
    m_model->setColumns(columns);
    for (int i = 0; i < columns.size(); ++i) {
        setColumnWidth(i, columns[i].width);
        setColumnHidden(i, !columns[i].visible);
    }
    applyRowHeight();
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

int TDBGrid::rowHeightForLines() const
{
    int lineHeight = fontMetrics().lineSpacing();
    for (const TGridColumn &column : m_model->columns())
        if (column.font)
            lineHeight = std::max(lineHeight, QFontMetrics(*column.font).lineSpacing());
    return std::max(1, m_rowLines) * lineHeight + 6;
}

void TDBGrid::applyRowHeight()
{
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(rowHeightForLines());
}

void TDBGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyRowHeight();
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
        if (layout.width >= kMinRestoredWidth && layout.width <= kMaxRestoredWidth)
            setColumnWidth(i, layout.width);
        if (layout.titleSortMarker >= 0 && layout.titleSortMarker <= 2)
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
