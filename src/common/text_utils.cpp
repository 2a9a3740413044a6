#include "common/text_utils.h"

#include <QLocale>

TTextInfo::TTextInfo(const QString &text, const QString &delimiters)
    : m_text(text)
{
    bool previousWasDelimiter = false;
    for (int i = 0; i < text.size(); ++i) {
        const bool isDelimiter = delimiters.contains(text.at(i));
        if (!isDelimiter) {
            if (i == 0 || previousWasDelimiter)
                m_words.append({i, 1});
            else
                ++m_words.last().second;
        } else if (previousWasDelimiter || (i == 0) || m_words.isEmpty()) {
            // An empty piece: between two delimiters, or before the first one.
            m_words.append({i, 0});
        }
        previousWasDelimiter = isDelimiter;
    }
}

QString TTextInfo::Word(int index) const
{
    if (index < 1 || index > m_words.size())
        return QString();
    const auto &word = m_words.at(index - 1);
    return m_text.mid(word.first, word.second);
}

int WordCount(const QString &text, const QString &delimiters)
{
    return TTextInfo(text, delimiters).WordCount();
}

QString ExtractWord(const QString &text, const QString &delimiters, int index)
{
    return TTextInfo(text, delimiters).Word(index);
}

QString RemoveChar(const QString &text, QChar c)
{
    QString result = text;
    result.remove(c);
    return result;
}

void DropLastChar(QString &text)
{
    if (!text.trimmed().isEmpty())
        text.chop(1);
}

bool SameTextNoCase(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

QString TrimUpper(const QString &text)
{
    return text.trimmed().toUpper();
}

void NumericKeyFilter(QChar &key)
{
    const QChar decimal = QLocale().decimalPoint().isEmpty() ? QLatin1Char('.') : QLocale().decimalPoint().at(0);
    const ushort code = key.unicode();
    const bool control = code == 8 || code == 9 || code == 13 || code == 27;
    if (control || (key >= QLatin1Char('0') && key <= QLatin1Char('9')) || key == decimal)
        return;
    key = QChar(0);
}

int MinutesOfDay(const QTime &time)
{
    return time.hour() * 60 + time.minute();
}
