#include "office_fixture.h"

#include "common/file_utils.h"
#include "docs/word_automation.h"
#include "docs/template_locator.h"

#include <QDir>
#include <QElapsedTimer>
#include <QThread>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <unistd.h>

// Taken before any test points TMPDIR at its own folder.
static const QString g_systemTemp = QDir::tempPath();

LibreOfficeSettings TestOfficeSettings()
{
    // One profile per test program, removed when the program ends.
    static QTemporaryDir profile(g_systemTemp + QStringLiteral("/ormena-office-test-XXXXXX"));
    LibreOfficeSettings settings;
    settings.pipeName = QStringLiteral("ormena-test-%1").arg(getpid());
    settings.profileDir = profile.path() + QStringLiteral("/profile");
    settings.display = LibreOfficeSettings::Display::Headless;
    settings.stopWithProgram = true;
    return settings;
}

static QString Escape(const QString &text)
{
    return text.toHtmlEscaped();
}

QString FlatOdt(const QStringList &paragraphs, const QString &header, const QString &footer, const QString &tableCell)
{
    QString body;
    for (const QString &paragraph : paragraphs)
        body += QStringLiteral("<text:p>%1</text:p>\n").arg(paragraph);
    if (!tableCell.isEmpty())
        body += QStringLiteral("<table:table table:name=\"T1\"><table:table-column/><table:table-row>"
                               "<table:table-cell office:value-type=\"string\"><text:p>%1</text:p></table:table-cell>"
                               "</table:table-row></table:table>\n")
                    .arg(tableCell);
    return QStringLiteral(
               "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<office:document xmlns:office=\"urn:oasis:names:tc:opendocument:xmlns:office:1.0\""
               " xmlns:style=\"urn:oasis:names:tc:opendocument:xmlns:style:1.0\""
               " xmlns:text=\"urn:oasis:names:tc:opendocument:xmlns:text:1.0\""
               " xmlns:table=\"urn:oasis:names:tc:opendocument:xmlns:table:1.0\""
               " xmlns:fo=\"urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0\""
               " office:version=\"1.2\" office:mimetype=\"application/vnd.oasis.opendocument.text\">\n"
               "<office:automatic-styles>\n"
               "<style:style style:name=\"B\" style:family=\"text\"><style:text-properties fo:font-weight=\"bold\"/></style:style>\n"
               "<style:page-layout style:name=\"pm1\"><style:page-layout-properties fo:page-width=\"21cm\""
               " fo:page-height=\"29.7cm\" fo:margin-top=\"2cm\" fo:margin-bottom=\"2cm\" fo:margin-left=\"2cm\""
               " fo:margin-right=\"2cm\"/><style:header-style/><style:footer-style/></style:page-layout>\n"
               "</office:automatic-styles>\n"
               "<office:master-styles><style:master-page style:name=\"Standard\" style:page-layout-name=\"pm1\">\n"
               "<style:header><text:p>%1</text:p></style:header>\n"
               "<style:footer><text:p>%2</text:p></style:footer>\n"
               "</style:master-page></office:master-styles>\n"
               "<office:body><office:text>\n%3</office:text></office:body>\n"
               "</office:document>\n")
        .arg(header, footer, body);
}

QString StandardTemplateXml()
{
    return FlatOdt({Escape(QStringLiteral("Договор с &ФИО, далее &фио.")),
                    Escape(QStringLiteral("Фамилия: &Фам")) + QStringLiteral("<text:span text:style-name=\"B\">")
                        + Escape(QStringLiteral("илия")) + QStringLiteral("</text:span>."),
                    Escape(QStringLiteral("Родился &ДатаРождения, подписано &Дата.")),
                    Escape(QStringLiteral("Примечание: &Спец"))},
                   Escape(QStringLiteral("Организация: &Организация")), Escape(QStringLiteral("Город: &Город")),
                   Escape(QStringLiteral("Должность: &Должность")));
}

QString MakeDocument(WordProcessor &word, const QString &dir, const QString &base, const QString &extension,
                     const QString &xml)
{
    const QString source = dir + QLatin1Char('/') + base + QStringLiteral(".fodt");
    QFile file(source);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(xml.toUtf8());
    file.close();
    const QString target = dir + QLatin1Char('/') + base + QLatin1Char('.') + extension;
    word.Connect();
    const WordProcessor::DocumentId document = word.OpenDocument(source);
    word.SaveAs(document, target);
    word.CloseDocument(document);
    QFile::remove(source);
    return target;
}

QString ReadText(WordProcessor &word, const QString &path)
{
    word.Connect();
    const WordProcessor::DocumentId document = word.OpenDocument(path);
    const QString text = word.DocumentText(document);
    word.CloseDocument(document);
    return text;
}

QString FormatOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("missing");
    const QByteArray head = file.read(4096);
    if (head.startsWith("\xD0\xCF\x11\xE0"))
        return QStringLiteral("doc");
    if (head.startsWith("{\\rtf"))
        return QStringLiteral("rtf");
    if (head.startsWith("PK")) {
        if (head.contains("application/vnd.oasis.opendocument.text"))
            return QStringLiteral("odt");
        if (head.contains("[Content_Types].xml") || head.contains("word/"))
            return QStringLiteral("docx");
        return QStringLiteral("zip");
    }
    return QStringLiteral("other");
}

bool ProcessAlive(qint64 pid)
{
    if (pid <= 0 || ::kill(static_cast<pid_t>(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    return close < 0 || line.mid(close + 2, 1) != "Z";
}

bool ProcessGone(qint64 pid, int ms)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (ProcessAlive(pid)) {
        if (elapsed.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

void OfficeTest::SetUp()
{
    workspace = std::make_unique<TempWorkspace>();
    templateDir = workspace->makeTemplateFolder();
    // The private temporary folder of the program lives in this test's folder.
    previousTmpDir = qgetenv("TMPDIR");
    QDir(workspace->path()).mkpath(QStringLiteral("tmp"));
    qputenv("TMPDIR", workspace->file(QStringLiteral("tmp")).toLocal8Bit());
    SetRetryPauseMs(10);
    SetTemplatePlaces({});
    SetDocumentWaitHook(nullptr);
    SetLibreOfficeSettings(TestOfficeSettings());
}

void OfficeTest::TearDown()
{
    SetDocumentWaitHook(nullptr);
    ShutdownWordApplication();
    SetRetryPauseMs(500);
    if (previousTmpDir.isNull())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", previousTmpDir);
    workspace.reset();
}

LibreOfficeClient &OfficeTest::client()
{
    GetWordApplication();
    return *static_cast<LibreOfficeClient *>(CurrentWordProcessor());
}
