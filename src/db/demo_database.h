// The demonstration database OrmenaDemo.mdb: a small office's templates, field
// dictionary and documents, read from a JSON data set and written into a file
// that the schema check has built, with value rows and reserved fields exactly
// as the program itself would create them. Bad data fails with a Russian
// message naming the file and the item; a failed build leaves no file behind.
#pragma once

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

struct DemoField {
    QString name;        // the marker text after "&" (at most 20 characters)
    QString description; // SprField.Skript (at most 50 characters)
    bool secret = false;
};

struct DemoTemplate {
    QString name;       // Shablon.Name
    QString file;       // file name in the "Shablon" folder
    QStringList fields; // the fields the template uses (reserved names allowed)
};

struct DemoDocument {
    QString templateName;
    int number = 0;  // Fio.Npp
    QString name;    // Fio.Name
    QDate date;      // stamped as the moment the values were last changed
    QHash<QString, QString> values; // upper-cased field name -> value; reserved fields are filled, not given
};

struct DemoData {
    QList<DemoField> fields; // besides the reserved fields, which the schema check creates
    QList<DemoTemplate> templates;
    QList<DemoDocument> documents;
};

// Reads and checks a data set; origin names it in messages (usually the file path).
DemoData ParseDemoData(const QByteArray &json, const QString &origin);
DemoData ReadDemoData(const QString &path);

// Pairs of names where one, letters' case ignored, is the beginning of the
// other ("НД" and "НДС"): a marker of the longer name would be replaced by the
// shorter name's value followed by the rest. Each pair reads "НД — НДС".
QStringList FieldNamePrefixConflicts(const QStringList &names);

// The value row text of a reserved field for a document, as the program fills
// it: "НОМДОК" the number, "НШ" the template name, "НД" the document name.
// Empty for a field that is not reserved.
QString ReservedFieldValue(const QString &fieldName, const DemoDocument &document);

// Writes the data set into a new database file at path (replacing a file that
// is there only once the new one is complete): schema check first, then every
// row in one transaction.
void BuildDemoDatabase(const DemoData &data, const QString &path);
