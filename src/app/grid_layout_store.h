// The saved column layout of a data grid. Each column is one string value of
// seven whole numbers, named "<grid>.<field>", in the sub-key "<form class><grid>"
// of the open "Grids" settings key. Reading is lenient: a number that is missing
// or malformed leaves that property of the column as it was.
#pragma once

#include <QList>
#include <QString>

// The seven numbers of one column, in their stored order.
struct TColumnLayout {
    int index = 0;           // position of the column in the grid, from 0
    int width = 64;          // pixels
    int titleSortMarker = 0; // 0 none, 1 down arrow, 2 up arrow
    int visible = 1;         // 1 yes, 0 no
    int sortIndex = 0;
    int dropDownRows = 7;    // rows of the column's drop-down list
    int dropDownWidth = 0;   // width of the column's drop-down list

    bool operator==(const TColumnLayout &) const = default;
};

// "index,width,marker,visible,sortIndex,rows,dropDownWidth", no blanks.
QString FormatColumnLayout(const TColumnLayout &layout);
// Reads a stored value over the column's current layout. Commas and blanks
// both separate the numbers ("3, 120,0,1,0,7,0" holds seven); a missing or
// malformed number keeps the current property, numbers past the seventh are
// ignored.
TColumnLayout ParseColumnLayout(const QString &text, const TColumnLayout &current);

// The grid's sub-key: the window's class name immediately followed by the
// grid's name ("TfMain" + "GridFio").
QString GridLayoutKey(const QString &formClassName, const QString &gridName);
// A column's value name: the grid's name, a full stop, the column's data field.
QString ColumnLayoutValueName(const QString &gridName, const QString &fieldName);

// One column as a grid hands it over for saving or restoring.
struct TGridColumnLayout {
    QString fieldName;
    TColumnLayout layout;
    bool restored = false; // set by RestoreGridLayout: the column had a stored value
};

// Both work on the open settings key (the caller has opened "Grids") and
// return false, doing nothing, when no key is open.
// Deletes the grid's sub-key with everything in it, then writes one value per column.
bool SaveGridLayout(const QString &formClassName, const QString &gridName,
                    const QList<TGridColumnLayout> &columns);
// Reads every column that has a stored string value over its current layout
// and marks it restored; the others are left as they are.
bool RestoreGridLayout(const QString &formClassName, const QString &gridName,
                       QList<TGridColumnLayout> &columns);
