#include "common/text_utils.h"
#include "common/version.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(TextUtils, WordSplitterCutsAtEveryDelimiter)
{
    const struct {
        QString text;
        int count;
        QStringList words;
    } cases[] = {
        {QStringLiteral("a,b"), 2, {QStringLiteral("a"), QStringLiteral("b")}},
        {QStringLiteral("a,,b"), 3, {QStringLiteral("a"), QString(), QStringLiteral("b")}},
        {QStringLiteral(",a"), 2, {QString(), QStringLiteral("a")}},
        {QStringLiteral("a,"), 1, {QStringLiteral("a")}},
        {QString(), 0, {}},
        {QStringLiteral("Name,Fio_Id, Npp"), 3, {QStringLiteral("Name"), QStringLiteral("Fio_Id"), QStringLiteral(" Npp")}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(WordCount(c.text, QStringLiteral(",")), c.count) << c.text.toStdString();
        for (int i = 0; i < c.words.size(); ++i)
            EXPECT_EQ(ExtractWord(c.text, QStringLiteral(","), i + 1), c.words[i]) << c.text.toStdString();
    }
    EXPECT_EQ(ExtractWord(QStringLiteral("tmp_Dogovor.doc"), QStringLiteral("."), 1), QStringLiteral("tmp_Dogovor"));
    EXPECT_EQ(ExtractWord(QStringLiteral("tmp_Dogovor.doc"), QStringLiteral("."), 3), QString());
}

TEST(TextUtils, DropLastChar)
{
    const struct {
        QString in, out;
    } cases[] = {
        {QStringLiteral("[a],[b],"), QStringLiteral("[a],[b]")},
        {QStringLiteral("ab "), QStringLiteral("ab")},
        {QStringLiteral("   "), QStringLiteral("   ")},
        {QString(), QString()},
    };
    for (const auto &c : cases) {
        QString text = c.in;
        DropLastChar(text);
        EXPECT_EQ(text, c.out);
    }
}

TEST(TextUtils, CaseRulesCoverCyrillic)
{
    EXPECT_TRUE(SameTextNoCase(QStringLiteral("ФИО"), QStringLiteral("фио")));
    EXPECT_FALSE(SameTextNoCase(QStringLiteral("ФИО "), QStringLiteral("фио")));
    EXPECT_EQ(TrimUpper(QStringLiteral("  номдок ")), QStringLiteral("НОМДОК"));
    EXPECT_EQ(RemoveChar(QStringLiteral("Договор поставки"), QLatin1Char(' ')), QStringLiteral("Договорпоставки"));
}

TEST(TextUtils, NumericKeyFilterKeepsDigitsControlsAndDecimalSeparator)
{
    const QChar separator = QLocale().decimalPoint().at(0);
    const QChar kept[] = {QLatin1Char('0'), QLatin1Char('7'), QLatin1Char('9'), QChar(8), QChar(9), QChar(13), QChar(27), separator};
    for (QChar c : kept) {
        QChar key = c;
        NumericKeyFilter(key);
        EXPECT_EQ(key, c);
    }
    const QChar dropped[] = {QLatin1Char('a'), QChar(0x0416), QLatin1Char('-'), QLatin1Char(' ')};
    for (QChar c : dropped) {
        if (c == separator)
            continue;
        QChar key = c;
        NumericKeyFilter(key);
        EXPECT_EQ(key, QChar(0));
    }
}

TEST(TextUtils, MinutesOfDayAndVersionText)
{
    EXPECT_EQ(MinutesOfDay(QTime(10, 59, 59)), 659);
    EXPECT_EQ(MinutesOfDay(QTime(0, 0)), 0);
    EXPECT_EQ(FormatVersion(QStringLiteral("1.0.0.11")), QStringLiteral("1.0.0.11"));
    EXPECT_EQ(FormatVersion(QStringLiteral("2.1")), QStringLiteral("2.1.0.0"));
    EXPECT_EQ(FormatVersion(QString()), QStringLiteral("-1.0.0.0"));
    EXPECT_EQ(FormatVersion(QStringLiteral("x.y")), QStringLiteral("-1.0.0.0"));
    EXPECT_EQ(GetExeVersion().count(QLatin1Char('.')), 3);
}
