#include "app/grid_layout_store.h"
#include "app/settings_store.h"
#include "support/temp_workspace.h"

#include <QSettings>
#include <gtest/gtest.h>

namespace {

TColumnLayout Layout(int index, int width, int marker, int visible, int sortIndex, int rows, int dropWidth)
{
    return {index, width, marker, visible, sortIndex, rows, dropWidth};
}

} // namespace

TEST(GridLayoutValue, ParsesLenientlyOverTheCurrentLayout)
{
    const TColumnLayout designed = Layout(9, 99, 9, 9, 9, 9, 9);
    struct Case {
        const char *text;
        TColumnLayout expected;
    };
    const QList<Case> cases = {
        {"3,120,0,1,0,7,0", Layout(3, 120, 0, 1, 0, 7, 0)},
        {"3, 120,0,1,0,7,0", Layout(3, 120, 0, 1, 0, 7, 0)},
        {" 3 120\t0 1 0 7 0 ", Layout(3, 120, 0, 1, 0, 7, 0)},
        {"3 , 120 ,  2,0,1,5,40", Layout(3, 120, 2, 0, 1, 5, 40)},
        {"5,80,2,0", Layout(5, 80, 2, 0, 9, 9, 9)},
        {"4,,1,0,2,8,30", Layout(4, 99, 1, 0, 2, 8, 30)},
        {"4,wide,1,x,2,8.5,30", Layout(4, 99, 1, 9, 2, 9, 30)},
        {"-1,-5,0,1,0,7,0", Layout(-1, -5, 0, 1, 0, 7, 0)},
        {"1,2,3,4,5,6,7,8,9", Layout(1, 2, 3, 4, 5, 6, 7)},
        {"", designed},
        {"garbage", designed},
        {"99999999999,10", Layout(9, 10, 9, 9, 9, 9, 9)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ParseColumnLayout(QString::fromUtf8(c.text), designed), c.expected);
    }
}

TEST(GridLayoutValue, FormatsSevenNumbersThatReadBack)
{
    const TColumnLayout layout = Layout(1, 250, 2, 0, 3, 7, 0);
    EXPECT_EQ(FormatColumnLayout(layout), QStringLiteral("1,250,2,0,3,7,0"));
    EXPECT_EQ(ParseColumnLayout(FormatColumnLayout(layout), TColumnLayout{}), layout);
    EXPECT_EQ(GridLayoutKey(QStringLiteral("TfMain"), QStringLiteral("GridFio")), QStringLiteral("TfMainGridFio"));
    EXPECT_EQ(ColumnLayoutValueName(QStringLiteral("GridFio"), QStringLiteral("NPP")), QStringLiteral("GridFio.NPP"));
}

// Saving replaces the grid's whole sub-key; restoring reads every column that
// has a value and leaves the others as designed.
TEST(GridLayoutStore, SavesTheGridAfreshAndRestoresItsColumns)
{
    TempWorkspace workspace;
    ScopedSettingsFolder folder(workspace.file(QStringLiteral("config")));
    const QString grid = QStringLiteral("GridFio");
    {
        QList<TGridColumnLayout> columns = {{QStringLiteral("NPP"), TColumnLayout{}, false}};
        EXPECT_FALSE(SaveGridLayout(QStringLiteral("TfMain"), grid, columns)) << "no key is open";
        EXPECT_FALSE(RestoreGridLayout(QStringLiteral("TfMain"), grid, columns));
    }

    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    SettingsKeyCloser closer;
    // Left by an older layout: a column that no longer exists and a nested key.
    SettingsKey()->WriteString(QStringLiteral("GridFio.Old"), QStringLiteral("2,40,0,1,0,7,0"),
                               QStringLiteral("TfMainGridFio"));
    SettingsKey()->WriteString(QStringLiteral("X"), QStringLiteral("1"), QStringLiteral("TfMainGridFio\\Nested"));
    SettingsKey()->WriteString(QStringLiteral("GridValue.Script"), QStringLiteral("0,70,0,1,0,7,0"),
                               QStringLiteral("TfMainGridValue"));

    const QList<TGridColumnLayout> saved = {
        {QStringLiteral("NPP"), Layout(1, 60, 1, 1, 0, 7, 0), false},
        {QStringLiteral("Name"), Layout(0, 300, 0, 1, 0, 7, 0), false},
    };
    ASSERT_TRUE(SaveGridLayout(QStringLiteral("TfMain"), grid, saved));
    QStringList names = SettingsKey()->ValueNames(QStringLiteral("TfMainGridFio"));
    names.sort();
    EXPECT_EQ(names, (QStringList{QStringLiteral("GridFio.NPP"), QStringLiteral("GridFio.Name")}));
    EXPECT_FALSE(SettingsKey()->KeyExists(QStringLiteral("TfMainGridFio\\Nested")));
    EXPECT_TRUE(SettingsKey()->ValueExists(QStringLiteral("GridValue.Script"), QStringLiteral("TfMainGridValue")))
        << "another grid's layout is not touched";
    EXPECT_EQ(SettingsKey()->ReadString(QStringLiteral("GridFio.NPP"), QString(), QStringLiteral("TfMainGridFio")),
              QStringLiteral("1,60,1,1,0,7,0"));

    // A hand-edited value with a blank after a comma, and one of only four numbers.
    SettingsKey()->WriteString(QStringLiteral("GridFio.Name"), QStringLiteral("3, 120,0,0"),
                               QStringLiteral("TfMainGridFio"));
    const TColumnLayout designed = Layout(5, 80, 0, 1, 0, 12, 90);
    QList<TGridColumnLayout> restored = {
        {QStringLiteral("NPP"), designed, false},
        {QStringLiteral("Name"), designed, false},
        {QStringLiteral("Extra"), designed, false},
    };
    ASSERT_TRUE(RestoreGridLayout(QStringLiteral("TfMain"), grid, restored));
    EXPECT_TRUE(restored[0].restored);
    EXPECT_EQ(restored[0].layout, saved[0].layout);
    EXPECT_TRUE(restored[1].restored);
    EXPECT_EQ(restored[1].layout, Layout(3, 120, 0, 0, 0, 12, 90));
    EXPECT_FALSE(restored[2].restored);
    EXPECT_EQ(restored[2].layout, designed);
}
