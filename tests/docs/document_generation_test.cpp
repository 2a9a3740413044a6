// Producing documents end to end with the real office: the data module on a
// real database, a template in the template folder, the three-way question
// answered by script, and the produced file read back through the office.
#include "common/errors.h"
#include "common/message_box_presenter.h"
#include "common/msg_component.h"
#include "db/check_database.h"
#include "db/data_module.h"
#include "docs/document_generation.h"
#include "docs/word_automation.h"
#include "office_fixture.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace {

// RTF keeps non-ASCII letters as \uN? escapes.
QByteArray RtfText(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        if (c.unicode() < 128)
            out += c.toLatin1();
        else
            out += "\\u" + QByteArray::number(static_cast<short>(c.unicode())) + "?";
    }
    return out;
}

class DocumentGenerationTest : public OfficeTest {
protected:
    void SetUp() override
    {
        OfficeTest::SetUp();
        const QString folder = templateDir;
        QFile rtf(folder + QStringLiteral("/dogovor.rtf"));
        ASSERT_TRUE(rtf.open(QIODevice::WriteOnly));
        rtf.write("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Times New Roman;}}\\f0 "
                  + RtfText(QStringLiteral("Договор с &ФИО, паспорт &ПАСПОРТ, адрес &АДРЕС.")) + "\\par}");
        rtf.close();

        CheckDatabase();
        data = std::make_unique<TfData>();
        data->ProgramDir = workspace->path();
        data->TemplateDir = folder;
        data->TempDocPath = workspace->file(QStringLiteral("tmp.doc"));
        ScriptedMessageBoxes quiet;
        data->OpenDatabase(false);
        sql(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES ('Договор', 'dogovor.rtf')"));
        sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (1, 1, 'Иванов'), (1, 2, 'Пустой')"));
        sql(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isSecure) VALUES "
                           "(4, 'ФИО', 'Фамилия', 0), (5, 'ПАСПОРТ', 'Паспорт', 1), (6, 'АДРЕС', 'Адрес', 0)"));
        sql(QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Npp, Value_) "
                           "SELECT 1, 1, Id, Npp, CASE Name WHEN 'ФИО' THEN ' Иванов И. И. ' "
                           "WHEN 'ПАСПОРТ' THEN '4500 123456' ELSE '   ' END FROM SprField WHERE Npp >= 4"));
        data->Con->close();
        data->OpenDatabase(false);
        ASSERT_TRUE(quiet.shown().isEmpty());
        data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Иванов"));

        msg.OnYesClick = [this](QObject *) { msgAnswer = 2; };
        msg.OnNoClick = [this](QObject *) { msgAnswer = 3; };
        msg.OnCancelClick = [this](QObject *) { msgAnswer = 5; };
        // The operator closes every document as soon as it is shown.
        SetDocumentWaitHook([this](WordProcessor &word, const QString &path) {
            shownPaths << path;
            if (operatorEdits)
                for (auto id : word.DocumentsAt(path)) {
                    word.ReplaceAll(id, QStringLiteral("Договор"), QStringLiteral("Правка"));
                    word.SaveAs(id, path);
                }
            for (auto id : word.DocumentsAt(path))
                word.CloseDocument(id);
        });
    }
    void TearDown() override
    {
        data.reset();
        OfficeTest::TearDown();
    }

    void sql(const QString &statement) { data->Con->prepare(statement)->exec(); }
    QString producedText(const QString &path)
    {
        WordProcessor &word = GetWordApplication();
        const auto id = word.OpenDocument(path);
        const QString text = word.DocumentText(id);
        word.CloseDocument(id);
        return text;
    }
    QByteArray storedDoc()
    {
        auto q = data->Con->prepare(QStringLiteral("SELECT Doc FROM Fio WHERE Name='Иванов'"));
        return q->next() ? q->value(0).toByteArray() : QByteArray();
    }
    bool storedDocIsNull()
    {
        auto q = data->Con->prepare(QStringLiteral("SELECT Doc IS NULL FROM Fio WHERE Name='Иванов'"));
        return q->next() && q->value(0).toInt() == 1;
    }

    std::unique_ptr<TfData> data;
    TMSG msg;
    int msgAnswer = 0;
    QStringList shownPaths;
    bool operatorEdits = false;
};

} // namespace

TEST_F(DocumentGenerationTest, ReplaceListBlanksSecretsOnlyOnRequest)
{
    const struct {
        QMessageBox::StandardButton answer;
        QString passport;
    } cases[] = {{QMessageBox::Yes, QStringLiteral(" ")}, {QMessageBox::No, QStringLiteral("4500 123456")}};
    for (const auto &c : cases) {
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(c.answer);
        const TaReplace list = data->BuildReplaceList();
        ASSERT_EQ(list.size(), 3);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Формировать Секретные поля в документе пустыми ?"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Вопрос."));
        EXPECT_EQ(list[0].FindText, QStringLiteral("&ФИО"));
        EXPECT_EQ(list[0].ReplaceText, QStringLiteral("Иванов И. И."));
        EXPECT_EQ(list[1].FindText, QStringLiteral("&ПАСПОРТ"));
        EXPECT_EQ(list[1].ReplaceText, c.passport);
        EXPECT_EQ(list[2].ReplaceText, QStringLiteral(" ")); // blanks only
        EXPECT_EQ(data->FioValue->RecNo(), 1);
    }
}

TEST_F(DocumentGenerationTest, NoValueRowsFailsWithoutAQuestion)
{
    data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Пустой"));
    ScriptedMessageBoxes boxes;
    try {
        CreateDocumentWorkflow(*data, msg, msgAnswer);
        FAIL() << "expected a failure";
    } catch (const OrmenaError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("Формирование документа не возможно\r"
                                                  "нет списка полей данных для выбранного документа!"));
    }
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(DocumentGenerationTest, OptionOffProducesWithoutStoring)
{
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::No); // real secret values
    CreateDocumentWorkflow(*data, msg, msgAnswer);
    ASSERT_EQ(boxes.shown().size(), 1); // only the secret-fields question
    ASSERT_EQ(shownPaths.size(), 1);
    EXPECT_TRUE(data->TempDocPath.endsWith(QStringLiteral("tmp_dogovor.rtf")));
    const QString text = producedText(data->TempDocPath);
    EXPECT_TRUE(text.contains(QStringLiteral("Договор с Иванов И. И., паспорт 4500 123456, адрес  ."))) << text.toStdString();
    EXPECT_TRUE(storedDocIsNull());
    const QFileInfo produced(data->TempDocPath);
    EXPECT_EQ(produced.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
}

TEST_F(DocumentGenerationTest, StoredDocumentQuestion)
{
    data->SaveDocToDb = true;
    {
        // First run: nothing stored yet, no three-way question; the file is stored after close.
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::Yes); // leave secret fields empty
        CreateDocumentWorkflow(*data, msg, msgAnswer);
        EXPECT_EQ(boxes.shown().size(), 1);
        ASSERT_FALSE(storedDoc().isEmpty());
        EXPECT_FALSE(producedText(data->TempDocPath).contains(QStringLiteral("4500")));
    }
    const QByteArray firstStored = storedDoc();
    {
        // Cancel: nothing happens, the answer is reset to 0.
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::Cancel);
        CreateDocumentWorkflow(*data, msg, msgAnswer);
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Что делать ?"));
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Существует уже созданный документ для\rИванов\r\r")));
        EXPECT_EQ(msgAnswer, 0);
    }
    {
        // Yes: the stored file is shown; edits the operator saves never reach the database.
        shownPaths.clear();
        operatorEdits = true;
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::Yes);
        CreateDocumentWorkflow(*data, msg, msgAnswer);
        operatorEdits = false;
        EXPECT_EQ(msgAnswer, 2);
        ASSERT_EQ(shownPaths.size(), 1);
        EXPECT_EQ(storedDoc(), firstStored);
    }
    {
        // No: a new document replaces the stored one once the operator has closed it.
        data->Con->prepare(QStringLiteral("UPDATE FioValue SET Value_='Петров П. П.' WHERE Npp=4"))->exec();
        data->FioValue->Requery();
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::No);
        boxes.setNextAnswer(QMessageBox::No);
        CreateDocumentWorkflow(*data, msg, msgAnswer);
        EXPECT_EQ(msgAnswer, 3);
        EXPECT_NE(storedDoc(), firstStored);
        QFile out(workspace->file(QStringLiteral("check.rtf")));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(storedDoc());
        out.close();
        EXPECT_TRUE(producedText(out.fileName()).contains(QStringLiteral("Петров П. П.")));
    }
}

TEST_F(DocumentGenerationTest, EmptyStoredFileCountsAsNone)
{
    data->SaveDocToDb = true;
    data->Con->prepare(QStringLiteral("UPDATE Fio SET Doc=x'' WHERE Name='Иванов'"))->exec();
    data->Fio->Requery();
    data->Fio->Locate(QStringLiteral("Name"), QStringLiteral("Иванов"));
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::No);
    CreateDocumentWorkflow(*data, msg, msgAnswer);
    ASSERT_EQ(boxes.shown().size(), 1); // no three-way question
    EXPECT_EQ(shownPaths.size(), 1);
    EXPECT_FALSE(storedDoc().isEmpty());
}
