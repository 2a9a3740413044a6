// Small text and keyboard routines shared by the whole program: the word
// splitter for delimited texts, letter-case helpers and the numeric key filter.
#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QTime>

// Splits a text at every delimiter character. Empty pieces between two
// delimiters and before a leading delimiter count as words; a piece after a
// trailing delimiter does not.
class TTextInfo {
public:
    TTextInfo(const QString &text, const QString &delimiters);
    int WordCount() const { return static_cast<int>(m_words.size()); }
    // Word by index from 1; empty beyond the count.
    QString Word(int index) const;

private:
    QString m_text;
    QList<QPair<int, int>> m_words; // start, length
};

int WordCount(const QString &text, const QString &delimiters);
QString ExtractWord(const QString &text, const QString &delimiters, int index);
QString RemoveChar(const QString &text, QChar c);
// Drops the last character when the trimmed text is not empty.
void DropLastChar(QString &text);
bool SameTextNoCase(const QString &a, const QString &b);
QString TrimUpper(const QString &text);
// Keeps Backspace, Tab, Enter, Esc, digits and the locale's decimal separator;
// turns anything else into the null character so the edit ignores it.
void NumericKeyFilter(QChar &key);
int MinutesOfDay(const QTime &time);
