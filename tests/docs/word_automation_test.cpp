// Document production against a real headless LibreOffice: the four formats,
// the replacement semantics, the wait for the operator, and every bad input
// ending in its message box with nothing left running.
#include "office_fixture.h"

#include "common/app_title.h"
#include "common/errors.h"
#include "common/file_utils.h"
#include "common/message_box_presenter.h"
#include "common/wait_form.h"
#include "docs/word_automation.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <csignal>

namespace {

const QString kProductionError = QStringLiteral("Ошибка создания отчета!\rТест ошибки:\r");

TWaitForm *OpenWaitForm()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *form = qobject_cast<TWaitForm *>(widget); form && form->isVisible())
            return form;
    return nullptr;
}

// Closes every document open at path, as the operator closing its window would.
void CloseDocumentsAt(WordProcessor &word, const QString &path)
{
    for (WordProcessor::DocumentId document : word.DocumentsAt(path))
        word.CloseDocument(document);
}

TaReplace StandardPairs(bool shortDateFirst)
{
    TaReplace list{
        {QStringLiteral("&ФИО"), QStringLiteral("Иванов Иван")},
        {QStringLiteral("&Фамилия"), QStringLiteral("Петров")},
        {QStringLiteral("&Должность"), QStringLiteral("Инженер")},
        {QStringLiteral("&Организация"), QStringLiteral("ООО \"Сыр & <Масло>\" 'а' \\n {x} $1 ^p")},
        {QStringLiteral("&Город"), QStringLiteral("Москва")},
        {QStringLiteral("&Спец"), QStringLiteral("a&b <c> \\d {e} \"f\"")},
    };
    const TReplace shortDate{QStringLiteral("&Дата"), QStringLiteral("01.02.2024")};
    const TReplace longDate{QStringLiteral("&ДатаРождения"), QStringLiteral("03.04.1990")};
    if (shortDateFirst)
        list << shortDate << longDate;
    else
        list << longDate << shortDate;
    return list;
}

class FormatTest : public OfficeTest, public ::testing::WithParamInterface<const char *> {};

} // namespace

TEST_P(FormatTest, FillsEveryKindOfMarkerAndKeepsTheFormat)
{
    const QString extension = QString::fromLatin1(GetParam());
    WordProcessor &word = GetWordApplication();
    const QString templatePath =
        MakeDocument(word, templateDir, QStringLiteral("Договор.образец"), extension, StandardTemplateXml());
    ASSERT_EQ(FormatOf(templatePath), extension);

    for (const bool shortDateFirst : {true, false}) {
        SCOPED_TRACE(shortDateFirst ? "Дата first" : "ДатаРождения first");
        const TaReplace list = StandardPairs(shortDateFirst);
        int waits = 0;
        QString waitMessage;
        int progress = -1;
        int progressMaximum = -1;
        SetDocumentWaitHook([&](WordProcessor &w, const QString &path) {
            ++waits;
            EXPECT_TRUE(DocumentWaitActive());
            if (TWaitForm *form = OpenWaitForm()) {
                waitMessage = form->windowTitle() + QLatin1Char('|') + form->message();
                progress = form->progressBar()->value();
                progressMaximum = form->progressBar()->maximum();
            }
            CloseDocumentsAt(w, path);
        });
        ScriptedMessageBoxes boxes;
        QString result;
        FillTemplateCopy(QStringLiteral("  ") + templatePath + QStringLiteral(" "), list, result);

        EXPECT_TRUE(boxes.shown().isEmpty()) << boxes.shown().value(0).text.toStdString();
        ASSERT_EQ(result, GetTempDir() + QStringLiteral("/tmp_Договор.образец.") + extension);
        EXPECT_EQ(waits, 1);
        EXPECT_EQ(waitMessage, QStringLiteral("Ожидайте|") + DisplayText(QStringLiteral("Ищем: ") + list.last().FindText
                                   + QStringLiteral("\rЗаменяем на: ") + list.last().ReplaceText));
        EXPECT_EQ(progress, list.size());
        EXPECT_EQ(progressMaximum, list.size());
        EXPECT_EQ(OpenWaitForm(), nullptr);
        const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup
            | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
        EXPECT_EQ(QFile::permissions(result) & others, QFileDevice::Permissions());
        EXPECT_EQ(FormatOf(result), extension);
        EXPECT_TRUE(word.DocumentsAt(result).isEmpty());

        const QString text = ReadText(word, result);
        for (const char *expected : {"Договор с Иванов Иван, далее Иванов Иван.", "Фамилия: Петров.",
                                     "Должность: Инженер", "Город: Москва",
                                     "Организация: ООО \"Сыр & <Масло>\" 'а' \\n {x} $1 ^p",
                                     "Примечание: a&b <c> \\d {e} \"f\""})
            EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n" << text.toStdString();
        // The pair applied first also takes the start of the longer name.
        const QString dates = shortDateFirst ? QStringLiteral("Родился 01.02.2024Рождения, подписано 01.02.2024.")
                                             : QStringLiteral("Родился 03.04.1990, подписано 01.02.2024.");
        EXPECT_TRUE(text.contains(dates)) << text.toStdString();
        EXPECT_FALSE(text.contains(QLatin1String("&Д"))) << text.toStdString();
    }
}

TEST_P(FormatTest, EmptyListGivesACopyWithTheTemplatesText)
{
    const QString extension = QString::fromLatin1(GetParam());
    WordProcessor &word = GetWordApplication();
    const QString templatePath =
        MakeDocument(word, templateDir, QStringLiteral("Akt.new"), extension, StandardTemplateXml());
    int waits = 0;
    SetDocumentWaitHook([&](WordProcessor &w, const QString &path) {
        ++waits;
        CloseDocumentsAt(w, path);
    });
    ScriptedMessageBoxes boxes;
    QString result;
    FillTemplateCopy(templatePath, {}, result);

    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(result, GetTempDir() + QStringLiteral("/tmp_Akt.new.") + extension);
    EXPECT_EQ(waits, 1);
    EXPECT_EQ(FormatOf(result), extension);
    EXPECT_EQ(ReadText(word, result), ReadText(word, templatePath));
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatTest, ::testing::Values("doc", "rtf", "docx", "odt"));

using WordAutomationTest = OfficeTest;

TEST_F(WordAutomationTest, BadTemplatesEndInTheProductionBoxWithNothingLeftRunning)
{
    QByteArray randomBytes(20000, '\0');
    for (int i = 0; i < randomBytes.size(); ++i)
        randomBytes[i] = static_cast<char>((i * 7919 + 13) % 251);
    // A zip that claims to be a Word 2007 document but holds no valid parts.
    const QByteArray brokenPackage = QByteArray("PK\x03\x04", 4) + QByteArray(400, 'x');
    // A real Word 2007 document with one byte of its main part damaged.
    WordProcessor &word = GetWordApplication();
    QFile made(MakeDocument(word, templateDir, QStringLiteral("made"), QStringLiteral("docx"), StandardTemplateXml()));
    ASSERT_TRUE(made.open(QIODevice::ReadOnly));
    QByteArray damaged = made.readAll();
    const qsizetype part = damaged.indexOf("word/document.xml");
    ASSERT_GT(part, 0);
    damaged[part + 40] = static_cast<char>(damaged[part + 40] ^ 0x5A);
    const struct {
        const char *name;
        QByteArray content;
        const char *reason;
    } cases[] = {
        {"random.doc", randomBytes, "Файл не является документом текстового процессора:\r"},
        {"random.docx", randomBytes, "Файл не является документом текстового процессора:\r"},
        {"broken.docx", brokenPackage, "Файл не является документом текстового процессора:\r"},
        {"damaged.docx", damaged, "LibreOffice Writer не смог открыть файл\r"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = templateDir + QLatin1Char('/') + QString::fromLatin1(c.name);
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(c.content);
        file.close();

        LibreOfficeClient &office = client();
        const qint64 pid = office.OfficeProcessId();
        ASSERT_TRUE(ProcessAlive(pid));
        bool waited = false;
        SetDocumentWaitHook([&](WordProcessor &, const QString &) { waited = true; });
        ScriptedMessageBoxes boxes;
        QString result;
        FillTemplateCopy(path, {{QStringLiteral("&А"), QStringLiteral("Б")}}, result);

        EXPECT_TRUE(result.isEmpty());
        EXPECT_FALSE(waited);
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(kProductionError)) << boxes.shown()[0].text.toStdString();
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(kProductionError + QString::fromUtf8(c.reason)))
            << boxes.shown()[0].text.toStdString();
        EXPECT_GT(boxes.shown()[0].text.size(), kProductionError.size());
        EXPECT_EQ(boxes.shown()[0].caption, ApplicationTitle());
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::NoIcon);
        EXPECT_EQ(OpenWaitForm(), nullptr);
        // Ormena started the office for this run and nothing else is open in it.
        EXPECT_FALSE(ProcessAlive(pid));
        EXPECT_FALSE(CurrentWordProcessor()->IsConnected());
    }
}

TEST_F(WordAutomationTest, OfficeThatDiesOrHangsDuringARunIsReportedAndGone)
{
    QStringList paragraphs;
    TaReplace list;
    for (int i = 1; i <= 60; ++i) {
        paragraphs << QStringLiteral("Поле &amp;Поле%1 конец").arg(i, 2, 10, QLatin1Char('0'));
        list.append({QStringLiteral("&Поле%1").arg(i, 2, 10, QLatin1Char('0')), QStringLiteral("значение %1").arg(i)});
    }
    const QString templatePath = MakeDocument(GetWordApplication(), templateDir, QStringLiteral("Длинный"),
                                              QStringLiteral("doc"), FlatOdt(paragraphs, QString(), QString()));
    const struct {
        const char *name;
        int signal;
        const char *message;
    } cases[] = {
        {"dies", SIGKILL, "Связь с LibreOffice Writer прервана (замена текста)"},
        {"hangs", SIGSTOP, "LibreOffice Writer не ответил за 3 с (замена текста). Процесс LibreOffice остановлен."},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        LibreOfficeSettings settings = TestOfficeSettings();
        settings.callTimeoutMs = 3000;
        SetLibreOfficeSettings(settings);
        const qint64 pid = client().OfficeProcessId();
        ASSERT_TRUE(ProcessAlive(pid));

        // Strike once the third pair is being applied.
        bool struck = false;
        QTimer striker;
        QObject::connect(&striker, &QTimer::timeout, [&]() {
            TWaitForm *form = OpenWaitForm();
            if (!struck && form && form->progressBar()->value() >= 3) {
                struck = true;
                ::kill(static_cast<pid_t>(pid), c.signal);
            }
        });
        striker.start(1);
        ScriptedMessageBoxes boxes;
        QElapsedTimer elapsed;
        elapsed.start();
        QString result;
        FillTemplateCopy(templatePath, list, result);
        striker.stop();

        EXPECT_TRUE(struck);
        EXPECT_LT(elapsed.elapsed(), 30000);
        EXPECT_TRUE(result.isEmpty());
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(kProductionError + QString::fromUtf8(c.message)))
            << boxes.shown()[0].text.toStdString();
        EXPECT_FALSE(ProcessAlive(pid));
        EXPECT_EQ(OpenWaitForm(), nullptr);

        // The next run starts a fresh office.
        SetDocumentWaitHook([](WordProcessor &w, const QString &path) { CloseDocumentsAt(w, path); });
        FillTemplateCopy(templatePath, list.mid(0, 2), result);
        EXPECT_EQ(result, WorkingCopyPath(templatePath));
        EXPECT_EQ(boxes.shown().size(), 1);
        SetDocumentWaitHook(nullptr);
    }
}

TEST_F(WordAutomationTest, WorkingCopyThatCannotBeReplacedEndsInTheCopyError)
{
    const QString templatePath =
        MakeDocument(GetWordApplication(), templateDir, QStringLiteral("Занят"), QStringLiteral("rtf"),
                     FlatOdt({QStringLiteral("Текст")}, QString(), QString()));
    // Something that is no file stands where the working copy goes.
    const QString copy = WorkingCopyPath(templatePath);
    ASSERT_TRUE(QDir().mkpath(copy + QStringLiteral("/inside")));
    const qint64 pid = client().OfficeProcessId();

    // The operator presses the retry window's cancel button once.
    bool pressed = false;
    QTimer canceller;
    QObject::connect(&canceller, &QTimer::timeout, [&]() {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (auto *form = qobject_cast<TWaitForm *>(widget);
                !pressed && form && form->cancelButton()->isVisible()) {
                pressed = true;
                form->cancelButton()->click();
                return;
            }
    });
    canceller.start(20);
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::Yes); // "Прервать операцию?"
    QString result;
    FillTemplateCopy(templatePath, {{QStringLiteral("Текст"), QStringLiteral("Другой")}}, result);
    canceller.stop();

    EXPECT_TRUE(result.isEmpty());
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Прервать операцию?"));
    EXPECT_EQ(boxes.shown()[1].text, kProductionError + QStringLiteral("Ошибка копирования шаблона документа!"));
    EXPECT_TRUE(QFileInfo(copy).isDir());
    EXPECT_FALSE(ProcessAlive(pid));
}

TEST_F(WordAutomationTest, FailuresBeforeTheWaitWindowPassToTheCaller)
{
    const QString templatePath = templateDir + QStringLiteral("/Есть.doc");
    QFile file(templatePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("x");
    file.close();

    {
        SCOPED_TRACE("office missing");
        LibreOfficeSettings settings = TestOfficeSettings();
        settings.programDir = workspace->file(QStringLiteral("no-office"));
        SetLibreOfficeSettings(settings);
        ScriptedMessageBoxes boxes;
        QString result = QStringLiteral("old");
        try {
            FillTemplateCopy(templatePath, {}, result);
            ADD_FAILURE() << "no failure";
        } catch (const OrmenaError &e) {
            EXPECT_EQ(e.message(), QStringLiteral("Не могу запустить LibreOffice Writer.\rПопробуйте повторить попытку..."));
        }
        EXPECT_TRUE(result.isEmpty());
        EXPECT_TRUE(boxes.shown().isEmpty());
        EXPECT_FALSE(QFileInfo::exists(WorkingCopyPath(templatePath)));
        EXPECT_FALSE(static_cast<LibreOfficeClient *>(CurrentWordProcessor())->StartedOffice());
    }
    {
        SCOPED_TRACE("template missing, no alias registry");
        SetLibreOfficeSettings(TestOfficeSettings());
        ScriptedMessageBoxes boxes;
        QString result;
        try {
            FillTemplateCopy(templateDir + QStringLiteral("/Нет.doc"), {}, result);
            ADD_FAILURE() << "no failure";
        } catch (const OrmenaError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не найден алиас базы данных <FASTREP> для приложения\r")))
                << e.message().toStdString();
        }
        EXPECT_TRUE(boxes.shown().isEmpty());
        // Nothing was started for it.
        EXPECT_EQ(CurrentWordProcessor(), nullptr);
    }
}

TEST_F(WordAutomationTest, CreateWordDocumentMakesAnEmptyWord97File)
{
    const qint64 pid = client().OfficeProcessId();
    ScriptedMessageBoxes boxes;
    const QString path = templateDir + QStringLiteral("/Новый.doc");
    EXPECT_TRUE(CreateWordDocument(path));
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(FormatOf(path), QStringLiteral("doc"));
    // Quit ended the office: it held nothing else.
    EXPECT_FALSE(ProcessAlive(pid));
    EXPECT_TRUE(ReadText(GetWordApplication(), path).trimmed().isEmpty());

    // A folder that cannot exist: a file stands where it would be.
    const QString bad = path + QStringLiteral("/Новый.doc");
    EXPECT_FALSE(CreateWordDocument(bad));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::NoIcon);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Ошибка создания документа LibreOffice Writer\r") + bad
                                                 + QStringLiteral("\rТекст ошибки:\r")))
        << boxes.shown()[0].text.toStdString();
    // The office stays up, without the document that could not be saved.
    ASSERT_TRUE(CurrentWordProcessor()->IsConnected());
    EXPECT_TRUE(client().OfficeProcessId() > 0);
    EXPECT_EQ(OpenWaitForm(), nullptr);
}

TEST_F(WordAutomationTest, OpenWordDocumentWaitsUntilTheDocumentIsClosed)
{
    WordProcessor &word = GetWordApplication();
    const QString path = MakeDocument(word, templateDir, QStringLiteral("Открыть"), QStringLiteral("odt"),
                                      FlatOdt({QStringLiteral("Текст")}, QString(), QString()));
    QString shownWait;
    QElapsedTimer elapsed;
    SetDocumentWaitHook([&](WordProcessor &w, const QString &hookPath) {
        if (TWaitForm *form = OpenWaitForm())
            shownWait = form->windowTitle() + QLatin1Char('|') + form->message();
        EXPECT_EQ(w.DocumentsAt(hookPath).size(), 1);
        // The operator closes the document a moment later.
        QTimer::singleShot(700, [&w, hookPath]() { CloseDocumentsAt(w, hookPath); });
    });
    ScriptedMessageBoxes boxes;
    elapsed.start();
    OpenWordDocument(path);
    EXPECT_GE(elapsed.elapsed(), 700);
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(shownWait, QStringLiteral("Ожидайте!|") + DisplayText(QStringLiteral("Открытие документа\r") + path));
    EXPECT_TRUE(word.DocumentsAt(path).isEmpty());

    // A file the office cannot read: the box, and no hidden document left behind.
    const QString junk = templateDir + QStringLiteral("/мусор.doc");
    QFile file(junk);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(3000, '\x01'));
    file.close();
    OpenWordDocument(junk);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ошибка!"));
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Ошибка открытия документа\r") + junk
                                                 + QStringLiteral("\rТекст ошибки:\r")));
    EXPECT_TRUE(word.DocumentsAt(junk).isEmpty());
}

TEST_F(WordAutomationTest, WaitForDocumentWindowReturnsAtOnceWhenNothingIsOpen)
{
    GetWordApplication();
    bool hooked = false;
    SetDocumentWaitHook([&](WordProcessor &, const QString &) { hooked = true; });
    WaitForDocumentWindow(templateDir + QStringLiteral("/nothing.doc"));
    EXPECT_FALSE(hooked);
    EXPECT_FALSE(DocumentWaitActive());
}

TEST_F(WordAutomationTest, WaitEndsWhenTheOfficeIsClosed)
{
    WordProcessor &word = GetWordApplication();
    const QString path = MakeDocument(word, templateDir, QStringLiteral("Офис"), QStringLiteral("odt"),
                                      FlatOdt({QStringLiteral("Текст")}, QString(), QString()));
    const qint64 pid = client().OfficeProcessId();
    word.OpenDocument(path);
    // The operator quits the whole office instead of closing the document.
    SetDocumentWaitHook([pid](WordProcessor &, const QString &) { ::kill(static_cast<pid_t>(pid), SIGTERM); });
    QElapsedTimer elapsed;
    elapsed.start();
    WaitForDocumentWindow(path);
    EXPECT_LT(elapsed.elapsed(), 20000);
    EXPECT_FALSE(word.IsConnected());
}
