#include "db/sql_template.h"

#include <gtest/gtest.h>

TEST(SqlTemplate, ParameterSplitting)
{
    const struct {
        QString params;
        QStringList parts;
    } cases[] = {
        {QString(), {}},
        {QStringLiteral("1;Name"), {QStringLiteral("1"), QStringLiteral("Name")}},
        {QStringLiteral("a;"), {QStringLiteral("a")}},
        {QStringLiteral(";a"), {QString(), QStringLiteral("a")}},
        {QStringLiteral("a;;"), {QStringLiteral("a"), QString()}},
        {QStringLiteral(";"), {QString()}},
        {QStringLiteral(" 7 ; 'x' "), {QStringLiteral(" 7 "), QStringLiteral(" 'x' ")}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SplitSqlParams(c.params), c.parts) << c.params.toStdString();
}

TEST(SqlTemplate, DocumentListTemplate)
{
    const QStringList fio = {QStringLiteral("Select"), QStringLiteral("  *"), QStringLiteral("From"),
                             QStringLiteral("  Fio"), QStringLiteral("Where"), QStringLiteral("  Shablon_Id=%S"),
                             QStringLiteral("Order By"), QStringLiteral("  %S")};
    const struct {
        QString params;
        QString line6, line8;
    } cases[] = {
        {QStringLiteral("1;Name"), QStringLiteral("  Shablon_Id=1"), QStringLiteral("  Name")},
        {QStringLiteral("7;Npp"), QStringLiteral("  Shablon_Id=7"), QStringLiteral("  Npp")},
        {QStringLiteral("7"), QStringLiteral("  Shablon_Id=7"), QStringLiteral("  %S")},
        {QStringLiteral("7;Npp;x"), QStringLiteral("  Shablon_Id=7"), QStringLiteral("  Npp")},
        {QStringLiteral(";Npp"), QStringLiteral("  Shablon_Id="), QStringLiteral("  Npp")},
        {QString(), QStringLiteral("  Shablon_Id=%S"), QStringLiteral("  %S")},
    };
    for (const auto &c : cases) {
        const QStringList lines = FillSqlTemplate(fio, c.params).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 9) << c.params.toStdString(); // the last line break leaves an empty tail
        EXPECT_EQ(lines[5], c.line6) << c.params.toStdString();
        EXPECT_EQ(lines[7], c.line8) << c.params.toStdString();
    }
}

TEST(SqlTemplate, MarkerRules)
{
    // Lower-case %s is not a marker.
    EXPECT_EQ(FillSqlTemplate({QStringLiteral("a=%s and b=%S")}, QStringLiteral("1")),
              QStringLiteral("a=%s and b=1\r\n"));
    // A parameter holding %S receives the next parameter, since every search starts at the beginning.
    EXPECT_EQ(FillSqlTemplate({QStringLiteral("x=%S y=%S")}, QStringLiteral("[%S];2;3")),
              QStringLiteral("x=[2] y=3\r\n"));
    // A template of blanks and line breaks gives nothing to run.
    EXPECT_EQ(FillSqlTemplate({QStringLiteral("  "), QString()}, QStringLiteral("1")), QString());
    EXPECT_EQ(FillSqlTemplate({}, QStringLiteral("1")), QString());
}
