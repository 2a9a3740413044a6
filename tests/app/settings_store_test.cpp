#include "app/settings_store.h"
#include "common/message_box_presenter.h"
#include "support/temp_workspace.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QByteArray DoubleBytes(double value)
{
    QByteArray bytes(sizeof(double), '\0');
    qToLittleEndian<double>(value, bytes.data());
    return bytes;
}

// A store in a folder of the test's own, with the boxes scripted.
class SettingsStoreTest : public ::testing::Test {
protected:
    SettingsStoreTest() : m_folder(m_workspace.file(QStringLiteral("config"))) {}
    ~SettingsStoreTest() override { CloseSettingsKey(); }

    // Writes values straight into the store's file, as another program or a
    // hand edit would, bypassing the value forms of the store.
    void putRaw(const QString &path, const QVariant &value)
    {
        QDir().mkpath(SettingsFolder());
        QSettings raw(SettingsFilePath(), QSettings::IniFormat);
        raw.setValue(path, value);
    }
    QVariant getRaw(const QString &path) const
    {
        QSettings raw(SettingsFilePath(), QSettings::IniFormat);
        return raw.value(path);
    }

    TempWorkspace m_workspace;
    ScopedSettingsFolder m_folder;
    ScriptedMessageBoxes m_boxes;
};

} // namespace

TEST_F(SettingsStoreTest, LivesInTheFolderItIsPointedAt)
{
    EXPECT_EQ(SettingsFolder(), m_workspace.file(QStringLiteral("config")));
    EXPECT_EQ(SettingsFilePath(), m_workspace.file(QStringLiteral("config/Ormena.ini")));
    {
        ScopedSettingsFolder inner(m_workspace.file(QStringLiteral("other")));
        EXPECT_EQ(SettingsFolder(), m_workspace.file(QStringLiteral("other")));
    }
    EXPECT_EQ(SettingsFolder(), m_workspace.file(QStringLiteral("config")));

    // Without a folder of the caller's own, the environment names it.
    ScopedSettingsFolder none{QString()};
    const QByteArray previous = qgetenv("ORMENA_CONFIG_DIR");
    qputenv("ORMENA_CONFIG_DIR", m_workspace.file(QStringLiteral("env")).toUtf8());
    EXPECT_EQ(SettingsFolder(), m_workspace.file(QStringLiteral("env")));
    qunsetenv("ORMENA_CONFIG_DIR");
    EXPECT_TRUE(SettingsFolder().endsWith(QStringLiteral("/Ormena")));
    if (!previous.isNull())
        qputenv("ORMENA_CONFIG_DIR", previous);
}

// First start: nothing stored, every read gives its default, the keys open
// (the folder is created), and what the program writes at exit is the whole
// layout in its stored forms.
TEST_F(SettingsStoreTest, FirstStartReadsDefaultsAndLeavesTheWholeLayoutAfterExit)
{
    ASSERT_FALSE(QFile::exists(SettingsFilePath()));
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    EXPECT_TRUE(QDir(SettingsFolder()).exists());
    TSettingsKey *grids = SettingsKey();
    ASSERT_NE(grids, nullptr);
    EXPECT_EQ(grids->KeyPath(), QStringLiteral("SOFTWARE\\Ormena\\Grids"));
    EXPECT_FALSE(grids->ReadDouble(QStringLiteral("ValueRow")).has_value());
    EXPECT_FALSE(grids->ReadDouble(QStringLiteral("FioRow")).has_value());
    EXPECT_EQ(grids->ReadInteger(QStringLiteral("Panel_Fio_Width"), 410), 410);
    EXPECT_FALSE(grids->ValueExists(QStringLiteral("Panel_Fio_Width")));

    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    TSettingsKey *data = SettingsKey();
    EXPECT_FALSE(data->ReadBool(QStringLiteral("SaveDocToDb"), false));
    EXPECT_EQ(data->ReadInteger(QStringLiteral("Shablon_Id"), 0), 0);
    EXPECT_EQ(data->ReadInteger(QStringLiteral("Fio_Id"), 0), 0);

    // What the exit writes.
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    SettingsKey()->WriteDouble(QStringLiteral("ValueRow"), 2);
    SettingsKey()->WriteDouble(QStringLiteral("FioRow"), 3);
    SettingsKey()->WriteInteger(QStringLiteral("Panel_Fio_Width"), 410);
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    SettingsKey()->WriteBool(QStringLiteral("SaveDocToDb"), false);
    SettingsKey()->WriteInteger(QStringLiteral("Shablon_Id"), 12);
    SettingsKey()->WriteInteger(QStringLiteral("Fio_Id"), 0);
    CloseSettingsKey();
    EXPECT_EQ(SettingsKey(), nullptr);

    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Grids/ValueRow")), QVariant(DoubleBytes(2)));
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Grids/FioRow")), QVariant(DoubleBytes(3)));
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Grids/Panel_Fio_Width")), QVariant(QStringLiteral("410")));
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Data/SaveDocToDb")), QVariant(QStringLiteral("0")));
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Data/Shablon_Id")), QVariant(QStringLiteral("12")));
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Data/Fio_Id")), QVariant(QStringLiteral("0")));

    // The next start reads back what was written.
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    EXPECT_EQ(SettingsKey()->ReadDouble(QStringLiteral("ValueRow")), 2.0);
    EXPECT_EQ(SettingsKey()->ReadDouble(QStringLiteral("FioRow")), 3.0);
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    EXPECT_EQ(SettingsKey()->ReadInteger(QStringLiteral("Shablon_Id"), 0), 12);
    EXPECT_TRUE(m_boxes.shown().isEmpty());
}

// Each reader against what may be stored: the value forms and the lenient reading.
TEST_F(SettingsStoreTest, ReadersTakeTheirDefaultForMalformedValues)
{
    enum Reader { Bool, Integer, Double };
    struct Case {
        const char *what;
        Reader reader;
        QVariant stored; // invalid: nothing stored
        double expected;
    };
    const double failed = std::numeric_limits<double>::quiet_NaN(); // a failed double read
    const QList<Case> cases = {
        {"flag 1", Bool, QStringLiteral("1"), 1},
        {"flag 0", Bool, QStringLiteral("0"), 0},
        {"flag 2", Bool, QStringLiteral("2"), 1},
        {"flag -1", Bool, QStringLiteral("-1"), 1},
        {"flag x", Bool, QStringLiteral("x"), 0},
        {"flag empty", Bool, QStringLiteral(""), 0},
        {"flag binary", Bool, QByteArray("1"), 0},
        {"flag missing", Bool, QVariant(), 0},
        {"width with blanks", Integer, QStringLiteral(" 512 "), 512},
        {"negative width", Integer, QStringLiteral("-3"), -3},
        {"width not a number", Integer, QStringLiteral("широкая"), 333},
        {"width with unit", Integer, QStringLiteral("12px"), 333},
        {"width fraction", Integer, QStringLiteral("12.5"), 333},
        {"width out of range", Integer, QStringLiteral("99999999999"), 333},
        {"width empty", Integer, QStringLiteral(""), 333},
        {"width binary", Integer, DoubleBytes(512), 333},
        {"rows double", Double, DoubleBytes(3.5), 3.5},
        {"rows 4 bytes", Double, QByteArray(4, '\x01'), failed},
        {"rows 9 bytes", Double, DoubleBytes(2) + QByteArray(1, '\0'), failed},
        {"rows as text", Double, QStringLiteral("2"), failed},
        {"rows not finite", Double, DoubleBytes(std::numeric_limits<double>::infinity()), failed},
        {"rows missing", Double, QVariant(), failed},
    };
    // Every case has a value name of its own in the same key.
    for (int i = 0; i < cases.size(); ++i) {
        if (cases[i].stored.isValid())
            putRaw(QStringLiteral("SOFTWARE/Ormena/Grids/Value%1").arg(i), cases[i].stored);
    }
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    TSettingsKey *key = SettingsKey();
    for (int i = 0; i < cases.size(); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.what);
        const QString name = QStringLiteral("Value%1").arg(i);
        switch (c.reader) {
        case Bool:
            EXPECT_EQ(key->ReadBool(name, false), c.expected != 0);
            break;
        case Integer:
            EXPECT_EQ(key->ReadInteger(name, 333), int(c.expected));
            break;
        case Double: {
            const std::optional<double> value = key->ReadDouble(name);
            if (std::isnan(c.expected))
                EXPECT_FALSE(value.has_value());
            else
                EXPECT_EQ(value, c.expected);
            break;
        }
        }
    }
}

TEST_F(SettingsStoreTest, OpenSettingsKeyTrimsTheNameAndIgnoresLetterCase)
{
    // Registry names do not depend on letter case; neither do these.
    putRaw(QStringLiteral("software/ORMENA/grids/panel_fio_width"), QStringLiteral("500"));
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    EXPECT_EQ(SettingsKey()->ReadInteger(QStringLiteral("Panel_Fio_Width"), 410), 500);
    SettingsKey()->WriteInteger(QStringLiteral("Panel_Fio_Width"), 600);
    CloseSettingsKey();
    EXPECT_EQ(getRaw(QStringLiteral("software/ORMENA/grids/panel_fio_width")), QVariant(QStringLiteral("600")));
    EXPECT_FALSE(getRaw(QStringLiteral("SOFTWARE/Ormena/Grids/Panel_Fio_Width")).isValid());

    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("  Data \t")));
    EXPECT_EQ(SettingsKey()->KeyPath(), QStringLiteral("SOFTWARE\\Ormena\\Data"));
    SettingsKey()->WriteBool(QStringLiteral("SaveDocToDb"), true);
    CloseSettingsKey();
    EXPECT_EQ(getRaw(QStringLiteral("software/ORMENA/Data/SaveDocToDb")), QVariant(QStringLiteral("1")));

    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("   ")));
    EXPECT_EQ(SettingsKey()->KeyPath(), QStringLiteral("SOFTWARE\\Ormena"));
    EXPECT_TRUE(SettingsKey()->KeyExists(QStringLiteral("Data")));
    EXPECT_TRUE(SettingsKey()->KeyExists(QStringLiteral("GRIDS")));
}

// One settings object per process: opening another key releases the earlier
// object and its changes reach the store.
TEST_F(SettingsStoreTest, OpeningAKeyReleasesTheEarlierObject)
{
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    SettingsKey()->WriteInteger(QStringLiteral("Panel_Fio_Width"), 377);
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    EXPECT_EQ(SettingsKey()->KeyPath(), QStringLiteral("SOFTWARE\\Ormena\\Data"));
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Grids/Panel_Fio_Width")), QVariant(QStringLiteral("377")));
    {
        SettingsKeyCloser closer;
    }
    EXPECT_EQ(SettingsKey(), nullptr);
}

TEST_F(SettingsStoreTest, SubKeysAreCreatedByWritingAndDeletedWithAllBelow)
{
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    TSettingsKey *key = SettingsKey();
    key->WriteString(QStringLiteral("GridFio.NPP"), QStringLiteral("0,50,0,1,0,7,0"), QStringLiteral("TfMainGridFio"));
    key->WriteString(QStringLiteral("Deep"), QStringLiteral("1"), QStringLiteral("TfMainGridFio\\Inner"));
    key->WriteInteger(QStringLiteral("Panel_Fio_Width"), 410);
    EXPECT_TRUE(key->KeyExists(QStringLiteral("TfMainGridFio")));
    EXPECT_TRUE(key->KeyExists(QStringLiteral("TfMainGridFio\\Inner")));
    EXPECT_EQ(key->ValueNames(QStringLiteral("TfMainGridFio")), QStringList{QStringLiteral("GridFio.NPP")});
    EXPECT_EQ(key->ReadString(QStringLiteral("Deep"), QString(), QStringLiteral("TfMainGridFio/Inner")),
              QStringLiteral("1"));

    key->DeleteKey(QStringLiteral("tfmaingridfio"));
    EXPECT_FALSE(key->KeyExists(QStringLiteral("TfMainGridFio")));
    EXPECT_FALSE(key->ValueExists(QStringLiteral("GridFio.NPP"), QStringLiteral("TfMainGridFio")));
    EXPECT_EQ(key->ReadInteger(QStringLiteral("Panel_Fio_Width"), 0), 410);
    key->DeleteKey(QString()); // not a sub-key: the open key stays
    EXPECT_EQ(key->ReadInteger(QStringLiteral("Panel_Fio_Width"), 0), 410);
}

// A store that cannot be created: the key does not open, nothing is shown,
// and the readers' callers skip their work.
TEST_F(SettingsStoreTest, AStoreThatCannotBeCreatedDoesNotOpen)
{
    QFile blocker(m_workspace.file(QStringLiteral("blocked")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    ScopedSettingsFolder inside(m_workspace.file(QStringLiteral("blocked/config")));
    EXPECT_FALSE(OpenSettingsKey(QStringLiteral("Grids")));
    EXPECT_EQ(SettingsKey(), nullptr);

    // The store's file name taken by a folder.
    ScopedSettingsFolder taken(m_workspace.file(QStringLiteral("taken")));
    ASSERT_TRUE(QDir().mkpath(SettingsFilePath()));
    EXPECT_FALSE(OpenSettingsKey(QStringLiteral("Data")));
    EXPECT_EQ(SettingsKey(), nullptr);
    EXPECT_TRUE(m_boxes.shown().isEmpty());
}

// A file with lines the store cannot read: the readable values are used, the
// file as it was is kept in a copy before anything rewrites it, and the
// operator is told once.
TEST_F(SettingsStoreTest, ADamagedFileIsKeptInACopyBeforeItIsRewritten)
{
    QDir().mkpath(SettingsFolder());
    const QByteArray damaged = "[SOFTWARE]\nOrmena\\Grids\\Panel_Fio_Width=512\nthis line is garbage\n"
                               "Ormena\\Data\\SaveDocToDb=1\n";
    {
        QFile file(SettingsFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
    }
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Grids")));
    EXPECT_EQ(SettingsKey()->ReadInteger(QStringLiteral("Panel_Fio_Width"), 410), 512);
    SettingsKey()->WriteInteger(QStringLiteral("Panel_Fio_Width"), 420);
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    EXPECT_TRUE(SettingsKey()->ReadBool(QStringLiteral("SaveDocToDb"), false));
    CloseSettingsKey();

    ASSERT_EQ(m_boxes.shown().size(), 1);
    EXPECT_EQ(m_boxes.shown()[0].icon, QMessageBox::Warning);
    EXPECT_TRUE(m_boxes.shown()[0].text.startsWith(QStringLiteral("Файл настроек \"")));
    const QStringList copies = QDir(SettingsFolder()).entryList({QStringLiteral("Ormena.ini.damaged-*")});
    ASSERT_EQ(copies.size(), 1);
    QFile copy(QDir(SettingsFolder()).filePath(copies[0]));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), damaged);
    EXPECT_TRUE(m_boxes.shown()[0].text.contains(copies[0]));

    // The rewritten file is whole again.
    EXPECT_EQ(getRaw(QStringLiteral("SOFTWARE/Ormena/Grids/Panel_Fio_Width")), QVariant(QStringLiteral("420")));
    ASSERT_TRUE(OpenSettingsKey(QStringLiteral("Data")));
    EXPECT_TRUE(SettingsKey()->ReadBool(QStringLiteral("SaveDocToDb"), false));
    EXPECT_EQ(m_boxes.shown().size(), 1);
}
