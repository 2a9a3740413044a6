// The LibreOffice client's own promises: it attaches to an office already on
// its pipe, ends only an office that holds nothing of anyone else's, keeps the
// format a file was read in when saving over it, and reaches every part of a
// document with one replace-all.
#include "office_fixture.h"

#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "docs/word_automation.h"

#include <QFile>

using LibreOfficeClientTest = OfficeTest;

TEST_F(LibreOfficeClientTest, EndsOnlyAnOfficeThatHoldsNothingElse)
{
    const QString path = templateDir + QStringLiteral("/Чужой.rtf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi Text}");
    file.close();

    auto first = std::make_unique<LibreOfficeClient>(TestOfficeSettings());
    first->Connect();
    ASSERT_TRUE(first->StartedOffice());
    const qint64 pid = first->OfficeProcessId();
    const WordProcessor::DocumentId document = first->OpenDocument(path);
    first->ShowDocument(document); // the operator works on it

    {
        LibreOfficeClient second(TestOfficeSettings());
        second.Connect();
        EXPECT_FALSE(second.StartedOffice());
        EXPECT_EQ(second.DocumentsAt(path).size(), 1);
        second.Quit(); // holds a document the second client did not open
        EXPECT_TRUE(ProcessAlive(pid));
    }
    EXPECT_TRUE(ProcessAlive(pid));
    EXPECT_EQ(first->DocumentsAt(path).size(), 1);

    // At program end a shown document stays with the operator, and so does the office.
    first.reset();
    EXPECT_TRUE(ProcessAlive(pid));

    // Once the operator has closed it, the next client ends the office it attached to.
    {
        LibreOfficeClient third(TestOfficeSettings());
        third.Connect();
        for (WordProcessor::DocumentId id : third.DocumentsAt(path))
            third.CloseDocument(id);
    }
    EXPECT_TRUE(ProcessGone(pid));
}

TEST_F(LibreOfficeClientTest, SavingOverAFileKeepsTheFormatItWasReadIn)
{
    // Word users often keep RTF under a .doc name; the produced copy stays RTF.
    const QString path = templateDir + QStringLiteral("/rtf_inside.doc");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("{\\rtf1\\ansi\\ansicpg1251 {\\b &\\'c8\\'ec\\'ff} end}");
    file.close();
    SetDocumentWaitHook([](WordProcessor &word, const QString &document) {
        for (WordProcessor::DocumentId id : word.DocumentsAt(document))
            word.CloseDocument(id);
    });
    ScriptedMessageBoxes boxes;
    QString result;
    FillTemplateCopy(path, {{QStringLiteral("&имя"), QStringLiteral("Пётр")}}, result);
    ASSERT_FALSE(result.isEmpty());
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(FormatOf(result), QStringLiteral("rtf"));
    EXPECT_TRUE(ReadText(GetWordApplication(), result).contains(QStringLiteral("Пётр end")));
}

TEST_F(LibreOfficeClientTest, OperationsOnAGoneOfficeFailWithAMessage)
{
    LibreOfficeClient &office = client();
    const QString path = MakeDocument(office, templateDir, QStringLiteral("Ушёл"), QStringLiteral("odt"),
                                      FlatOdt({QStringLiteral("Текст")}, QString(), QString()));
    const WordProcessor::DocumentId document = office.OpenDocument(path);
    const qint64 pid = office.OfficeProcessId();
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), SIGKILL), 0);
    try {
        office.ReplaceAll(document, QStringLiteral("Текст"), QStringLiteral("Другой"));
        ADD_FAILURE() << "no failure";
    } catch (const OrmenaError &e) {
        EXPECT_EQ(e.message(),
                  QStringLiteral("Связь с LibreOffice Writer прервана (замена текста): LibreOffice не работает."));
    }
    EXPECT_FALSE(office.IsConnected());
    EXPECT_THROW(office.ReplaceAll(document, QStringLiteral("a"), QStringLiteral("b")), OrmenaError);
    // Connecting again starts a new office.
    office.Connect();
    EXPECT_TRUE(office.IsConnected());
    EXPECT_NE(office.OfficeProcessId(), pid);
    EXPECT_TRUE(ReadText(office, path).contains(QStringLiteral("Текст")));
}
