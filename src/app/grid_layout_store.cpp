#include "app/grid_layout_store.h"

#include "app/settings_store.h"

#include <QRegularExpression>
#include <array>

namespace {

constexpr int kNumberCount = 7;

std::array<int *, kNumberCount> numbersOf(TColumnLayout &layout)
{
    return {&layout.index,     &layout.width,        &layout.titleSortMarker, &layout.visible,
            &layout.sortIndex, &layout.dropDownRows, &layout.dropDownWidth};
}

} // namespace

QString FormatColumnLayout(const TColumnLayout &layout)
{
    TColumnLayout copy = layout;
    QStringList numbers;
    for (const int *number : numbersOf(copy))
        numbers.append(QString::number(*number));
    return numbers.join(QLatin1Char(','));
}

TColumnLayout ParseColumnLayout(const QString &text, const TColumnLayout &current)
{
    // A comma with blanks around it is one separator, and so is a run of
    // blanks; two commas in a row leave an empty (missing) number between them.
    static const QRegularExpression separator(QStringLiteral("\\s*,\\s*|\\s+"));
    const QStringList parts = text.trimmed().split(separator);
    TColumnLayout layout = current;
    const auto numbers = numbersOf(layout);
    for (int i = 0; i < kNumberCount && i < parts.size(); ++i) {
        bool ok = false;
        const int value = parts[i].toInt(&ok, 10);
        if (ok)
            *numbers[i] = value;
    }
    return layout;
}

QString GridLayoutKey(const QString &formClassName, const QString &gridName)
{
    return formClassName + gridName;
}

QString ColumnLayoutValueName(const QString &gridName, const QString &fieldName)
{
    return gridName + QLatin1Char('.') + fieldName;
}

bool SaveGridLayout(const QString &formClassName, const QString &gridName,
                    const QList<TGridColumnLayout> &columns)
{
    TSettingsKey *key = SettingsKey();
    if (!key)
        return false;
    const QString subKey = GridLayoutKey(formClassName, gridName);
    key->DeleteKey(subKey);
    for (const TGridColumnLayout &column : columns)
        key->WriteString(ColumnLayoutValueName(gridName, column.fieldName), FormatColumnLayout(column.layout),
                         subKey);
    return true;
}

bool RestoreGridLayout(const QString &formClassName, const QString &gridName, QList<TGridColumnLayout> &columns)
{
    TSettingsKey *key = SettingsKey();
    if (!key)
        return false;
    const QString subKey = GridLayoutKey(formClassName, gridName);
    for (TGridColumnLayout &column : columns) {
        const QString name = ColumnLayoutValueName(gridName, column.fieldName);
        // A value stored in another form (binary) is no layout: the column stays as designed.
        const std::optional<QString> text = key->ReadStringValue(name, subKey);
        if (!text)
            continue;
        column.layout = ParseColumnLayout(*text, column.layout);
        column.restored = true;
    }
    return true;
}
