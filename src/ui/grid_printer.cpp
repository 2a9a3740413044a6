#include "ui/grid_printer.h"

#include "db/dataset.h"
#include "ui/db_grid.h"

#include <QFontMetricsF>
#include <QHeaderView>
#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <functional>

namespace {
constexpr qreal kScreenDpi = 96.0;
constexpr qreal kCellPaddingPx = 2.0; // screen pixels around a cell's text
} // namespace

struct TPrintDBGrid::Metrics {
    qreal scale = 1.0;            // device units per screen pixel
    QFont headerFont;
    QFont footerFont;
    QFont titleFont;
    QFont cellFont;
    QList<int> columns;           // logical columns in print order
    QList<qreal> widths;          // their widths in device units
    qreal padding = 0;
    qreal headerHeight = 0;       // the page header band
    qreal footerHeight = 0;       // the page footer band
    qreal titleHeight = 0;        // the column titles row
    QList<qreal> rowHeights;      // every grid row
    QRectF area;                  // the paintable area of a page
};

TPrintDBGrid::TPrintDBGrid(TDBGrid *grid)
    : PrintFont(grid ? grid->font() : QFont())
    , m_grid(grid)
{
    PageHeaderFont = PrintFont;
    PageFooterFont = QFont();
}

TPrintDBGrid::Metrics TPrintDBGrid::measure(QPagedPaintDevice *device) const
{
    Metrics m;
    device->setPageMargins(PageMarginsMm, QPageLayout::Millimeter);
    m.area = QRectF(0, 0, device->width(), device->height());
    m.scale = device->logicalDpiX() / kScreenDpi;
    m.padding = kCellPaddingPx * m.scale;
    m.headerFont = QFont(PageHeaderFont, device);
    m.footerFont = QFont(PageFooterFont, device);
    m.cellFont = QFont(PrintFont, device);
    m.titleFont = m.cellFont;
    m.titleFont.setBold(true);

    if (!m_grid)
        return m;
    QHeaderView *header = m_grid->horizontalHeader();
    const TDataSetTableModel *model = m_grid->gridModel();
    int lastVisible = -1;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || m_grid->isColumnHidden(logical))
            continue;
        m.columns.append(logical);
        lastVisible = logical;
    }
    qreal total = 0;
    for (int logical : m.columns) {
        // The last column is stretched on screen to fill the grid: print the width it was given.
        const int pixels = (logical == lastVisible && header->stretchLastSection())
            ? model->columns().value(logical).width
            : m_grid->columnWidth(logical);
        m.widths.append(std::max(1, pixels) * m.scale);
        total += m.widths.last();
    }
    if (total > m.area.width() && total > 0) {
        const qreal fit = m.area.width() / total;
        for (qreal &width : m.widths)
            width *= fit;
    }

    const QFontMetricsF headerMetrics(m.headerFont, device);
    m.headerHeight = PageHeaderText.isEmpty() ? 0 : headerMetrics.lineSpacing() * 1.8;
    const QFontMetricsF footerMetrics(m.footerFont, device);
    m.footerHeight = PageFooterText.isEmpty() ? 0 : footerMetrics.lineSpacing() * 1.8;

    auto heightOf = [&](const QFont &font, const QString &text, qreal width) {
        const QFontMetricsF metrics(font, device);
        const QRectF bounds = metrics.boundingRect(QRectF(0, 0, std::max<qreal>(1, width - 2 * m.padding), 1e9),
                                                   Qt::TextWordWrap, text.isEmpty() ? QStringLiteral(" ") : text);
        return bounds.height() + 2 * m.padding;
    };
    m.titleHeight = 0;
    for (int i = 0; i < m.columns.size(); ++i)
        m.titleHeight = std::max(m.titleHeight,
                                 heightOf(m.titleFont, model->headerData(m.columns[i], Qt::Horizontal).toString(),
                                          m.widths[i]));
    for (int row = 0; row < model->rowCount(); ++row) {
        qreal height = heightOf(m.cellFont, QString(), 1e6);
        for (int i = 0; i < m.columns.size(); ++i)
            height = std::max(height, heightOf(m.cellFont, model->data(model->index(row, m.columns[i])).toString(),
                                               m.widths[i]));
        m.rowHeights.append(height);
    }
    return m;
}

QList<QList<int>> TPrintDBGrid::Pages(QPagedPaintDevice *device) const
{
    const Metrics m = measure(device);
    const qreal room = m.area.height() - m.headerHeight - m.footerHeight - m.titleHeight;
    QList<QList<int>> pages{QList<int>()};
    qreal used = 0;
    for (int row = 0; row < m.rowHeights.size(); ++row) {
        // Every page takes at least one row, however high, so printing always ends.
        if (!pages.last().isEmpty() && used + m.rowHeights[row] > room) {
            pages.append(QList<int>());
            used = 0;
        }
        pages.last().append(row);
        used += m.rowHeights[row];
    }
    return pages;
}

void TPrintDBGrid::Print(QPagedPaintDevice *device) const
{
    const QList<QList<int>> pages = Pages(device);
    const Metrics m = measure(device);
    QPainter painter;
    if (!painter.begin(device))
        return;
    for (int page = 0; page < pages.size(); ++page) {
        if (page > 0)
            device->newPage();
        paintPage(painter, m, pages[page]);
    }
    painter.end();
}

void TPrintDBGrid::paintPage(QPainter &painter, const Metrics &m, const QList<int> &rows) const
{
    painter.save();
    painter.setClipRect(m.area);
    if (!PageHeaderText.isEmpty()) {
        painter.setFont(m.headerFont);
        painter.drawText(QRectF(m.area.left(), m.area.top(), m.area.width(), m.headerHeight), Qt::AlignCenter,
                         PageHeaderText);
    }
    if (!PageFooterText.isEmpty()) {
        painter.setFont(m.footerFont);
        painter.drawText(QRectF(m.area.left(), m.area.bottom() - m.footerHeight, m.area.width(), m.footerHeight),
                         Qt::AlignCenter, PageFooterText);
    }
    if (!m_grid || m.columns.isEmpty()) {
        painter.restore();
        return;
    }
    const TDataSetTableModel *model = m_grid->gridModel();
    QPen pen(Qt::black);
    pen.setWidthF(std::max<qreal>(1.0, m.scale));
    painter.setPen(pen);

    auto drawRow = [&](qreal top, qreal height, const QFont &font, const std::function<QString(int)> &text,
                       const std::function<Qt::Alignment(int)> &alignment, bool shaded) {
        painter.setFont(font);
        qreal left = m.area.left();
        for (int i = 0; i < m.columns.size(); ++i) {
            const QRectF cell(left, top, m.widths[i], height);
            if (shaded)
                painter.fillRect(cell, QColor(235, 235, 235));
            painter.drawRect(cell);
            painter.drawText(cell.adjusted(m.padding, m.padding, -m.padding, -m.padding),
                             alignment(i) | Qt::TextWordWrap, text(i));
            left += m.widths[i];
        }
    };

    qreal top = m.area.top() + m.headerHeight;
    drawRow(
        top, m.titleHeight, m.titleFont,
        [&](int i) { return model->headerData(m.columns[i], Qt::Horizontal).toString(); },
        [](int) { return Qt::Alignment(Qt::AlignCenter); }, true);
    top += m.titleHeight;
    for (int row : rows) {
        drawRow(
            top, m.rowHeights[row], m.cellFont,
            [&](int i) { return model->data(model->index(row, m.columns[i])).toString(); },
            [&](int i) {
                const QVariant value = model->data(model->index(row, m.columns[i]), Qt::TextAlignmentRole);
                const Qt::Alignment horizontal =
                    value.isValid() ? Qt::Alignment(value.toInt()) & Qt::AlignHorizontal_Mask : Qt::AlignLeft;
                return horizontal | Qt::AlignVCenter;
            },
            false);
        top += m.rowHeights[row];
    }
    painter.restore();
}

void TPrintDBGrid::Preview(QWidget *owner) const
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageMargins(PageMarginsMm, QPageLayout::Millimeter);
    QPrintPreviewDialog preview(&printer, owner);
    preview.setWindowTitle(QStringLiteral("Предварительный просмотр - ") + PageHeaderText);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [this](QPrinter *target) { Print(target); });
    preview.resize(900, 700);
    preview.exec();
}
