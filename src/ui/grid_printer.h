// TPrintDBGrid: prints the rows of a data grid as a ruled table, with the
// grid's column titles repeated on every page, a centred page header, a page
// footer and page margins in millimetres, and shows it in a print preview from
// which the operator prints. Columns keep their on-screen widths; a table wider
// than the page is narrowed to fit so no column is cut off.
#pragma once

#include <QFont>
#include <QList>
#include <QMarginsF>
#include <QPointer>
#include <QString>

class QPagedPaintDevice;
class QPainter;
class QPrinter;
class QWidget;
class TDBGrid;

class TPrintDBGrid {
public:
    explicit TPrintDBGrid(TDBGrid *grid);

    QString PageHeaderText;
    QFont PageHeaderFont;
    QString PageFooterText;
    QFont PageFooterFont;
    QFont PrintFont;
    QMarginsF PageMarginsMm{2, 2, 2, 2};

    // The grid rows (0-based) that each page holds when printed on the device.
    QList<QList<int>> Pages(QPagedPaintDevice *device) const;
    // Prints every page on the device (its margins set to PageMarginsMm).
    void Print(QPagedPaintDevice *device) const;
    // The modal print preview; printing from it prints the same pages.
    void Preview(QWidget *owner) const;

private:
    struct Metrics;
    Metrics measure(QPagedPaintDevice *device) const;
    void paintPage(QPainter &painter, const Metrics &metrics, const QList<int> &rows) const;

    QPointer<TDBGrid> m_grid;
};
