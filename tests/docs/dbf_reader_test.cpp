// The read-only DBF reader: both header kinds, the code pages, deleted rows,
// null values, the trimmed upper-cased key match, and damaged files.
#include "dbf_fixture.h"

#include "common/errors.h"
#include "docs/dbf_code_pages.h"
#include "docs/dbf_reader.h"
#include "support/temp_workspace.h"

#include <QFile>

#include <gtest/gtest.h>

TEST(DbfCodePages, KnownLettersDecode)
{
    const struct {
        int codePage;
        unsigned char byte;
        char16_t expected;
    } cases[] = {
        {866, 0x80, u'А'},  {866, 0xA0, u'а'},  {866, 0xAF, u'п'}, {866, 0xE0, u'р'}, {866, 0xEF, u'я'},
        {866, 0xF0, u'Ё'},  {866, 0xF1, u'ё'},  {1251, 0xC0, u'А'}, {1251, 0xDF, u'Я'}, {1251, 0xE0, u'а'},
        {1251, 0xFF, u'я'}, {1251, 0xA8, u'Ё'}, {1251, 0xB8, u'ё'}, {1251, 0xB9, u'№'}, {1252, 0xE9, u'é'},
        {437, 0x82, u'é'},  {1251, 0x41, u'A'},
    };
    for (const auto &c : cases) {
        const char byte = static_cast<char>(c.byte);
        EXPECT_EQ(DecodeDbfText(&byte, 1, c.codePage), QString(QChar(c.expected))) << c.codePage << " " << int(c.byte);
    }
    const struct {
        unsigned char driver;
        int codePage;
    } drivers[] = {{0x65, 866}, {0x26, 866}, {0xC9, 1251}, {0x00, 1251}, {0x03, 1252}, {0x01, 437}, {0x7B, 0}};
    for (const auto &d : drivers)
        EXPECT_EQ(DbfCodePage(d.driver), d.codePage) << int(d.driver);
    // An unknown page keeps its ASCII half.
    EXPECT_EQ(DecodeDbfText("AB\xC0", 3, 0), QStringLiteral("AB\uFFFD"));
}

TEST(DbfTable, ReadsBothHeaderKindsAndMatchesKeysTrimmedAndUpperCased)
{
    TempWorkspace workspace;
    const struct {
        const char *name;
        unsigned char version;
        unsigned char driver;
    } kinds[] = {{"dbase3_866.dbf", 0x03, 0x65}, {"foxpro_1251.dbf", 0x30, 0xC9}, {"unmarked.dbf", 0x03, 0x00}};
    for (const auto &kind : kinds) {
        SCOPED_TRACE(kind.name);
        const QString path = workspace.file(QString::fromLatin1(kind.name));
        WriteDbf(path, kind.version, kind.driver, {{QStringLiteral("ALIAS"), 10}, {QStringLiteral("Org_Name"), 30}},
                 {{{QStringLiteral("ромашка"), QStringLiteral("Старая")}, true},
                  {{QStringLiteral("  ромашка"), QStringLiteral("ООО Ромашка")}, false},
                  {{QStringLiteral("Ромашка"), QStringLiteral("Вторая")}, false},
                  {{QStringLiteral("A\"B"), QStringLiteral("С кавычкой")}, false}});
        const DbfTable table(path);
        EXPECT_EQ(table.recordCount(), 4);
        EXPECT_EQ(table.fieldIndex(QStringLiteral("org_name")), 1);
        EXPECT_EQ(table.fieldIndex(QStringLiteral("nothing")), -1);
        EXPECT_TRUE(table.isDeleted(0));

        // The deleted first row is skipped; the key and the column are compared trimmed, upper-cased.
        const int row = table.findFirst(QStringLiteral("alias"), QStringLiteral(" РОМАШКА "));
        EXPECT_EQ(row, 1);
        EXPECT_EQ(table.value(row, QStringLiteral("ORG_NAME"))->trimmed(), QStringLiteral("ООО Ромашка"));
        // A key is data, never statement text.
        EXPECT_EQ(table.findFirst(QStringLiteral("alias"), QStringLiteral("a\"b")), 3);
        EXPECT_EQ(table.findFirst(QStringLiteral("alias"), QStringLiteral("ЛЮТИК")), -1);
        EXPECT_THROW(table.findFirst(QStringLiteral("adm_path"), QStringLiteral("X")), OrmenaError);
    }
}

TEST(DbfTable, FoxProNullsAreNotValues)
{
    TempWorkspace workspace;
    const QString path = workspace.file(QStringLiteral("nulls.dbf"));
    WriteDbf(path, 0x30, 0xC9,
             {{QStringLiteral("alias"), 8}, {QStringLiteral("path"), 20, true}, {QStringLiteral("guidename"), 10, true}},
             {{{QStringLiteral("A"), std::nullopt, QStringLiteral("Спр")}, false},
              {{QStringLiteral("B"), QStringLiteral("\\DOCS"), std::nullopt}, false}});
    const DbfTable table(path);
    EXPECT_EQ(table.fieldIndex(QStringLiteral("_NullFlags")), -1);
    EXPECT_FALSE(table.value(0, QStringLiteral("path")).has_value());
    EXPECT_EQ(table.value(0, QStringLiteral("guidename"))->trimmed(), QStringLiteral("Спр"));
    EXPECT_EQ(table.value(1, QStringLiteral("path"))->trimmed(), QStringLiteral("\\DOCS"));
    EXPECT_FALSE(table.value(1, QStringLiteral("guidename")).has_value());
}

TEST(DbfTable, DamagedFilesFailWithAMessage)
{
    TempWorkspace workspace;
    const QString good = workspace.file(QStringLiteral("good.dbf"));
    WriteDbf(good, 0x03, 0x65, {{QStringLiteral("alias"), 10}},
             {{{QStringLiteral("ONE")}, false}, {{QStringLiteral("TWO")}, false}});
    QFile goodFile(good);
    ASSERT_TRUE(goodFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = goodFile.readAll();

    auto patched = [&](int at, char value) {
        QByteArray copy = bytes;
        copy[at] = value;
        return copy;
    };
    const struct {
        const char *name;
        QByteArray content;
    } cases[] = {
        {"empty", QByteArray()},
        {"short header", bytes.left(20)},
        {"unknown version", patched(0, '\x42')},
        {"header beyond the file", patched(9, '\x7F')},
        {"no field terminator", bytes.left(32 + 32) + QByteArray(40, 'A')},
        {"record shorter than its fields", patched(10, '\x02')},
        {"random", QByteArray(500, '\xA5')},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = workspace.file(QStringLiteral("bad.dbf"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.content);
        file.close();
        try {
            DbfTable table(path);
            ADD_FAILURE() << "read without complaint";
        } catch (const OrmenaError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не удалось прочитать таблицу DBF\r") + path))
                << e.message().toStdString();
        }
    }
    EXPECT_THROW(DbfTable(workspace.file(QStringLiteral("missing.dbf"))), OrmenaError);

    // A table cut inside its second record keeps the first.
    const QString cut = workspace.file(QStringLiteral("cut.dbf"));
    QFile cutFile(cut);
    ASSERT_TRUE(cutFile.open(QIODevice::WriteOnly));
    cutFile.write(bytes.left(bytes.size() - 6));
    cutFile.close();
    const DbfTable table(cut);
    EXPECT_EQ(table.recordCount(), 1);
    EXPECT_EQ(table.findFirst(QStringLiteral("alias"), QStringLiteral("one")), 0);
}
