// The template fields window driven by clicks on its four buttons over a real
// database file: what each move writes, which rows become current, and that
// documents' value rows are left alone.
#include "reference_windows_fixture.h"

#include "ui/db_grid.h"
#include "ui/db_text.h"
#include "ui/template_fields_window.h"

#include <QPushButton>
#include <QTest>

namespace {

class TemplateFieldsWindowTest : public ReferenceWindowsTest {
protected:
    void SetUp() override
    {
        ReferenceWindowsTest::SetUp();
        // Dictionary: the reserved НОМДОК, НШ, НД (Id and Npp 1..3), then these (Id 4..6).
        sql(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript) VALUES (4, 'ФИО', 'Фамилия'), "
                           "(5, 'ПАСПОРТ', 'Паспорт'), (6, 'АДРЕС', 'Адрес')"));
        sql(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES ('Договор', 'dog.rtf'), ('Акт', 'akt.rtf')"));
        reopen();
        window = std::make_unique<TfShablonFld>(data.get());
    }
    void TearDown() override
    {
        window.reset();
        ReferenceWindowsTest::TearDown();
    }

    // Makes the named template current and reads both lists as the main window does.
    void openFor(const QString &templateName)
    {
        ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Name"), templateName));
        data->LoadTemplateFields(0);
        data->LoadFreeFields(0);
    }
    int templateId(const QString &name)
    {
        return scalar(QStringLiteral("SELECT Id FROM Shablon WHERE Name=?"), {name}).toInt();
    }
    void giveFields(const QString &templateName, const QList<int> &fieldIds)
    {
        for (int id : fieldIds)
            sql(QStringLiteral("INSERT INTO ShablonFld (Shablon_Id, SprField_Id, Npp) "
                               "SELECT ?, Id, Npp FROM SprField WHERE Id=?"),
                {templateId(templateName), id});
    }
    static QStringList names(TDataSet *list, const QString &field)
    {
        QStringList result;
        for (int row = 0; row < list->RecordCount(); ++row)
            result.append(list->ValueAt(row, field).toString());
        return result;
    }
    QStringList left() const { return names(data->ShablonFld, QStringLiteral("Name")); }
    QStringList right() const { return names(data->SprField, QStringLiteral("NAME")); }
    QString leftCurrent() const { return data->ShablonFld->AsString(QStringLiteral("Name")); }
    QString rightCurrent() const { return data->SprField->AsString(QStringLiteral("NAME")); }
    // The template's rows in the table: "field Id|Npp", in the order they were written.
    QStringList stored(const QString &templateName)
    {
        return rows(QStringLiteral("SELECT SprField_Id, Npp FROM ShablonFld WHERE Shablon_Id=%1 ORDER BY Id")
                        .arg(templateId(templateName)));
    }
    void click(QPushButton *button) { QTest::mouseClick(button, Qt::LeftButton); }
    void selectFree(const QString &name) { ASSERT_TRUE(data->SprField->Locate(QStringLiteral("NAME"), name)); }

    std::unique_ptr<TfShablonFld> window;
};

TEST_F(TemplateFieldsWindowTest, MovesFromAnEmptyListChangeNothing)
{
    giveFields(QStringLiteral("Договор"), {1, 2, 3, 4, 5, 6});
    showActive(window.get());
    ScriptedMessageBoxes boxes;
    for (const QString &name : {QStringLiteral("Договор"), QStringLiteral("Акт")}) {
        openFor(name);
        const QStringList before = stored(name);
        const QStringList leftBefore = left();
        const QStringList rightBefore = right();
        click(name == QStringLiteral("Договор") ? window->sbAdd : window->sbDelete);
        click(name == QStringLiteral("Договор") ? window->sbAddAll : window->sbDeleteAll);
        EXPECT_EQ(stored(name), before);
        EXPECT_EQ(left(), leftBefore);
        EXPECT_EQ(right(), rightBefore);
    }
    EXPECT_TRUE(boxes.shown().isEmpty());
}

TEST_F(TemplateFieldsWindowTest, AddedFieldBecomesCurrentOnTheLeftAndTheNextFreeOneOnTheRight)
{
    const struct {
        QList<int> given;
        QString selected;
        QString leftCurrent;
        QString rightCurrent;
    } cases[] = {
        {{}, QStringLiteral("ПАСПОРТ"), QStringLiteral("ПАСПОРТ"), QStringLiteral("АДРЕС")},
        {{}, QStringLiteral("АДРЕС"), QStringLiteral("АДРЕС"), QStringLiteral("НОМДОК")}, // the last: the first follows
        {{1, 2, 3, 4, 5}, QStringLiteral("АДРЕС"), QStringLiteral("АДРЕС"), QString()},  // the only one
    };
    showActive(window.get());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.selected.toStdString());
        sql(QStringLiteral("DELETE FROM ShablonFld"));
        giveFields(QStringLiteral("Договор"), c.given);
        openFor(QStringLiteral("Договор"));
        selectFree(c.selected);
        const int freeBefore = data->SprField->RecordCount();
        click(window->sbAdd);
        EXPECT_EQ(leftCurrent(), c.leftCurrent);
        EXPECT_EQ(rightCurrent(), c.rightCurrent);
        EXPECT_EQ(data->SprField->RecordCount(), freeBefore - 1);
        EXPECT_FALSE(right().contains(c.selected));
        const int id = scalar(QStringLiteral("SELECT Id FROM SprField WHERE Name=?"), {c.selected}).toInt();
        const int npp = scalar(QStringLiteral("SELECT Npp FROM SprField WHERE Name=?"), {c.selected}).toInt();
        EXPECT_EQ(stored(QStringLiteral("Договор")).last(), QStringLiteral("%1|%2").arg(id).arg(npp));
    }
}

TEST_F(TemplateFieldsWindowTest, AddAllCopiesTheDictionaryAndRemoveAllGivesItBack)
{
    giveFields(QStringLiteral("Акт"), {4});
    showActive(window.get());
    openFor(QStringLiteral("Договор"));
    // A click on the grid row selects the field the adding begins with.
    const QRect row = window->GridSprField->visualRect(window->GridSprField->model()->index(3, 0));
    QTest::mouseClick(window->GridSprField->viewport(), Qt::LeftButton, {}, row.center());
    ASSERT_EQ(rightCurrent(), QStringLiteral("ФИО"));

    click(window->sbAddAll);
    EXPECT_TRUE(right().isEmpty());
    EXPECT_EQ(left().size(), 6);
    // Added one by one from the selected field on, then from the top, each with its number.
    EXPECT_EQ(stored(QStringLiteral("Договор")),
              QStringList({QStringLiteral("4|4"), QStringLiteral("5|5"), QStringLiteral("6|6"), QStringLiteral("1|1"),
                           QStringLiteral("2|2"), QStringLiteral("3|3")}));

    click(window->sbDeleteAll);
    EXPECT_TRUE(left().isEmpty());
    EXPECT_EQ(right(), QStringList({QStringLiteral("НОМДОК"), QStringLiteral("НШ"), QStringLiteral("НД"),
                                    QStringLiteral("ФИО"), QStringLiteral("ПАСПОРТ"), QStringLiteral("АДРЕС")}));
    EXPECT_TRUE(stored(QStringLiteral("Договор")).isEmpty());
    EXPECT_EQ(stored(QStringLiteral("Акт")), QStringList{QStringLiteral("4|4")});
}

TEST_F(TemplateFieldsWindowTest, RemovedFieldBecomesCurrentOnTheRightAndItsNeighbourOnTheLeft)
{
    const struct {
        QString removed;
        QString leftCurrent;
    } cases[] = {
        {QStringLiteral("ПАСПОРТ"), QStringLiteral("АДРЕС")}, // the following row
        {QStringLiteral("АДРЕС"), QStringLiteral("ПАСПОРТ")}, // the last: the preceding row
    };
    showActive(window.get());
    for (const auto &c : cases) {
        SCOPED_TRACE(c.removed.toStdString());
        sql(QStringLiteral("DELETE FROM ShablonFld"));
        giveFields(QStringLiteral("Договор"), {4, 5, 6});
        openFor(QStringLiteral("Договор"));
        ASSERT_TRUE(data->ShablonFld->Locate(QStringLiteral("Name"), c.removed));
        click(window->sbDelete);
        EXPECT_EQ(leftCurrent(), c.leftCurrent);
        EXPECT_EQ(rightCurrent(), c.removed);
        EXPECT_EQ(left().size(), 2);
        EXPECT_EQ(stored(QStringLiteral("Договор")).size(), 2);
    }
}

TEST_F(TemplateFieldsWindowTest, ValueRowsOfARemovedFieldAreKeptAndNotDuplicatedWhenItComesBack)
{
    giveFields(QStringLiteral("Договор"), {4, 6});
    const int tid = templateId(QStringLiteral("Договор"));
    sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (?, 1, 'Иванов')"), {tid});
    sql(QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Npp, Value_) VALUES "
                       "(?, 1, 4, 4, 'Иванов Иван'), (?, 1, 6, 6, 'Москва')"),
        {tid, tid});
    ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Id"), tid));
    data->LoadDocuments(0);
    showActive(window.get());
    openFor(QStringLiteral("Договор"));

    ASSERT_TRUE(data->ShablonFld->Locate(QStringLiteral("Name"), QStringLiteral("ФИО")));
    click(window->sbDelete);
    const QString values = QStringLiteral("SELECT SprField_Id, Value_ FROM FioValue ORDER BY Npp");
    EXPECT_EQ(rows(values), QStringList({QStringLiteral("4|Иванов Иван"), QStringLiteral("6|Москва")}));

    selectFree(QStringLiteral("ФИО"));
    click(window->sbAdd);
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::Yes);
    data->AddDocumentFields();
    EXPECT_EQ(rows(values), QStringList({QStringLiteral("4|Иванов Иван"), QStringLiteral("6|Москва")}));
}

TEST_F(TemplateFieldsWindowTest, FieldsAreNotAddedWithoutACurrentTemplate)
{
    sql(QStringLiteral("DELETE FROM Shablon"));
    reopen();
    showActive(window.get());
    data->LoadTemplateFields(0);
    data->LoadFreeFields(0);
    ScriptedMessageBoxes boxes;
    click(window->sbAdd);
    click(window->sbAddAll);
    ASSERT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(boxes.shown()[0].text, QStringLiteral("Не выбран шаблон документа.\r"
                                                     "Поля добавляются только к сохраненному шаблону."));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM ShablonFld")).toInt(), 0);
    EXPECT_EQ(right().size(), 6);
}

TEST_F(TemplateFieldsWindowTest, RefusedRowIsNotShownAndTheListsStayAsTheyWere)
{
    // ФИО was added with number 4; the dictionary was renumbered since, so ПАСПОРТ now carries 4.
    giveFields(QStringLiteral("Договор"), {4});
    sql(QStringLiteral("UPDATE SprField SET Npp=7 WHERE Name='ФИО'"));
    sql(QStringLiteral("UPDATE SprField SET Npp=4 WHERE Name='ПАСПОРТ'"));
    reopen();
    showActive(window.get());
    openFor(QStringLiteral("Договор"));
    selectFree(QStringLiteral("ПАСПОРТ"));
    const QStringList rightBefore = right();

    ScriptedMessageBoxes boxes;
    click(window->sbAdd);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Critical);
    EXPECT_EQ(left(), QStringList{QStringLiteral("ФИО")});
    EXPECT_EQ(data->ShablonFld->State(), dsBrowse);
    EXPECT_EQ(right(), rightBefore);
    EXPECT_EQ(stored(QStringLiteral("Договор")), QStringList{QStringLiteral("4|4")});

    // "<<" stops at the same refusal instead of going round.
    click(window->sbAddAll);
    EXPECT_EQ(boxes.shown().size(), 2);
    EXPECT_EQ(stored(QStringLiteral("Договор")), QStringList{QStringLiteral("4|4")});
}

TEST_F(TemplateFieldsWindowTest, OpeningReadsBothListsForTheCurrentTemplateAndShowsItsName)
{
    giveFields(QStringLiteral("Акт"), {5});
    ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Акт")));
    QString shownName;
    QStringList shownLeft;
    int shownRight = 0;
    whileModal(
        "TfShablonFld",
        [&](QWidget *) {
            shownName = window->LabelShablon->text();
            shownLeft = left();
            shownRight = static_cast<int>(right().size());
            click(window->btnClose);
        },
        [&] { EXPECT_EQ(window->Execute(), QDialog::Accepted); });
    EXPECT_EQ(shownName, QStringLiteral("Акт"));
    EXPECT_EQ(shownLeft, QStringList{QStringLiteral("ПАСПОРТ")});
    EXPECT_EQ(shownRight, 5);
}

} // namespace
