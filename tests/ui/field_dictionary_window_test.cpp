// The field dictionary window driven with keys and clicks over a real database
// file: adding and changing fields through the edit panel, refused duplicates,
// reserved fields, Esc, and the printed dictionary.
#include "reference_windows_fixture.h"

#include "ui/db_check_box.h"
#include "ui/db_edit.h"
#include "ui/db_grid.h"
#include "ui/field_dictionary_window.h"
#include "ui/grid_printer.h"

#include <QApplication>
#include <QFile>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

namespace {

const QString kInputError = QStringLiteral("Ошибка ввода данных!");
const QString kDuplicateText = QStringLiteral("Возникла ошибка при редатировании записи.\r\r"
                                              "Возможно Вы ввели дублирующий порядковы номер или\r"
                                              "дублирующее имя поля");

class FieldDictionaryWindowTest : public ReferenceWindowsTest {
protected:
    void SetUp() override
    {
        ReferenceWindowsTest::SetUp();
        sql(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isEdit, isSecure) VALUES "
                           "(4, 'ФИО', 'Фамилия, имя, отчество', 0, 0), (5, 'ПАСПОРТ', 'Паспорт', 0, 1), "
                           "(6, 'АДРЕС', 'Адрес', 0, 0)"));
        reopen();
        window = std::make_unique<TfSprField>(data.get());
    }
    void TearDown() override
    {
        window.reset();
        ReferenceWindowsTest::TearDown();
    }

    QStringList dictionary()
    {
        return rows(QStringLiteral("SELECT Npp, Name, Skript, isEdit, isSecure FROM SprField ORDER BY Npp"));
    }
    void locate(const QString &name) { ASSERT_TRUE(data->tSprField->Locate(QStringLiteral("Name"), name)); }
    // Types a field into the panel after F5 or F4: number, name, description, and the
    // secret flag toggled with Space when toggle is set; Enter after each.
    void typeField(const QString &npp, const QString &name, const QString &skript, bool toggleSecret)
    {
        for (auto [edit, text] : {std::pair<QLineEdit *, QString>{window->Edit1, npp},
                                  {window->Edit2, name}, {window->Edit3, skript}}) {
            EXPECT_TRUE(edit->hasFocus()) << edit->objectName().toStdString();
            edit->selectAll();
            if (!text.isEmpty())
                typeText(edit, text);
            else
                QTest::keyClick(edit, Qt::Key_Delete);
            QTest::keyClick(edit, Qt::Key_Return);
        }
        EXPECT_TRUE(window->DBCheckBox1->hasFocus());
        if (toggleSecret)
            QTest::keyClick(window->DBCheckBox1, Qt::Key_Space);
    }

    std::unique_ptr<TfSprField> window;
};

TEST_F(FieldDictionaryWindowTest, FieldIsAddedThroughThePanel)
{
    showActive(window.get());
    ScriptedMessageBoxes boxes;
    QTest::keyClick(window->Grid, Qt::Key_F5);
    ASSERT_TRUE(window->PanelEdit->isEnabled());
    ASSERT_TRUE(window->Edit1->hasFocus());
    EXPECT_EQ(data->tSprField->State(), dsInsert);
    EXPECT_TRUE(window->Edit1->text().isEmpty()); // no number is proposed

    typeField(QStringLiteral("7"), QStringLiteral("ДАТА"), QStringLiteral("Дата договора"), true);
    QTest::keyClick(window->DBCheckBox1, Qt::Key_Return); // leaves the panel

    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_EQ(data->tSprField->State(), dsBrowse);
    EXPECT_FALSE(window->PanelEdit->isEnabled());
    EXPECT_TRUE(window->Grid->hasFocus());
    EXPECT_EQ(dictionary().last(), QStringLiteral("7|ДАТА|Дата договора|false|true"));
    // The grid shows the secret flag.
    const int last = data->tSprField->RecordCount() - 1;
    EXPECT_EQ(window->Grid->model()->index(last, 3).data().toString(), QStringLiteral("\u2713"));
}

TEST_F(FieldDictionaryWindowTest, ChangedRowIsReadAgainInNumberOrderAtTheSameRecordNumber)
{
    showActive(window.get());
    locate(QStringLiteral("ФИО"));
    const int recNo = data->tSprField->RecNo();
    QTest::keyClick(window->Grid, Qt::Key_F4);
    ASSERT_EQ(data->tSprField->State(), dsEdit);
    typeField(QStringLiteral("9"), QStringLiteral("ФИО"), QStringLiteral("Полное имя"), false);
    QTest::keyClick(window->DBCheckBox1, Qt::Key_Tab);

    EXPECT_EQ(dictionary().last(), QStringLiteral("9|ФИО|Полное имя|false|false"));
    EXPECT_EQ(data->tSprField->RecNo(), recNo);
    EXPECT_EQ(data->tSprField->AsString(QStringLiteral("Name")), QStringLiteral("ПАСПОРТ"));
}

TEST_F(FieldDictionaryWindowTest, DuplicateNumberOrNameIsRefusedAndTheInputDropped)
{
    const struct {
        const char *what;
        bool edit;
        QString npp;
        QString name;
    } cases[] = {
        {"new field, name taken", false, QStringLiteral("8"), QStringLiteral("паспорт")},
        {"new field, number taken", false, QStringLiteral("5"), QStringLiteral("ИНН")},
        {"new field, reserved name", false, QStringLiteral("8"), QStringLiteral("НД")},
        {"changed field, number taken", true, QStringLiteral("1"), QStringLiteral("ФИО")},
        {"changed field, name taken", true, QStringLiteral("4"), QStringLiteral("АДРЕС")},
    };
    const QStringList before = dictionary();
    showActive(window.get());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        locate(QStringLiteral("ФИО"));
        ScriptedMessageBoxes boxes;
        QTest::keyClick(window->Grid, c.edit ? Qt::Key_F4 : Qt::Key_F5);
        typeField(c.npp, c.name, QStringLiteral("что-то"), false);
        QTest::keyClick(window->DBCheckBox1, Qt::Key_Return);

        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].caption, kInputError);
        EXPECT_EQ(boxes.shown()[0].text, kDuplicateText);
        EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::NoIcon);
        EXPECT_EQ(data->tSprField->State(), dsBrowse);
        EXPECT_EQ(data->tSprField->RecordCount(), before.size());
        EXPECT_FALSE(window->PanelEdit->isEnabled());
        EXPECT_TRUE(window->Grid->hasFocus());
        EXPECT_EQ(dictionary(), before);
    }
}

TEST_F(FieldDictionaryWindowTest, FieldWithoutNumberOrNameIsNotSavedAndStaysForCorrection)
{
    const QStringList before = dictionary();
    showActive(window.get());
    for (const auto &[npp, name, missing] :
         {std::tuple<QString, QString, int>{QString(), QStringLiteral("ИНН"), 1},
          std::tuple<QString, QString, int>{QStringLiteral("8"), QStringLiteral("   "), 2}}) {
        ScriptedMessageBoxes boxes;
        QTest::keyClick(window->Grid, Qt::Key_F5);
        typeField(npp, name, QStringLiteral("Налоговый номер"), false);
        QTest::keyClick(window->DBCheckBox1, Qt::Key_Return);

        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].caption, kInputError);
        EXPECT_EQ(data->tSprField->State(), dsInsert);
        EXPECT_TRUE(window->PanelEdit->isEnabled());
        EXPECT_TRUE((missing == 1 ? window->Edit1 : window->Edit2)->hasFocus());
        EXPECT_EQ(window->Edit3->text(), QStringLiteral("Налоговый номер")); // nothing typed is lost
        EXPECT_EQ(dictionary(), before);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_EQ(data->tSprField->State(), dsBrowse);
        EXPECT_EQ(data->tSprField->RecordCount(), before.size());
    }
}

TEST_F(FieldDictionaryWindowTest, EscInAnyPanelControlDiscardsTheRow)
{
    const QStringList before = dictionary();
    showActive(window.get());
    for (int control = 0; control < 4; ++control) {
        for (bool edit : {false, true}) {
            SCOPED_TRACE(control * 2 + edit);
            locate(QStringLiteral("АДРЕС"));
            QTest::keyClick(window->Grid, edit ? Qt::Key_F4 : Qt::Key_F5);
            QWidget *controls[] = {window->Edit1, window->Edit2, window->Edit3, window->DBCheckBox1};
            for (int i = 0; i < control; ++i)
                QTest::keyClick(controls[i], Qt::Key_Return);
            ASSERT_TRUE(controls[control]->hasFocus());
            if (control < 3)
                typeText(controls[control], QStringLiteral("99"));
            else
                QTest::keyClick(controls[control], Qt::Key_Space);
            QTest::keyClick(controls[control], Qt::Key_Escape);

            EXPECT_EQ(data->tSprField->State(), dsBrowse);
            EXPECT_FALSE(window->PanelEdit->isEnabled());
            EXPECT_TRUE(window->Grid->hasFocus());
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(data->tSprField->RecordCount(), before.size());
            EXPECT_EQ(dictionary(), before);
        }
    }
}

TEST_F(FieldDictionaryWindowTest, ReservedFieldCannotBeEdited)
{
    const QStringList before = dictionary();
    showActive(window.get());
    for (const QString &reserved : {QStringLiteral("НОМДОК"), QStringLiteral("НШ"), QStringLiteral("НД")}) {
        locate(reserved);
        ScriptedMessageBoxes boxes;
        QTest::keyClick(window->Grid, Qt::Key_F4);
        ASSERT_EQ(boxes.shown().size(), 1);
        EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Это поле зарезервировано и изменению не подлежит"));
        EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Ormena"));
        EXPECT_EQ(data->tSprField->State(), dsBrowse);
        EXPECT_FALSE(window->PanelEdit->isEnabled());
    }
    // F4 during an insert looks at the row that would be edited, not at the new row.
    sql(QStringLiteral("DELETE FROM SprField WHERE isEdit=0"));
    reopen();
    ScriptedMessageBoxes boxes;
    QTest::keyClick(window->Grid, Qt::Key_F5);
    QTest::keyClick(window->Edit1, Qt::Key_F4);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Это поле зарезервировано и изменению не подлежит"));
    EXPECT_EQ(data->tSprField->State(), dsBrowse);
    EXPECT_FALSE(window->PanelEdit->isEnabled());
    EXPECT_EQ(dictionary(), before.mid(0, 3));
}

TEST_F(FieldDictionaryWindowTest, EditOnAnEmptyDictionaryWarnsAndHidesThePanel)
{
    sql(QStringLiteral("DELETE FROM SprField"));
    reopen();
    showActive(window.get());
    ScriptedMessageBoxes boxes;
    QTest::keyClick(window->Grid, Qt::Key_F4);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Нет записей для редактирования!"));
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Предупреждение!"));
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Warning);
    EXPECT_FALSE(window->PanelEdit->isEnabled());
    EXPECT_FALSE(window->PanelEdit->isVisible());
    EXPECT_EQ(data->tSprField->State(), dsBrowse);

    // Adding is always possible and brings the panel back.
    QTest::keyClick(window->Grid, Qt::Key_F5);
    EXPECT_TRUE(window->PanelEdit->isVisible());
    typeField(QStringLiteral("1"), QStringLiteral("ФИО"), QString(), false);
    QTest::keyClick(window->DBCheckBox1, Qt::Key_Return);
    EXPECT_EQ(dictionary(), QStringList{QStringLiteral("1|ФИО|<null>|false|false")});
}

TEST_F(FieldDictionaryWindowTest, StartRecordEditReportsAFailureToStart)
{
    data->tSprField->Close();
    ScriptedMessageBoxes boxes;
    EXPECT_FALSE(StartRecordEdit(false, data->tSprField, window->PanelEdit, window->Edit1));
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.startsWith(QStringLiteral("Ошибка добавления записи!\r")));
    EXPECT_FALSE(window->PanelEdit->isEnabled());
}

// Counts the pages of a PDF file by its page objects.
int PdfPageCount(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page[^s]"));
    return static_cast<int>(QString::fromLatin1(file.readAll()).count(page));
}

TEST_F(FieldDictionaryWindowTest, PrintedDictionaryHoldsEveryRowOnceWithTheHeaderOnEveryPage)
{
    EXPECT_EQ(window->PrintGrid->PageHeaderText, QStringLiteral("Справочник полей"));
    EXPECT_TRUE(window->PrintGrid->PageHeaderFont.bold());
    EXPECT_DOUBLE_EQ(window->PrintGrid->PageHeaderFont.pointSizeF(), 12.0);
    EXPECT_TRUE(window->PrintGrid->PageFooterText.isEmpty());
    EXPECT_EQ(window->PrintGrid->PageMarginsMm, QMarginsF(2, 2, 2, 2));

    for (int count : {3, 150}) {
        SCOPED_TRACE(count);
        sql(QStringLiteral("DELETE FROM SprField WHERE isEdit=0"));
        for (int i = 4; i <= count; ++i)
            sql(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript) VALUES (?, ?, ?)"),
                {i, QStringLiteral("ПОЛЕ%1").arg(i), QStringLiteral("Описание поля номер %1").arg(i)});
        reopen();
        const QString path = ws.file(QStringLiteral("dictionary%1.pdf").arg(count));
        QPdfWriter pdf(path);
        pdf.setPageSize(QPageSize(QPageSize::A4));
        const QList<QList<int>> pages = window->PrintGrid->Pages(&pdf);
        QList<int> printed;
        for (const QList<int> &rowsOfPage : pages) {
            EXPECT_FALSE(rowsOfPage.isEmpty());
            printed += rowsOfPage;
        }
        QList<int> expected;
        for (int row = 0; row < count; ++row)
            expected.append(row);
        EXPECT_EQ(printed, expected);
        EXPECT_EQ(pages.size() > 1, count == 150);
        const QMarginsF margins = pdf.pageLayout().margins(QPageLayout::Millimeter);
        for (qreal side : {margins.left(), margins.top(), margins.right(), margins.bottom()})
            EXPECT_NEAR(side, 2.0, 0.01);

        window->PrintGrid->Print(&pdf);
        EXPECT_EQ(PdfPageCount(path), pages.size());
    }
}

TEST_F(FieldDictionaryWindowTest, F9ShowsThePrintPreviewOfTheDictionary)
{
    showActive(window.get());
    int previewPages = 0;
    whileModal(
        "QPrintPreviewDialog",
        [&](QWidget *modal) {
            auto *preview = modal->findChild<QPrintPreviewWidget *>();
            if (preview)
                previewPages = preview->pageCount();
            modal->close();
        },
        [&] { QTest::keyClick(window->Grid, Qt::Key_F9); });
    EXPECT_EQ(previewPages, 1);
    EXPECT_TRUE(window->isVisible());
}

} // namespace
