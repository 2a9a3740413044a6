// The templates window driven as the operator drives it: keys and clicks on a
// shown window over a real database file, the empty-template creation through
// the real LibreOffice Writer, and the file-open dialog scripted.
#include "reference_windows_fixture.h"

#include "docs/word_automation.h"
#include "docs/word_processor.h"
#include "ui/create_template_dialog.h"
#include "ui/db_edit.h"
#include "ui/db_grid.h"
#include "ui/templates_window.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <optional>

namespace {

class TemplatesWindowTest : public ReferenceWindowsTest {
protected:
    void SetUp() override
    {
        ReferenceWindowsTest::SetUp();
        sql(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES (?, ?), (?, ?), (?, ?)"),
            {QStringLiteral("Договор поставки"), QStringLiteral("dogovor.rtf"), QStringLiteral("Акт"),
             QStringLiteral("akt.doc"), QStringLiteral("Приказ"), QString()});
        reopen();
        window = std::make_unique<TfShablon>(data.get());
    }
    void TearDown() override
    {
        window.reset();
        ReferenceWindowsTest::TearDown();
    }

    QStringList templates() { return rows(QStringLiteral("SELECT Name, Shablon FROM Shablon ORDER BY Id")); }
    QString currentName() const { return data->Shablon->AsString(QStringLiteral("Name")); }
    void locate(const QString &name) { ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Name"), name)); }

    // Runs "Создать пустой шаблон документа"; in the sub-form the proposed name
    // is recorded, typed over when typed is not null, and the form is left with
    // OK or "Отмена".
    QString createTemplate(const QString *typed, bool ok)
    {
        QString proposed;
        whileModal(
            "TfCreateShablon",
            [&](QWidget *modal) {
                auto *form = static_cast<TfCreateShablon *>(modal);
                proposed = form->EditFileName->text();
                if (typed) {
                    form->EditFileName->selectAll();
                    typeText(form->EditFileName, *typed);
                }
                QTest::mouseClick(ok ? form->btnOk : form->btnCancel, Qt::LeftButton);
            },
            [&] { window->actCreateShablon->trigger(); });
        return proposed;
    }

    std::unique_ptr<TfShablon> window;
};

QByteArray FileBytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool IsWordDocument(const QString &path)
{
    QFile file(path);
    // A Word 97 file is an OLE compound file.
    return file.open(QIODevice::ReadOnly) && file.read(4) == QByteArray::fromHex("d0cf11e0");
}

TEST_F(TemplatesWindowTest, ProposedFileNameIsTheTemplateNameWithoutQuotesApostrophesAndBlanks)
{
    const struct {
        QString name;
        QString proposed;
    } cases[] = {
        {QStringLiteral("Договор поставки"), QStringLiteral("Договорпоставки")},
        {QStringLiteral("  \"Акт\" 'приёма'  работ "), QStringLiteral("Актприёмаработ")},
        {QStringLiteral("Akt.rtf"), QStringLiteral("Akt.rtf")},
    };
    for (const auto &c : cases) {
        sql(QStringLiteral("UPDATE Shablon SET Name=? WHERE Id=1"), {c.name});
        reopen();
        locate(c.name);
        ScriptedMessageBoxes boxes;
        EXPECT_EQ(createTemplate(nullptr, false), c.proposed) << c.name.toStdString();
        EXPECT_TRUE(boxes.shown().isEmpty());
        EXPECT_TRUE(QDir(ws.file(QStringLiteral("Shablon"))).isEmpty());
    }
}

TEST_F(TemplatesWindowTest, EmptyTemplateIsCreatedAsDocUnderTheCleanedName)
{
    const struct {
        QString current;
        std::optional<QString> typed;
        QString file;
    } cases[] = {
        {QStringLiteral("Договор поставки"), std::nullopt, QStringLiteral("Договорпоставки.doc")},
        {QStringLiteral("Акт"), QStringLiteral("Akt.rtf"), QStringLiteral("Akt.doc")},
        {QStringLiteral("Акт"), QStringLiteral(" 'Акт  сверки' "), QStringLiteral("Актсверки.doc")},
    };
    for (const auto &c : cases) {
        locate(c.current);
        ScriptedMessageBoxes boxes;
        createTemplate(c.typed ? &*c.typed : nullptr, true);
        const QString path = ws.file(QStringLiteral("Shablon/") + c.file);
        EXPECT_TRUE(IsWordDocument(path)) << path.toStdString();
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Шаблон - ") + c.file + QStringLiteral("\rУспешно создан!"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Сообщение."));
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::NoIcon);
    }
    // The new file is not entered into the template row.
    EXPECT_EQ(templates()[0], QStringLiteral("Договор поставки|dogovor.rtf"));
}

TEST_F(TemplatesWindowTest, ExistingFileIsOverwrittenOnlyAfterYes)
{
    const QString path = ws.file(QStringLiteral("Shablon/Akt.doc"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    const QString typed = QStringLiteral("Akt");
    {
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::No);
        createTemplate(&typed, true);
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].text,
                  QStringLiteral("Шаблон документа с именем\rAkt.doc\rУже существует!\r\rПереписать?"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Предупреждение!"));
        EXPECT_EQ(FileBytesOf(path), QByteArray("keep me"));
    }
    {
        ScriptedMessageBoxes boxes;
        boxes.setNextAnswer(QMessageBox::Yes);
        createTemplate(&typed, true);
        ASSERT_EQ(boxes.shown().size(), 2);
        EXPECT_EQ(boxes.shown()[1].text, QStringLiteral("Шаблон - Akt.doc\rУспешно создан!"));
        EXPECT_TRUE(IsWordDocument(path));
    }
}

TEST_F(TemplatesWindowTest, FileNameThatLeavesTheTemplateFolderOrIsEmptyIsRefused)
{
    for (const QString &typed : {QStringLiteral("../../evil"), QStringLiteral("a/b"), QStringLiteral("  ' \" "),
                                QStringLiteral(".rtf")}) {
        ScriptedMessageBoxes boxes;
        createTemplate(&typed, true);
        ASSERT_EQ(boxes.shown().size(), 1) << typed.toStdString();
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Предупреждение!"));
        EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Недопустимое имя файла шаблона")));
        EXPECT_TRUE(QDir(ws.file(QStringLiteral("Shablon"))).isEmpty());
        EXPECT_FALSE(QFileInfo::exists(ws.file(QStringLiteral("evil.doc"))));
    }
}

TEST_F(TemplatesWindowTest, AddedRowIsSavedWhenTheFocusLeavesThePanelAndBecomesCurrent)
{
    showActive(window.get());
    ASSERT_TRUE(window->Grid->hasFocus());
    EXPECT_FALSE(window->PanelEdit->isEnabled());

    QTest::keyClick(window->Grid, Qt::Key_F5);
    ASSERT_TRUE(window->PanelEdit->isEnabled());
    ASSERT_TRUE(window->EditName->hasFocus());
    EXPECT_EQ(data->Shablon->State(), dsInsert);
    typeText(window->EditName, QStringLiteral("Б-счёт"));
    QTest::keyClick(window->EditName, Qt::Key_Return); // Enter moves on as Tab does
    ASSERT_TRUE(window->EditShablon->hasFocus());
    typeText(window->EditShablon, QStringLiteral("schet.doc"));
    QTest::keyClick(window->EditShablon, Qt::Key_Return); // leaves the panel

    EXPECT_EQ(data->Shablon->State(), dsBrowse);
    EXPECT_FALSE(window->PanelEdit->isEnabled());
    EXPECT_TRUE(window->Grid->hasFocus());
    EXPECT_EQ(templates().last(), QStringLiteral("Б-счёт|schet.doc"));
    // Re-read in name order and positioned on the saved name.
    EXPECT_EQ(currentName(), QStringLiteral("Б-счёт"));
    EXPECT_EQ(data->Shablon->RecNo(), 2);

    // Renaming with F4 re-positions on the new name as well.
    locate(QStringLiteral("Акт"));
    QTest::keyClick(window->Grid, Qt::Key_F4);
    ASSERT_TRUE(window->EditName->hasFocus());
    EXPECT_EQ(data->Shablon->State(), dsEdit);
    window->EditName->selectAll();
    typeText(window->EditName, QStringLiteral("Счёт-фактура"));
    QTest::keyClick(window->EditName, Qt::Key_Tab);
    QTest::keyClick(window->EditShablon, Qt::Key_Tab);
    EXPECT_EQ(currentName(), QStringLiteral("Счёт-фактура"));
    EXPECT_EQ(data->Shablon->RecNo(), 4);
    EXPECT_EQ(templates()[1], QStringLiteral("Счёт-фактура|akt.doc"));
}

TEST_F(TemplatesWindowTest, EscInEitherEditDropsTheAppendedRowOrTheChange)
{
    const QStringList before = templates();
    for (bool inFileEdit : {false, true}) {
        showActive(window.get());
        QTest::keyClick(window->Grid, Qt::Key_F5);
        typeText(window->EditName, QStringLiteral("Лишний"));
        QLineEdit *edit = window->EditName;
        if (inFileEdit) {
            QTest::keyClick(window->EditName, Qt::Key_Return);
            edit = window->EditShablon;
            typeText(edit, QStringLiteral("x.doc"));
        }
        EXPECT_EQ(data->Shablon->RecordCount(), 4);
        QTest::keyClick(edit, Qt::Key_Escape);
        EXPECT_EQ(data->Shablon->State(), dsBrowse);
        EXPECT_EQ(data->Shablon->RecordCount(), 3);
        EXPECT_FALSE(window->PanelEdit->isEnabled());
        EXPECT_TRUE(window->Grid->hasFocus());
        EXPECT_TRUE(window->isVisible()) << "Esc in the panel must not close the window";
    }
    locate(QStringLiteral("Приказ"));
    QTest::keyClick(window->Grid, Qt::Key_F4);
    typeText(window->EditName, QStringLiteral(" изменён"));
    QTest::keyClick(window->EditName, Qt::Key_Escape);
    EXPECT_EQ(currentName(), QStringLiteral("Приказ"));
    EXPECT_EQ(templates(), before);
}

TEST_F(TemplatesWindowTest, DuplicateNameShowsTheDatabaseErrorAndKeepsThePanel)
{
    const QStringList before = templates();
    ScriptedMessageBoxes boxes;
    showActive(window.get());
    QTest::keyClick(window->Grid, Qt::Key_F5);
    typeText(window->EditName, QStringLiteral("акт")); // names compare without regard to case
    QTest::mouseClick(window->Grid->viewport(), Qt::LeftButton, {}, QPoint(20, 30));

    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ormena"));
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(boxes.shown()[0].text.isEmpty());
    EXPECT_EQ(data->Shablon->State(), dsInsert);
    EXPECT_TRUE(window->PanelEdit->isEnabled());
    EXPECT_TRUE(window->EditName->hasFocus());
    EXPECT_EQ(window->EditName->text(), QStringLiteral("акт"));
    EXPECT_EQ(templates(), before);

    // OK cannot close the window over the refused row.
    QTest::mouseClick(window->bbOk, Qt::LeftButton);
    EXPECT_EQ(boxes.shown().size(), 3); // the refusal again: leaving the panel, then closing
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(data->Shablon->State(), dsInsert);

    // A corrected name is saved.
    window->EditName->setFocus();
    typeText(window->EditName, QStringLiteral(" сверки"));
    QTest::keyClick(window->EditName, Qt::Key_Tab);
    QTest::keyClick(window->EditShablon, Qt::Key_Tab);
    EXPECT_EQ(data->Shablon->State(), dsBrowse);
    EXPECT_EQ(currentName(), QStringLiteral("акт сверки"));
    EXPECT_EQ(templates().size(), 4);
    EXPECT_EQ(boxes.shown().size(), 3);
}

TEST_F(TemplatesWindowTest, EnterOrDoubleClickInTheGridClosesWithOk)
{
    for (bool doubleClick : {false, true}) {
        SCOPED_TRACE(doubleClick ? "double click" : "Enter");
        showActive(window.get());
        window->setResult(QDialog::Rejected);
        if (doubleClick) {
            const QRect cell = window->Grid->visualRect(window->Grid->model()->index(1, 0));
            // As a real mouse sends it: press and release, then the second press as a double click.
            QTest::mouseClick(window->Grid->viewport(), Qt::LeftButton, {}, cell.center());
            QTest::mouseDClick(window->Grid->viewport(), Qt::LeftButton, {}, cell.center());
        } else {
            QTest::keyClick(window->Grid, Qt::Key_Return);
        }
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(window->result(), QDialog::Accepted);
    }
}

TEST_F(TemplatesWindowTest, EllipsisButtonStoresOnlyTheChosenFileName)
{
    TfShablon::OpenDialogRequest asked;
    QString answer = QStringLiteral("/elsewhere/Договор поставки.rtf");
    window->OpenDialog = [&](QWidget *, const TfShablon::OpenDialogRequest &request) {
        asked = request;
        return answer;
    };
    showActive(window.get());
    locate(QStringLiteral("Договор поставки"));
    QTest::keyClick(window->Grid, Qt::Key_F4);
    window->EditShablon->setFocus();
    window->EditShablon->setText(QStringLiteral("  dogovor.rtf "));
    window->EditShablonButton->trigger();

    EXPECT_EQ(asked.title, QStringLiteral("Выбор шаблона документа"));
    EXPECT_EQ(QFileInfo(asked.initialDir).absoluteFilePath(), QFileInfo(ws.file(QStringLiteral("Shablon"))).absoluteFilePath());
    EXPECT_EQ(asked.filter, QStringLiteral("Документ LibreOffice Writer (*.doc *.rtf *.docx *.odt)"));
    EXPECT_EQ(asked.fileName, QStringLiteral("dogovor.rtf"));
    EXPECT_EQ(window->EditShablon->text(), QStringLiteral("Договор поставки.rtf"));

    // Cancelling the dialog changes nothing.
    answer.clear();
    window->EditShablonButton->trigger();
    EXPECT_EQ(window->EditShablon->text(), QStringLiteral("Договор поставки.rtf"));

    QTest::keyClick(window->EditShablon, Qt::Key_Return);
    EXPECT_EQ(templates()[0], QStringLiteral("Договор поставки|Договор поставки.rtf"));

    // The file lies outside the template folder: opening the template says where it was looked for.
    ScriptedMessageBoxes boxes;
    window->actShowShablon->trigger();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Шаблон документа отсутствует по указанному пути\r")
                                         + data->TemplateDir + QStringLiteral("/Договор поставки.rtf."));
}

TEST_F(TemplatesWindowTest, TemplateWithoutFileNameCannotBeOpened)
{
    locate(QStringLiteral("Приказ"));
    ScriptedMessageBoxes boxes;
    window->actShowShablon->trigger();
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Не указан файл шаблона для выбранного документа."));
}

TEST_F(TemplatesWindowTest, TemplateIsOpenedInTheWordProcessorUntilTheOperatorClosesIt)
{
    const QString path = ws.file(QStringLiteral("Shablon/akt.doc"));
    {
        ScriptedMessageBoxes boxes;
        ASSERT_TRUE(CreateWordDocument(path));
    }
    QStringList waitedFor;
    SetDocumentWaitHook([&](WordProcessor &word, const QString &document) {
        waitedFor.append(document);
        // The operator closes the document.
        for (WordProcessor::DocumentId id : word.DocumentsAt(document))
            word.CloseDocument(id);
    });
    locate(QStringLiteral("Акт"));
    ScriptedMessageBoxes boxes;
    window->actShowShablon->trigger();
    SetDocumentWaitHook(nullptr);
    EXPECT_TRUE(boxes.shown().isEmpty()) << (boxes.shown().isEmpty() ? "" : boxes.shown()[0].text.toStdString());
    EXPECT_EQ(waitedFor, QStringList{path});
}

TEST_F(TemplatesWindowTest, TemplateFieldsButtonRunsTheMainWindowAction)
{
    QAction fields(QStringLiteral("Справочник полей для документа..."));
    int triggered = 0;
    QObject::connect(&fields, &QAction::triggered, [&] { ++triggered; });
    EXPECT_TRUE(window->btnShablonFld->isHidden());
    window->SetShablonFldAction(&fields);
    showActive(window.get());
    EXPECT_TRUE(window->btnShablonFld->isVisible());
    EXPECT_EQ(window->btnShablonFld->text(), fields.text());
    QTest::mouseClick(window->btnShablonFld, Qt::LeftButton);
    EXPECT_EQ(triggered, 1);
}

} // namespace
