#include "db/jet_statement_translator.h"

#include "common/errors.h"
#include "db/sqlite_functions.h"

namespace {

struct Token {
    enum Kind { Word, Name, Number, Symbol, End } kind = End;
    QString text; // a word as written; a name without its brackets or quotes, trimmed
};

// Splits a statement into words, bracketed or quoted names, numbers and symbols.
class Tokenizer {
public:
    explicit Tokenizer(const QString &text) : m_text(text) {}

    QList<Token> run()
    {
        QList<Token> tokens;
        while (true) {
            skipBlanks();
            if (m_pos >= m_text.size())
                break;
            const QChar c = m_text.at(m_pos);
            if (c == QLatin1Char('[')) {
                tokens.append(closed(QLatin1Char(']')));
            } else if (c == QLatin1Char('"') || c == QLatin1Char('`')) {
                tokens.append(closed(c));
            } else if (c.isDigit() || ((c == QLatin1Char('-') || c == QLatin1Char('+')) && nextIsDigit())) {
                const qsizetype start = m_pos++;
                while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
                    ++m_pos;
                tokens.append({Token::Number, m_text.mid(start, m_pos - start)});
            } else if (c.isLetter() || c == QLatin1Char('_')) {
                const qsizetype start = m_pos;
                while (m_pos < m_text.size()
                       && (m_text.at(m_pos).isLetterOrNumber() || m_text.at(m_pos) == QLatin1Char('_')
                           || m_text.at(m_pos) == QLatin1Char('$')))
                    ++m_pos;
                tokens.append({Token::Word, m_text.mid(start, m_pos - start)});
            } else {
                tokens.append({Token::Symbol, QString(c)});
                ++m_pos;
            }
        }
        return tokens;
    }

private:
    void skipBlanks()
    {
        while (m_pos < m_text.size() && m_text.at(m_pos).isSpace())
            ++m_pos;
    }
    bool nextIsDigit() const { return m_pos + 1 < m_text.size() && m_text.at(m_pos + 1).isDigit(); }
    Token closed(QChar closing)
    {
        const qsizetype start = ++m_pos;
        QString name;
        while (m_pos < m_text.size()) {
            const QChar c = m_text.at(m_pos++);
            if (c == closing) {
                // A doubled closing quote stands for itself inside "..." and `...`.
                if (closing != QLatin1Char(']') && m_pos < m_text.size() && m_text.at(m_pos) == closing) {
                    name += c;
                    ++m_pos;
                    continue;
                }
                return {Token::Name, name.trimmed()};
            }
            name += c;
        }
        m_pos = start - 1;
        throw OrmenaError(QStringLiteral("Не закрыта скобка или кавычка имени: %1").arg(m_text.mid(start - 1)));
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

class Parser {
public:
    explicit Parser(const QString &statement) : m_statement(statement)
    {
        m_tokens = Tokenizer(statement).run();
        // A closing ";" ends the statement and is no part of it.
        if (!m_tokens.isEmpty() && m_tokens.last().kind == Token::Symbol && m_tokens.last().text == QLatin1String(";"))
            m_tokens.removeLast();
    }

    JetStatement parse()
    {
        JetStatement result;
        if (acceptWord("CREATE")) {
            if (acceptWord("TABLE"))
                return createTable();
            result.unique = acceptWord("UNIQUE");
            if (acceptWord("INDEX"))
                return createIndex(result.unique);
            return {};
        }
        if (acceptWord("ALTER")) {
            if (!acceptWord("TABLE"))
                return {};
            result.table = name(QStringLiteral("имя таблицы"));
            if (acceptWord("ADD"))
                result.type = JetStatementType::AddColumn;
            else if (acceptWord("ALTER"))
                result.type = JetStatementType::AlterColumn;
            else
                return {};
            acceptWord("COLUMN");
            if (atEnd())
                fail(QStringLiteral("нет определения поля"));
            result.columns.append(columnDefinition());
            expectEnd();
            return result;
        }
        if (acceptWord("DROP")) {
            if (acceptWord("INDEX")) {
                result.type = JetStatementType::DropIndex;
                result.index = name(QStringLiteral("имя индекса"));
                expectWord("ON");
                result.table = name(QStringLiteral("имя таблицы"));
                expectEnd();
                return result;
            }
            if (acceptWord("TABLE")) {
                result.type = JetStatementType::DropTable;
                result.table = name(QStringLiteral("имя таблицы"));
                expectEnd();
                return result;
            }
        }
        return {};
    }

private:
    JetStatement createTable()
    {
        JetStatement result;
        result.type = JetStatementType::CreateTable;
        result.table = name(QStringLiteral("имя таблицы"));
        if (atEnd())
            return result;
        expectSymbol("(");
        do {
            result.columns.append(columnDefinition());
        } while (acceptSymbol(","));
        expectSymbol(")");
        expectEnd();
        return result;
    }

    JetStatement createIndex(bool unique)
    {
        JetStatement result;
        result.type = JetStatementType::CreateIndex;
        result.unique = unique;
        result.index = name(QStringLiteral("имя индекса"));
        expectWord("ON");
        result.table = name(QStringLiteral("имя таблицы"));
        expectSymbol("(");
        do {
            if (peekSymbol(",") || peekSymbol(")")) {
                result.indexColumns.append(QString());
                continue;
            }
            result.indexColumns.append(name(QStringLiteral("имя поля индекса")));
            if (!acceptWord("ASC"))
                acceptWord("DESC");
        } while (acceptSymbol(","));
        expectSymbol(")");
        if (acceptWord("WITH")) {
            if (acceptWord("DISALLOW")) {
                expectWord("NULL");
                result.nullMode = DbIndexNullMode::DisallowNull;
            } else if (acceptWord("IGNORE")) {
                expectWord("NULL");
                result.nullMode = DbIndexNullMode::IgnoreNull;
            } else {
                fail(QStringLiteral("после WITH ожидается DISALLOW NULL или IGNORE NULL"));
            }
        }
        expectEnd();
        return result;
    }

    JetColumnDefinition columnDefinition()
    {
        JetColumnDefinition column;
        column.name = name(QStringLiteral("имя поля"));
        if (atEnd() || peekSymbol(",") || peekSymbol(")"))
            fail(QStringLiteral("не указан тип поля \"%1\"").arg(column.name));
        const Token type = take();
        const QString word = type.text.toUpper();
        if (type.kind != Token::Word)
            fail(QStringLiteral("непонятный тип поля \"%1\": %2").arg(column.name, type.text));
        if (word == QLatin1String("INT") || word == QLatin1String("INTEGER") || word == QLatin1String("LONG")
            || word == QLatin1String("INTEGER4")) {
            column.kind = DbColumnKind::Integer;
            if (acceptWord("IDENTITY"))
                identity(column);
        } else if (word == QLatin1String("IDENTITY") || word == QLatin1String("COUNTER")
                   || word == QLatin1String("AUTOINCREMENT")) {
            identity(column);
        } else if (word == QLatin1String("TEXT") || word == QLatin1String("VARCHAR") || word == QLatin1String("CHAR")
                   || word == QLatin1String("NVARCHAR") || word == QLatin1String("NCHAR")
                   || word == QLatin1String("CHARACTER")) {
            if (acceptSymbol("(")) {
                column.kind = DbColumnKind::Text;
                column.size = number(QStringLiteral("размер поля"));
                expectSymbol(")");
            } else {
                column.kind = word == QLatin1String("TEXT") ? DbColumnKind::LongText : DbColumnKind::Text;
                if (column.kind == DbColumnKind::Text)
                    column.size = 255;
            }
            if (acceptWord("WITH")) {
                if (!acceptWord("COMPRESSION") && !acceptWord("COMP"))
                    fail(QStringLiteral("после WITH ожидается COMPRESSION"));
            }
        } else if (word == QLatin1String("MEMO") || word == QLatin1String("LONGTEXT")
                   || word == QLatin1String("NTEXT")) {
            column.kind = DbColumnKind::LongText;
        } else if (word == QLatin1String("IMAGE") || word == QLatin1String("LONGBINARY")
                   || word == QLatin1String("OLEOBJECT") || word == QLatin1String("GENERAL")) {
            column.kind = DbColumnKind::Image;
        } else if (word == QLatin1String("FLOAT") || word == QLatin1String("DOUBLE") || word == QLatin1String("REAL")
                   || word == QLatin1String("FLOAT8") || word == QLatin1String("NUMBER")) {
            column.kind = DbColumnKind::Float;
        } else if (word == QLatin1String("BIT") || word == QLatin1String("YESNO") || word == QLatin1String("LOGICAL")
                   || word == QLatin1String("BOOLEAN")) {
            column.kind = DbColumnKind::Bit;
        } else if (word == QLatin1String("MONEY") || word == QLatin1String("CURRENCY")) {
            column.kind = DbColumnKind::Money;
        } else if (word == QLatin1String("DATETIME") || word == QLatin1String("DATE") || word == QLatin1String("TIME")
                   || word == QLatin1String("TIMESTAMP")) {
            column.kind = DbColumnKind::DateTime;
        } else if (word == QLatin1String("BINARY") || word == QLatin1String("VARBINARY")) {
            column.kind = DbColumnKind::Binary;
            if (acceptSymbol("(")) {
                column.size = number(QStringLiteral("размер поля"));
                expectSymbol(")");
            }
        } else {
            fail(QStringLiteral("неизвестный тип поля \"%1\": %2").arg(column.name, type.text));
        }
        if (!atEnd() && !peekSymbol(",") && !peekSymbol(")"))
            fail(QStringLiteral("непонятный текст после типа поля \"%1\": %2").arg(column.name, peek().text));
        return column;
    }

    void identity(JetColumnDefinition &column)
    {
        column.kind = DbColumnKind::AutoInc;
        if (acceptSymbol("(")) {
            column.seed = number(QStringLiteral("начальное значение счётчика"));
            expectSymbol(",");
            column.increment = number(QStringLiteral("шаг счётчика"));
            expectSymbol(")");
        }
    }

    QString name(const QString &what)
    {
        if (atEnd())
            fail(QStringLiteral("не указано %1").arg(what));
        const Token token = take();
        if (token.kind != Token::Word && token.kind != Token::Name)
            fail(QStringLiteral("ожидается %1, а стоит \"%2\"").arg(what, token.text));
        if (token.text.isEmpty())
            fail(QStringLiteral("пустое %1").arg(what));
        return token.text.trimmed();
    }

    int number(const QString &what)
    {
        const Token token = take();
        bool ok = false;
        const int value = token.text.toInt(&ok);
        if (token.kind != Token::Number || !ok)
            fail(QStringLiteral("ожидается число (%1), а стоит \"%2\"").arg(what, token.text));
        return value;
    }

    bool atEnd() const { return m_pos >= m_tokens.size(); }
    const Token &peek() const { return m_tokens.at(m_pos); }
    Token take()
    {
        if (atEnd())
            fail(QStringLiteral("инструкция оборвана"));
        return m_tokens.at(m_pos++);
    }
    bool acceptWord(const char *word)
    {
        if (!atEnd() && peek().kind == Token::Word && peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool peekSymbol(const char *symbol) const
    {
        return !atEnd() && peek().kind == Token::Symbol && peek().text == QLatin1String(symbol);
    }
    bool acceptSymbol(const char *symbol)
    {
        if (peekSymbol(symbol)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    void expectWord(const char *word)
    {
        if (!acceptWord(word))
            fail(QStringLiteral("ожидается %1").arg(QLatin1String(word)));
    }
    void expectSymbol(const char *symbol)
    {
        if (!acceptSymbol(symbol))
            fail(QStringLiteral("ожидается \"%1\"").arg(QLatin1String(symbol)));
    }
    void expectEnd()
    {
        if (!atEnd())
            fail(QStringLiteral("лишний текст в конце: \"%1\"").arg(peek().text));
    }
    [[noreturn]] void fail(const QString &detail) const
    {
        throw OrmenaError(QStringLiteral("Синтаксическая ошибка в инструкции: %1.\r%2").arg(detail, m_statement));
    }

    const QString &m_statement;
    QList<Token> m_tokens;
    qsizetype m_pos = 0;
};

} // namespace

JetStatement ParseJetStatement(const QString &statement)
{
    try {
        return Parser(statement).parse();
    } catch (const OrmenaError &error) {
        if (error.message().startsWith(QStringLiteral("Синтаксическая ошибка")))
            throw;
        throw OrmenaError(QStringLiteral("Синтаксическая ошибка в инструкции: %1\r%2").arg(error.message(), statement));
    }
}

QString QuoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString TextTooLongMessage(const QString &table, const QString &column, int size)
{
    return QStringLiteral("Текст длиннее %1 символов не помещается в поле %2 таблицы %3").arg(size).arg(column, table);
}

QString SqliteColumnDefinition(const QString &table, const JetColumnDefinition &column)
{
    const QString name = QuoteIdentifier(column.name);
    const QString noCase = QStringLiteral(" COLLATE ") + QLatin1String(kNoCaseCollation);
    switch (column.kind) {
    case DbColumnKind::AutoInc:
        return name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case DbColumnKind::Text:
        return name + QStringLiteral(" TEXT(%1)").arg(column.size) + noCase + QStringLiteral(" CONSTRAINT ")
            + QuoteIdentifier(TextTooLongMessage(table, column.name, column.size))
            + QStringLiteral(" CHECK(length(%1)<=%2)").arg(name).arg(column.size);
    case DbColumnKind::LongText:
        return name + QStringLiteral(" TEXT") + noCase;
    case DbColumnKind::Integer:
        return name + QStringLiteral(" INT");
    case DbColumnKind::Image:
        return name + QStringLiteral(" IMAGE");
    case DbColumnKind::Float:
        return name + QStringLiteral(" FLOAT");
    case DbColumnKind::Bit:
        // Jet's Yes/No column never holds null: a null written to it becomes false.
        return name + QStringLiteral(" BIT NOT NULL ON CONFLICT REPLACE DEFAULT 0");
    case DbColumnKind::Money:
        return name + QStringLiteral(" MONEY");
    case DbColumnKind::DateTime:
        return name + QStringLiteral(" DATETIME");
    case DbColumnKind::Binary:
        return name + QStringLiteral(" BINARY");
    case DbColumnKind::Unknown:
        break;
    }
    return name;
}

QString SqliteIndexName(const QString &table, const QString &index)
{
    return table + QLatin1Char('.') + index;
}
