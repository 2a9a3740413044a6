#include "db/demo_database.h"

#include "common/errors.h"
#include "common/file_utils.h"
#include "db/ado_dao_tools.h"
#include "db/check_database.h"
#include "db/database_schema.h"
#include "db/sqlite_engine.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTemporaryDir>

namespace {

// Column sizes of the schema the data must fit.
constexpr int kFieldNameSize = 20;
constexpr int kFieldDescriptionSize = 50;
constexpr int kTemplateNameSize = 255;
constexpr int kTemplateFileSize = 255;
constexpr int kDocumentNameSize = 250;
constexpr int kValueSize = 255;

QString Key(const QString &name)
{
    return name.trimmed().toUpper();
}

bool IsReserved(const QString &name)
{
    for (const ReservedField &field : ReservedFields())
        if (Key(field.name) == Key(name))
            return true;
    return false;
}

// Reads one data set and says where a fault lies.
class DemoDataReader {
public:
    explicit DemoDataReader(QString origin) : m_origin(std::move(origin)) {}

    DemoData read(const QByteArray &json)
    {
        QJsonParseError parseError;
        const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
        if (parseError.error != QJsonParseError::NoError)
            fail(QStringLiteral("ошибка разбора JSON: %1 (позиция %2)")
                     .arg(parseError.errorString())
                     .arg(parseError.offset));
        if (!document.isObject())
            fail(QStringLiteral("ожидается объект JSON с разделами «fields», «templates» и «documents»"));
        const QJsonObject root = document.object();
        readFields(array(root, QStringLiteral("fields"), QStringLiteral("набор данных")));
        readTemplates(array(root, QStringLiteral("templates"), QStringLiteral("набор данных")));
        readDocuments(array(root, QStringLiteral("documents"), QStringLiteral("набор данных")));
        return m_data;
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw OrmenaError(QStringLiteral("Ошибка в демонстрационных данных\r") + m_origin + QStringLiteral("\r")
                          + what);
    }

    QJsonArray array(const QJsonObject &object, const QString &key, const QString &where) const
    {
        if (!object.value(key).isArray())
            fail(where + QStringLiteral(": нет списка «") + key + QStringLiteral("»"));
        return object.value(key).toArray();
    }

    QJsonObject item(const QJsonValue &value, const QString &where) const
    {
        if (!value.isObject())
            fail(where + QStringLiteral(": ожидается объект JSON"));
        return value.toObject();
    }

    QString text(const QJsonObject &object, const QString &key, const QString &where, int maxLength,
                 bool required = true) const
    {
        const QJsonValue value = object.value(key);
        if (value.isUndefined() && !required)
            return QString();
        if (!value.isString())
            fail(where + QStringLiteral(": нет текста «") + key + QStringLiteral("»"));
        const QString result = value.toString().trimmed();
        if (required && result.isEmpty())
            fail(where + QStringLiteral(": пустое значение «") + key + QStringLiteral("»"));
        if (result.size() > maxLength)
            fail(where + QStringLiteral(": «%1» длиннее %2 символов").arg(key).arg(maxLength));
        return result;
    }

    void readFields(const QJsonArray &list)
    {
        QStringList names;
        for (const ReservedField &reserved : ReservedFields())
            names << reserved.name;
        for (int i = 0; i < list.size(); ++i) {
            const QString where = QStringLiteral("поле %1").arg(i + 1);
            const QJsonObject object = item(list.at(i), where);
            DemoField field;
            field.name = Key(text(object, QStringLiteral("name"), where, kFieldNameSize));
            field.description =
                text(object, QStringLiteral("description"), where + QStringLiteral(" ") + field.name,
                     kFieldDescriptionSize);
            field.secret = object.value(QStringLiteral("secret")).toBool(false);
            if (IsReserved(field.name))
                fail(QStringLiteral("поле ") + field.name
                     + QStringLiteral(" зарезервировано: его создаёт проверка базы, а значения заполняет программа"));
            if (m_fieldKeys.contains(field.name))
                fail(QStringLiteral("поле ") + field.name + QStringLiteral(" указано дважды"));
            m_fieldKeys.insert(field.name);
            names << field.name;
            m_data.fields << field;
        }
        const QStringList conflicts = FieldNamePrefixConflicts(names);
        if (!conflicts.isEmpty())
            fail(QStringLiteral("имя поля совпадает с началом имени другого поля: ") + conflicts.join(QStringLiteral(", ")));
    }

    void readTemplates(const QJsonArray &list)
    {
        QSet<QString> templateKeys;
        for (int i = 0; i < list.size(); ++i) {
            QString where = QStringLiteral("шаблон %1").arg(i + 1);
            const QJsonObject object = item(list.at(i), where);
            DemoTemplate entry;
            entry.name = text(object, QStringLiteral("name"), where, kTemplateNameSize);
            where = QStringLiteral("шаблон «") + entry.name + QStringLiteral("»");
            entry.file = text(object, QStringLiteral("file"), where, kTemplateFileSize);
            if (entry.file.contains(QLatin1Char('/')) || entry.file.contains(QLatin1Char('\\')))
                fail(where + QStringLiteral(": файл шаблона задаётся одним именем, без папки"));
            if (templateKeys.contains(Key(entry.name)))
                fail(where + QStringLiteral(" указан дважды"));
            templateKeys.insert(Key(entry.name));
            const QJsonArray fields = array(object, QStringLiteral("fields"), where);
            for (const QJsonValue &value : fields) {
                const QString name = Key(value.toString());
                if (!value.isString() || name.isEmpty())
                    fail(where + QStringLiteral(": в списке полей ожидаются имена полей"));
                if (!IsReserved(name) && !m_fieldKeys.contains(name))
                    fail(where + QStringLiteral(": поля ") + name + QStringLiteral(" нет в справочнике"));
                if (entry.fields.contains(name))
                    fail(where + QStringLiteral(": поле ") + name + QStringLiteral(" указано дважды"));
                entry.fields << name;
            }
            if (entry.fields.isEmpty())
                fail(where + QStringLiteral(": пустой список полей"));
            m_data.templates << entry;
        }
    }

    const DemoTemplate *findTemplate(const QString &name) const
    {
        for (const DemoTemplate &entry : m_data.templates)
            if (Key(entry.name) == Key(name))
                return &entry;
        return nullptr;
    }

    void readDocuments(const QJsonArray &list)
    {
        QSet<QString> numbers; // template key + number
        for (int i = 0; i < list.size(); ++i) {
            QString where = QStringLiteral("документ %1").arg(i + 1);
            const QJsonObject object = item(list.at(i), where);
            DemoDocument document;
            document.name = text(object, QStringLiteral("name"), where, kDocumentNameSize);
            where = QStringLiteral("документ «") + document.name + QStringLiteral("»");
            document.templateName = text(object, QStringLiteral("template"), where, kTemplateNameSize);
            const DemoTemplate *owner = findTemplate(document.templateName);
            if (!owner)
                fail(where + QStringLiteral(": нет шаблона «") + document.templateName + QStringLiteral("»"));
            const QJsonValue number = object.value(QStringLiteral("number"));
            if (!number.isDouble() || number.toDouble() != number.toInt() || number.toInt() < 1)
                fail(where + QStringLiteral(": номер документа должен быть целым числом больше нуля"));
            document.number = number.toInt();
            const QString numberKey = Key(owner->name) + QLatin1Char('#') + QString::number(document.number);
            if (numbers.contains(numberKey))
                fail(where + QStringLiteral(": номер %1 уже занят другим документом шаблона «%2»")
                                 .arg(document.number)
                                 .arg(owner->name));
            numbers.insert(numberKey);
            document.date = QDate::fromString(text(object, QStringLiteral("date"), where, 10), Qt::ISODate);
            if (!document.date.isValid())
                fail(where + QStringLiteral(": дата должна быть задана как ГГГГ-ММ-ДД"));
            readValues(object, where, *owner, document);
            m_data.documents << document;
        }
    }

    void readValues(const QJsonObject &object, const QString &where, const DemoTemplate &owner,
                    DemoDocument &document) const
    {
        const QJsonValue values = object.value(QStringLiteral("values"));
        if (!values.isObject())
            fail(where + QStringLiteral(": нет значений полей «values»"));
        const QJsonObject map = values.toObject();
        for (auto it = map.begin(); it != map.end(); ++it) {
            const QString name = Key(it.key());
            if (IsReserved(name))
                fail(where + QStringLiteral(": значение поля ") + name
                     + QStringLiteral(" заполняет программа (номер, шаблон или имя документа)"));
            if (!owner.fields.contains(name))
                fail(where + QStringLiteral(": поля ") + name + QStringLiteral(" нет в списке полей шаблона «")
                     + owner.name + QStringLiteral("»"));
            if (!it.value().isString())
                fail(where + QStringLiteral(": значение поля ") + name + QStringLiteral(" должно быть текстом"));
            const QString value = it.value().toString();
            if (value.size() > kValueSize)
                fail(where + QStringLiteral(": значение поля %1 длиннее %2 символов").arg(name).arg(kValueSize));
            // A value holding another field's marker would be replaced again by
            // that field's pair further down the list.
            for (const QString &field : m_fieldKeys)
                if (value.contains(QLatin1Char('&') + field, Qt::CaseInsensitive))
                    fail(where + QStringLiteral(": значение поля ") + name + QStringLiteral(" содержит метку &")
                         + field);
            document.values.insert(name, value);
        }
    }

    QString m_origin;
    DemoData m_data;
    QSet<QString> m_fieldKeys; // upper-cased names of the data set's own fields
};

// Closes the builder's connection on every way out.
class ClosedConnection {
public:
    explicit ClosedConnection(DbConnection &connection) : m_connection(connection) {}
    ~ClosedConnection() { m_connection.close(); }
    ClosedConnection(const ClosedConnection &) = delete;
    ClosedConnection &operator=(const ClosedConnection &) = delete;

private:
    DbConnection &m_connection;
};

qint64 Insert(DbConnection &connection, const QString &sql, const QVariantList &values)
{
    auto query = connection.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    query->exec();
    return connection.lastInsertId();
}

void FillDatabase(DbConnection &connection, const DemoData &data)
{
    DbTransaction transaction(connection);

    // Upper-cased name -> SprField.Id and SprField.Npp (the dictionary number).
    QHash<QString, qint64> fieldIds;
    QHash<QString, int> fieldNumbers;
    int npp = 0;
    {
        auto existing = connection.prepare(QStringLiteral("SELECT Id, Name, Npp FROM SprField"));
        while (existing->next()) {
            fieldIds.insert(Key(existing->value(1).toString()), existing->value(0).toLongLong());
            fieldNumbers.insert(Key(existing->value(1).toString()), existing->value(2).toInt());
            npp = qMax(npp, existing->value(2).toInt());
        }
    }
    for (const DemoField &field : data.fields) {
        fieldNumbers.insert(field.name, ++npp);
        fieldIds.insert(field.name,
                        Insert(connection,
                               QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isEdit, isSecure) "
                                              "VALUES (?, ?, ?, ?, ?)"),
                               {npp, field.name, field.description, false, field.secret}));
    }

    QHash<QString, qint64> templateIds;
    for (const DemoTemplate &entry : data.templates) {
        const qint64 templateId = Insert(connection, QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES (?, ?)"),
                                         {entry.name, entry.file});
        templateIds.insert(Key(entry.name), templateId);
        // A template's field row carries the field's dictionary number, as the
        // template fields window writes it.
        for (const QString &field : entry.fields)
            Insert(connection,
                   QStringLiteral("INSERT INTO ShablonFld (Shablon_Id, SprField_Id, Npp) VALUES (?, ?, ?)"),
                   {templateId, fieldIds.value(field), fieldNumbers.value(field)});
    }

    for (const DemoDocument &document : data.documents) {
        const DemoTemplate *owner = nullptr;
        for (const DemoTemplate &entry : data.templates)
            if (Key(entry.name) == Key(document.templateName))
                owner = &entry;
        const qint64 templateId = templateIds.value(Key(owner->name));
        const qint64 documentId =
            Insert(connection, QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (?, ?, ?)"),
                   {templateId, document.number, document.name});
        // One value row per field of the template, numbered like the
        // template's field row, as adding the document's fields makes them.
        for (const QString &field : owner->fields) {
            const QString value =
                IsReserved(field) ? ReservedFieldValue(field, document) : document.values.value(field);
            const bool blank = value.trimmed().isEmpty();
            Insert(connection,
                   QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Value_, Npp, DateIzm) "
                                  "VALUES (?, ?, ?, ?, ?, ?)"),
                   {templateId, documentId, fieldIds.value(field), blank ? QVariant() : QVariant(value),
                    fieldNumbers.value(field),
                    blank ? QVariant() : QVariant(QDateTime(document.date, QTime(0, 0)))});
        }
    }
    transaction.commit();
}

} // namespace

DemoData ParseDemoData(const QByteArray &json, const QString &origin)
{
    return DemoDataReader(origin).read(json);
}

DemoData ReadDemoData(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw OrmenaError(QStringLiteral("Не могу прочитать файл демонстрационных данных\r") + path
                          + QStringLiteral("\r") + file.errorString());
    return ParseDemoData(file.readAll(), path);
}

QStringList FieldNamePrefixConflicts(const QStringList &names)
{
    QStringList conflicts;
    for (const QString &shorter : names)
        for (const QString &longer : names)
            if (Key(longer).size() > Key(shorter).size() && Key(longer).startsWith(Key(shorter)))
                conflicts << shorter.trimmed() + QStringLiteral(" — ") + longer.trimmed();
    return conflicts;
}

QString ReservedFieldValue(const QString &fieldName, const DemoDocument &document)
{
    const QString key = Key(fieldName);
    if (key == QStringLiteral("НОМДОК"))
        return QString::number(document.number);
    if (key == QStringLiteral("НШ"))
        return document.templateName.trimmed();
    if (key == QStringLiteral("НД"))
        return document.name.trimmed();
    return QString();
}

void BuildDemoDatabase(const DemoData &data, const QString &path)
{
    const QFileInfo target(path);
    if (!QDir().mkpath(target.absolutePath()))
        throw OrmenaError(QStringLiteral("Не могу создать папку\r") + target.absolutePath());
    // The file is built beside the target and moved into place only when
    // complete, so a failure never leaves a half-filled demonstration file.
    QTemporaryDir work(target.absolutePath() + QStringLiteral("/.ormena-demo-XXXXXX"));
    if (!work.isValid())
        throw OrmenaError(QStringLiteral("Не могу создать временную папку в\r") + target.absolutePath()
                          + QStringLiteral("\r") + work.errorString());
    const QString directory = NormalizeDir(work.path());

    SqliteConnection connection;
    CheckDatabaseAt(directory, connection);
    {
        ClosedConnection closed(connection);
        if (!SetDatabasePath(connection, kDatabaseFileName, directory, true, omReadWrite))
            throw OrmenaError(QStringLiteral("Не могу открыть построенную базу\r") + directory);
        FillDatabase(connection, data);
    }

    const QString built = directory + QLatin1Char('/') + kDatabaseFileName;
    if (QFileInfo::exists(target.absoluteFilePath()) && !QFile::remove(target.absoluteFilePath()))
        throw OrmenaError(QStringLiteral("Не могу заменить файл\r") + target.absoluteFilePath());
    if (!QFile::rename(built, target.absoluteFilePath()))
        throw OrmenaError(QStringLiteral("Не могу записать файл\r") + target.absoluteFilePath());
}
