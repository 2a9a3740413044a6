// The sample templates of the demonstration database as the build made them
// (build/demo): each file in the format its name says, with a table and a
// header, carrying exactly the markers of its template's field list — and
// each producing a document through the real office ("Создать документ", F10)
// with no marker of the dictionary left.
#include "office_fixture.h"

#include "common/file_utils.h"
#include "common/message_box_presenter.h"
#include "common/msg_component.h"
#include "db/check_database.h"
#include "db/data_module.h"
#include "db/demo_database.h"
#include "docs/document_generation.h"
#include "docs/word_automation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

namespace {

// build/demo, beside the tests folder of the build tree.
QString DemoBuildDir()
{
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../demo"));
}

DemoData SourceDemoData()
{
    return ReadDemoData(QFileInfo(QStringLiteral(__FILE__)).dir().absoluteFilePath(
        QStringLiteral("../../data/demo/demo_data.json")));
}

// Every "&" + name in the text, upper-cased.
QSet<QString> MarkersIn(const QString &text)
{
    static const QRegularExpression marker(QStringLiteral("&([\\p{L}\\p{N}_]+)"));
    QSet<QString> found;
    for (auto it = marker.globalMatch(text); it.hasNext();)
        found.insert(it.next().captured(1).toUpper());
    return found;
}

QSet<QString> Upper(const QStringList &names)
{
    QSet<QString> result;
    for (const QString &name : names)
        result.insert(name.toUpper());
    return result;
}

class DemoTemplatesTest : public OfficeTest {
protected:
    void SetUp() override
    {
        OfficeTest::SetUp();
        data = SourceDemoData();
        ASSERT_TRUE(QFileInfo::exists(DemoBuildDir() + QStringLiteral("/OrmenaDemo.mdb")))
            << "build the ormena-demo target first: " << DemoBuildDir().toStdString();
    }

    QString builtTemplate(const DemoTemplate &entry) const
    {
        return DemoBuildDir() + QStringLiteral("/Shablon/") + entry.file;
    }

    DemoData data;
};

} // namespace

TEST_F(DemoTemplatesTest, EachSampleTemplateHasItsFormatATableAHeaderAndOnlyItsMarkers)
{
    WordProcessor &word = GetWordApplication();
    for (const DemoTemplate &entry : data.templates) {
        SCOPED_TRACE(entry.file.toStdString());
        const QString path = builtTemplate(entry);
        ASSERT_TRUE(QFileInfo::exists(path));
        EXPECT_EQ(FormatOf(path), QFileInfo(entry.file).suffix().toLower());

        // The office reads it; its markers (body, tables, header and footer) are
        // exactly the template's field list, so every one of them gets a value.
        const QString text = ReadText(word, path);
        EXPECT_TRUE(text.contains(QRegularExpression(QStringLiteral("[А-Яа-яЁё]{4}"))));
        EXPECT_EQ(MarkersIn(text), Upper(entry.fields));

        // Saved back as flat ODF, the file shows its table and its header with a marker.
        const QString flat = workspace->file(QFileInfo(entry.file).completeBaseName() + QStringLiteral(".fodt"));
        const auto id = word.OpenDocument(path);
        word.SaveAs(id, flat);
        word.CloseDocument(id);
        QFile file(flat);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(file.readAll());
        EXPECT_TRUE(xml.contains(QStringLiteral("<table:table "))) << "no table";
        const int header = xml.indexOf(QStringLiteral("<style:header>"));
        ASSERT_GE(header, 0) << "no header";
        EXPECT_GT(xml.indexOf(QStringLiteral("&amp;"), header), header) << "no marker in the header";
    }
}

TEST_F(DemoTemplatesTest, EveryTemplateProducesADocumentWithEveryMarkerReplaced)
{
    // The working folder as ormena-start prepares it.
    QDir().mkpath(templateDir);
    for (const QFileInfo &file : QDir(DemoBuildDir() + QStringLiteral("/Shablon")).entryInfoList(QDir::Files))
        ASSERT_TRUE(QFile::copy(file.absoluteFilePath(), templateDir + QLatin1Char('/') + file.fileName()));
    ASSERT_TRUE(QFile::copy(DemoBuildDir() + QStringLiteral("/OrmenaDemo.mdb"),
                            workspace->file(QStringLiteral("OrmenaDemo.mdb"))));
    CheckDatabase();
    TfData module;
    module.ProgramDir = workspace->path();
    module.TemplateDir = templateDir;
    module.TempDocPath = GetTempDir() + QStringLiteral("/tmp.doc");
    {
        ScriptedMessageBoxes quiet;
        module.OpenDatabase(true);
        ASSERT_TRUE(quiet.shown().isEmpty());
    }

    QStringList dictionary;
    for (int row = 0; row < module.tSprField->RecordCount(); ++row)
        dictionary << module.tSprField->ValueAt(row, QStringLiteral("Name")).toString();
    ASSERT_EQ(dictionary.size(), data.fields.size() + 3);

    // The operator reads the produced document and closes it.
    QString produced;
    QString producedPath;
    SetDocumentWaitHook([&](WordProcessor &word, const QString &path) {
        producedPath = path;
        for (const auto id : word.DocumentsAt(path)) {
            produced = word.DocumentText(id);
            word.CloseDocument(id);
        }
    });
    TMSG msg;
    int msgAnswer = 0;

    struct Run {
        QString templateName;
        QMessageBox::StandardButton blankSecrets;
    };
    QList<Run> runs;
    for (const DemoTemplate &entry : data.templates)
        runs << Run{entry.name, QMessageBox::No};
    runs << Run{QStringLiteral("Доверенность на получение ценностей"), QMessageBox::Yes};

    for (const Run &run : runs) {
        SCOPED_TRACE(run.templateName.toStdString());
        ASSERT_TRUE(module.Shablon->Locate(QStringLiteral("Name"), run.templateName));
        module.LoadDocuments(0);
        ASSERT_FALSE(module.Fio->IsEmpty());
        module.Fio->Last();
        QHash<QString, QString> values;
        QSet<QString> secret;
        for (int row = 0; row < module.FioValue->RecordCount(); ++row) {
            const QString name = module.FioValue->ValueAt(row, QStringLiteral("Name")).toString();
            values.insert(name, module.FioValue->ValueAt(row, QStringLiteral("Value_")).toString().trimmed());
            if (module.FioValue->ValueAt(row, QStringLiteral("isSecure")).toBool())
                secret.insert(name);
        }

        produced.clear();
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(run.blankSecrets);
        CreateDocumentWorkflow(module, msg, msgAnswer);
        ASSERT_EQ(boxes.shown().size(), 1) << boxes.shown().last().text.toStdString();
        EXPECT_EQ(boxes.shown().first().text, QStringLiteral("Формировать Секретные поля в документе пустыми ?"));
        ASSERT_FALSE(produced.isEmpty()) << "no document was shown";

        for (const QString &name : dictionary)
            EXPECT_FALSE(produced.contains(QLatin1Char('&') + name, Qt::CaseInsensitive)) << name.toStdString();
        EXPECT_TRUE(MarkersIn(produced).isEmpty());
        for (auto it = values.cbegin(); it != values.cend(); ++it) {
            const bool blanked = secret.contains(it.key()) && run.blankSecrets == QMessageBox::Yes;
            EXPECT_EQ(produced.contains(it.value()), !blanked) << it.key().toStdString();
        }
        const QString file = module.Shablon->AsString(QStringLiteral("Shablon"));
        EXPECT_EQ(QFileInfo(producedPath).fileName(), QStringLiteral("tmp_") + file);
        EXPECT_EQ(FormatOf(producedPath), QFileInfo(file).suffix().toLower());
    }
    SetDocumentWaitHook(nullptr);
}
