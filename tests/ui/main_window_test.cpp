// The main window driven as the operator drives it: shortcut keys, clicks,
// typing and the embedded dialogs on a shown window over a real database file.
#include "main_window_fixture.h"

#include "app/user_guide.h"
#include "common/app_title.h"
#include "common/application_control.h"
#include "common/msg_component.h"
#include "ui/change_number_dialog.h"
#include "ui/db_edit.h"
#include "ui/db_grid.h"
#include "ui/db_text.h"
#include "ui/edit_document_dialog.h"
#include "ui/find_dialog.h"
#include "ui/value_editor.h"

#include <QAction>
#include <QApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

namespace {

// The entries of a menu, tool bar or popup: captions, "|" for a separator.
QStringList Entries(const QList<QAction *> &actions)
{
    QStringList entries;
    for (const QAction *action : actions) {
        if (action->isSeparator())
            entries.append(QStringLiteral("|"));
        else if (!action->text().isEmpty())
            entries.append(action->text());
    }
    return entries;
}

QString DecimalSeparator()
{
    return QLocale().decimalPoint();
}

} // namespace

TEST_F(MainWindowTest, MenusToolBarsAndPopupsGroupEveryAction)
{
    openMain();
    EXPECT_EQ(Entries(main->menuBar()->actions()),
              QStringList({"Файл", "Редактирование", "Сервис", "Справка"}));
    const struct {
        QList<QAction *> actions;
        QStringList expected;
    } places[] = {
        {main->MenuFile->actions(),
         {"Список  шаблонов", "Справочник полей для документа...", "Справочник полей", "|",
          "Открыть демонстрационную базу", "|", "Выход..."}},
        {main->MenuEdit->actions(),
         {"Сменить номер", "|", "Новый документ", "Изменить документ", "Удалить документ", "|",
          "Добавить (обновить) поля для данных", "Удалить поля для данных"}},
        {main->MenuService->actions(), {"Создать документ", "|", "Поиск", "|", "Настройки..."}},
        {main->MenuHelp->actions(), {"Роководство пользователя"}},
        {main->ToolBar1->actions(), {"Список  шаблонов"}},
        {main->ToolBar2->actions(),
         {"Сменить номер", "|", "Новый документ", "|", "Изменить документ", "|", "Удалить документ", "|",
          "Добавить (обновить) поля для данных", "|", "Удалить поля для данных"}},
        {main->ToolBar3->actions(), {"Поиск", "|", "Создать документ"}},
        {main->ToolBar4->actions(), {"Выход..."}},
        {main->PopupValue->actions(), {"Добавить (обновить) поля для данных", "Удалить поля для данных"}},
        {main->PopupFio->actions(),
         {"Новый документ", "Изменить документ", "Удалить документ", "|", "Добавить из <Кадров>"}},
    };
    for (const auto &place : places)
        EXPECT_EQ(Entries(place.actions), place.expected);

    // The exit button sits at the right end of the tool bar row.
    auto *exitButton = qobject_cast<QToolButton *>(main->ToolBar4->widgetForAction(main->actExit));
    ASSERT_NE(exitButton, nullptr);
    EXPECT_GT(exitButton->mapTo(main.get(), QPoint(exitButton->width(), 0)).x(), main->width() - 40);
}

TEST_F(MainWindowTest, EveryActionHasItsKeyHintAndPicture)
{
    openMain();
    const struct {
        QAction *action;
        QKeySequence key;
    } actions[] = {
        {main->actShablon, QKeySequence(Qt::Key_F2)},
        {main->actSprField, QKeySequence()},
        {main->actShablonFld, QKeySequence()},
        {main->actAddFioField, QKeySequence(Qt::CTRL | Qt::Key_F5)},
        {main->actDeleteFioField, QKeySequence()},
        {main->actAddFio, QKeySequence(Qt::Key_F5)},
        {main->actEditFio, QKeySequence(Qt::Key_F4)},
        {main->actDelFio, QKeySequence()},
        {main->actCreateDoc, QKeySequence(Qt::Key_F10)},
        {main->actFinde, QKeySequence(Qt::Key_F3)},
        {main->actExit, QKeySequence()},
        {main->actChengeNPP, QKeySequence(Qt::Key_F6)},
        {main->actOpenDemoBase, QKeySequence()},
        {main->actSettings, QKeySequence()},
        {main->actHelp, QKeySequence(Qt::Key_F1)},
        {main->actAddFromKadry, QKeySequence(Qt::CTRL | Qt::Key_F6)},
    };
    for (const auto &entry : actions) {
        SCOPED_TRACE(entry.action->text().toStdString());
        EXPECT_EQ(entry.action->shortcut(), entry.key);
        EXPECT_EQ(entry.action->statusTip(), entry.action->text());
        EXPECT_TRUE(entry.action->toolTip().startsWith(entry.action->text()));
        EXPECT_FALSE(entry.action->icon().isNull());
        EXPECT_EQ(entry.action->isEnabled(), entry.action != main->actAddFromKadry);
    }

    // The entry that can never be chosen: neither its key nor a trigger does anything.
    const QStringList before = rows(QStringLiteral("SELECT Id, Npp, Name FROM Fio ORDER BY Id"));
    keyOnMain(Qt::Key_F6, Qt::ControlModifier);
    main->actAddFromKadry->trigger();
    EXPECT_EQ(rows(QStringLiteral("SELECT Id, Npp, Name FROM Fio ORDER BY Id")), before);
    EXPECT_FALSE(QApplication::activeModalWidget());
}

TEST_F(MainWindowTest, CommandsOfLaterWindowsRunTheirHandlersOnlyOnceSet)
{
    openMain();
    QStringList ran;
    main->actShablon->trigger(); // no handler yet: nothing happens
    main->ShablonHandler = [&] { ran << "Shablon"; };
    main->SprFieldHandler = [&] { ran << "SprField"; };
    main->ShablonFldHandler = [&] { ran << "ShablonFld"; };
    main->CreateDocHandler = [&] { ran << "CreateDoc"; };
    keyOnMain(Qt::Key_F2);
    keyOnMain(Qt::Key_F10);
    main->actSprField->trigger();
    main->actShablonFld->trigger();
    EXPECT_EQ(ran, QStringList({"Shablon", "CreateDoc", "SprField", "ShablonFld"}));
}

TEST_F(MainWindowTest, F1ShowsTheUserGuideOrSaysWhereItWasLookedFor)
{
    openMain();
    const QString guide = ws.file(QStringLiteral("help"));
    SetUserGuideSearchPlaces({guide});
    ScriptedMessageBoxes boxes;
    keyOnMain(Qt::Key_F1);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QDir::toNativeSeparators(guide))) << boxes.shown()[0].text.toStdString();
    EXPECT_EQ(UserGuideWindow(), nullptr);

    QDir().mkpath(guide);
    QFile page(QDir(guide).filePath(QStringLiteral("index.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><h1>Руководство</h1></body></html>");
    page.close();
    keyOnMain(Qt::Key_F1);
    EXPECT_EQ(boxes.shown().size(), 1);
    ASSERT_NE(UserGuideWindow(), nullptr);
    EXPECT_TRUE(UserGuideWindow()->isVisible());
    closeMain(); // the guide goes with the main window
    EXPECT_EQ(UserGuideWindow(), nullptr);
    SetUserGuideSearchPlaces({});
}

TEST_F(MainWindowTest, StartTakesTheLockCreatesTheSettingsWindowAndOpensMaximised)
{
    const QString title = ApplicationTitle();
    SetApplicationTitle(QStringLiteral("OrmenaUiTest-%1").arg(QCoreApplication::applicationPid()));
    SetMainTitle(ApplicationTitle() + QStringLiteral(" {ver. 1.0.0.1}"));
    main = std::make_unique<TfMain>();
    main->start();
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->isMaximized());
    EXPECT_EQ(main->windowTitle(), MainTitle());
    EXPECT_NE(main->fSettigs, nullptr);
    EXPECT_FALSE(TerminationRequested());

    // Closing by the frame ends the program without a question.
    ScriptedMessageBoxes boxes;
    main->close();
    EXPECT_TRUE(TerminationRequested());
    EXPECT_TRUE(boxes.shown().isEmpty());
    closeMain();
    SetApplicationTitle(title);
}

TEST_F(MainWindowTest, MessageComponentStoresTheAnswerCode)
{
    openMain();
    EXPECT_EQ(main->MsgAnswer, 0);
    ScriptedMessageBoxes boxes;
    main->MSG->Text = QStringLiteral("Открыть документ из базы?");
    main->MSG->Title = QStringLiteral("Документ");
    const struct {
        QMessageBox::StandardButton pressed;
        int code;
    } answers[] = {{QMessageBox::Yes, 2}, {QMessageBox::No, 3}, {QMessageBox::Retry, 4},
                   {QMessageBox::Cancel, 5}, {QMessageBox::Abort, 6}};
    for (const auto &answer : answers) {
        boxes.setNextAnswer(answer.pressed);
        main->MSG->Execute();
        EXPECT_EQ(main->MsgAnswer, answer.code);
    }
    // Ok and Ignore are not handled: the last answer stays.
    boxes.setNextAnswer(QMessageBox::Ignore);
    main->MSG->Execute();
    EXPECT_EQ(main->MsgAnswer, 6);
    ASSERT_FALSE(boxes.shown().isEmpty());
    EXPECT_EQ(boxes.shown()[0].buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(boxes.shown()[0].icon, QMessageBox::Warning);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Документ"));
}

TEST_F(MainWindowTest, AddProposesTheNextFreeNumberAndSavesADuplicateNumber)
{
    openMain();
    EXPECT_EQ(documentList(), QStringList({"2|альфа", "1|Бета", "3|Гамма"}));
    TfEditFio *box = main->fEditFio;
    whileModal(
        box,
        [&] {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Редактирование..."));
            EXPECT_TRUE(box->dbEdit_Npp->isEnabled());
            EXPECT_EQ(box->dbEdit_Npp->text(), QStringLiteral("4"));
            EXPECT_EQ(QApplication::focusWidget(), box->dbEdit_Npp);
            box->dbEdit_Npp->selectAll();
            typeText(box->dbEdit_Npp, QStringLiteral("2x")); // the letter is not admitted
            EXPECT_EQ(box->dbEdit_Npp->text(), QStringLiteral("2"));
            QTest::keyClick(box->dbEdit_Npp, Qt::Key_Return); // Enter moves on as Tab does
            EXPECT_EQ(QApplication::focusWidget(), box->DBEditEh4);
            typeText(box->DBEditEh4, QStringLiteral("Дельта"));
            QTest::keyClick(box->DBEditEh4, Qt::Key_Enter);
            EXPECT_EQ(QApplication::focusWidget(), box->BitBtn1);
            QTest::keyClick(box->BitBtn1, Qt::Key_Return);
        },
        [&] { keyOnMain(Qt::Key_F5); });

    EXPECT_EQ(box->result(), QDialog::Accepted);
    EXPECT_EQ(rows(QStringLiteral("SELECT Npp, Name FROM Fio WHERE Shablon_Id=%1 AND Npp=2 ORDER BY Id").arg(contractId)),
              QStringList({"2|альфа", "2|Дельта"}));
    EXPECT_EQ(data->Fio->State(), dsBrowse);
    EXPECT_EQ(documentList(), QStringList({"2|альфа", "1|Бета", "3|Гамма", "2|Дельта"}));
    // The list returns to the saved number: the first document holding it in the present order.
    EXPECT_EQ(currentDocument(), QStringLiteral("альфа"));
    EXPECT_EQ(main->focusWidget(), main->GridFio);
}

TEST_F(MainWindowTest, EditKeepsTheNumberBoxDisabledAndSavesTheName)
{
    openMain();
    locateDocument(QStringLiteral("Бета"));
    TfEditFio *box = main->fEditFio;
    whileModal(
        box,
        [&] {
            EXPECT_FALSE(box->dbEdit_Npp->isEnabled());
            EXPECT_EQ(box->dbEdit_Npp->text(), QStringLiteral("1"));
            EXPECT_EQ(box->DBEditEh4->text(), QStringLiteral("Бета"));
            EXPECT_EQ(QApplication::focusWidget(), box->DBEditEh4);
            box->DBEditEh4->selectAll();
            typeText(box->DBEditEh4, QStringLiteral("Бета исправленная"));
            QTest::mouseClick(box->BitBtn1, Qt::LeftButton);
        },
        [&] { keyOnMain(Qt::Key_F4); });

    EXPECT_EQ(rows(QStringLiteral("SELECT Npp, Name FROM Fio WHERE Shablon_Id=%1 ORDER BY Npp").arg(contractId)),
              QStringList({"1|Бета исправленная", "2|альфа", "3|Гамма"}));
    EXPECT_EQ(currentDocument(), QStringLiteral("Бета исправленная"));
    EXPECT_EQ(data->Fio->State(), dsBrowse);
}

TEST_F(MainWindowTest, CancelAndEscapeDiscardTheNewOrChangedDocument)
{
    openMain();
    const QString documents = QStringLiteral("SELECT Id, Shablon_Id, Npp, Name FROM Fio ORDER BY Id");
    const QStringList before = rows(documents);
    const struct {
        const char *what;
        Qt::Key command;
        bool escape;
    } cases[] = {{"add, Отмена", Qt::Key_F5, false},
                 {"add, Esc", Qt::Key_F5, true},
                 {"edit, Отмена", Qt::Key_F4, false},
                 {"edit, Esc", Qt::Key_F4, true}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        locateDocument(QStringLiteral("Бета"));
        TfEditFio *box = main->fEditFio;
        whileModal(
            box,
            [&] {
                box->DBEditEh4->setFocus();
                box->DBEditEh4->selectAll();
                typeText(box->DBEditEh4, QStringLiteral("Не сохранять"));
                if (c.escape)
                    QTest::keyClick(box->DBEditEh4, Qt::Key_Escape);
                else
                    QTest::mouseClick(box->BitBtn2, Qt::LeftButton);
            },
            [&] { keyOnMain(c.command); });
        EXPECT_EQ(box->result(), QDialog::Rejected);
        EXPECT_EQ(rows(documents), before);
        EXPECT_EQ(data->Fio->State(), dsBrowse);
        EXPECT_EQ(data->Fio->RecordCount(), 3);
        EXPECT_EQ(main->focusWidget(), main->GridFio);
    }
}

TEST_F(MainWindowTest, ChangeNumberSortsByNumberExceptAfterAConversionError)
{
    openMain();
    const struct {
        const char *what;
        QString typed;
        bool ok;
        QMessageBox::StandardButton swap; // NoButton: no question expected
        QStringList byNumber;             // the list after, in the number order
        QString current;
        QString error;                    // the conversion message, empty when none
    } cases[] = {
        {"a free number only renumbers", QStringLiteral("7"), true, QMessageBox::NoButton,
         {"1|Бета", "2|альфа", "7|Гамма"}, QStringLiteral("Гамма"), QString()},
        {"swap Yes", QStringLiteral("1"), true, QMessageBox::Yes, {"1|Гамма", "2|альфа", "3|Бета"},
         QStringLiteral("Гамма"), QString()},
        {"swap No", QStringLiteral("1"), true, QMessageBox::No, {"1|Бета", "2|альфа", "3|Гамма"},
         QStringLiteral("Бета"), QString()},
        {"Cancel", QStringLiteral("1"), false, QMessageBox::NoButton, {"1|Бета", "2|альфа", "3|Гамма"},
         QStringLiteral("Гамма"), QString()},
        {"not a whole number", QStringLiteral("1") + DecimalSeparator(), true, QMessageBox::NoButton,
         {"1|Бета", "2|альфа", "3|Гамма"}, QStringLiteral("Гамма"),
         QStringLiteral("'1%1' is not a valid integer value.").arg(DecimalSeparator())},
        {"an empty box", QString(), true, QMessageBox::NoButton, {"1|Бета", "2|альфа", "3|Гамма"},
         QStringLiteral("Гамма"), QStringLiteral("'' is not a valid integer value.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        // Every case starts from the seeded numbers, the list by name and no markers.
        sql(QStringLiteral("UPDATE Fio SET Npp=1 WHERE Name=?"), {QStringLiteral("Бета")});
        sql(QStringLiteral("UPDATE Fio SET Npp=3 WHERE Name=?"), {QStringLiteral("Гамма")});
        data->LoadDocuments(0);
        main->GridFio->setSortMarker(0, 0);
        main->GridFio->setSortMarker(1, 0);
        locateDocument(QStringLiteral("Гамма"));

        ScriptedMessageBoxes boxes;
        if (c.swap != QMessageBox::NoButton)
            boxes.setNextAnswer(c.swap);
        TfChangeNPP *box = main->fChangeNPP;
        whileModal(
            box,
            [&] {
                EXPECT_EQ(box->windowTitle(), QStringLiteral("Изменить номер"));
                EXPECT_EQ(box->DBText_Npp->text(), QStringLiteral("3"));
                EXPECT_EQ(box->DBText_Name->text(), QStringLiteral("Гамма"));
                EXPECT_EQ(box->Edit_NPP->text(), QStringLiteral("3"));
                EXPECT_EQ(QApplication::focusWidget(), box->Edit_NPP);
                box->Edit_NPP->selectAll();
                QTest::keyClick(box->Edit_NPP, Qt::Key_Backspace);
                typeText(box->Edit_NPP, QStringLiteral("zж") + c.typed); // letters are dropped
                EXPECT_EQ(box->Edit_NPP->text(), c.typed);
                QTest::keyClick(box->Edit_NPP, c.ok ? Qt::Key_Return : Qt::Key_Escape);
            },
            [&] { keyOnMain(Qt::Key_F6); });

        const bool sorted = c.error.isEmpty();
        QStringList byNumber = rows(
            QStringLiteral("SELECT Npp, Name FROM Fio WHERE Shablon_Id=%1 ORDER BY Npp").arg(contractId));
        EXPECT_EQ(byNumber, c.byNumber);
        EXPECT_EQ(currentDocument(), c.current);
        EXPECT_EQ(data->DocumentOrder, sorted ? 1 : 0);
        EXPECT_EQ(main->GridFio->sortMarker(0), sorted ? 1 : 0);
        if (sorted) {
            EXPECT_EQ(documentList(), c.byNumber);
        }
        QStringList texts;
        for (const MessageBoxRequest &shown : boxes.shown())
            texts.append(shown.text);
        if (c.swap != QMessageBox::NoButton) {
            ASSERT_EQ(texts.size(), 1);
            EXPECT_EQ(texts[0], QStringLiteral("Номер 1, который Вы хотите присвоить для Гамма\rуже присвоен для Бета."
                                               "\r\rЖелаете поменять эти номера местами ?\r3 <-> 1"));
            EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Предупреждение!"));
        } else if (!c.error.isEmpty()) {
            EXPECT_EQ(texts, QStringList{c.error});
        } else {
            EXPECT_TRUE(texts.isEmpty());
        }
    }
}

TEST_F(MainWindowTest, SearchFindsByNumberAndByNamePrefixAsTheOperatorTypes)
{
    openMain();
    locateDocument(QStringLiteral("Бета"));
    TfFinde *box = main->fFinde;
    ScriptedMessageBoxes boxes;
    whileModal(
        box,
        [&] {
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Поиск..."));
            EXPECT_EQ(QApplication::focusWidget(), box->Edit_NumDoc);
            EXPECT_TRUE(box->LbFindeInfo->text().isEmpty());

            typeText(box->Edit_NumDoc, QStringLiteral("3"));
            EXPECT_EQ(currentDocument(), QStringLiteral("Гамма"));
            EXPECT_EQ(box->LbFindeInfo->text(), QStringLiteral("3\nГамма"));
            typeText(box->Edit_NumDoc, QStringLiteral("xж")); // letters have no effect
            EXPECT_EQ(box->Edit_NumDoc->text(), QStringLiteral("3"));

            typeText(box->Edit_NumDoc, QStringLiteral("9")); // 39: nobody
            EXPECT_TRUE(box->LbFindeInfo->text().isEmpty());
            EXPECT_EQ(currentDocument(), QStringLiteral("Гамма"));

            QTest::keyClick(box->Edit_NumDoc, Qt::Key_Backspace);
            QTest::keyClick(box->Edit_NumDoc, Qt::Key_Backspace);
            typeText(box->Edit_NumDoc, DecimalSeparator()); // passes the filter, fails the conversion
            EXPECT_EQ(boxes.shown().size(), 1);
            if (!boxes.shown().isEmpty()) {
                EXPECT_EQ(boxes.shown()[0].text,
                          QStringLiteral("'%1' is not a valid integer value.").arg(DecimalSeparator()));
            }
            EXPECT_EQ(currentDocument(), QStringLiteral("Гамма"));

            // Entering the name box empties the number box.
            QTest::mouseClick(box->Edit_Name, Qt::LeftButton);
            EXPECT_EQ(QApplication::focusWidget(), box->Edit_Name);
            EXPECT_TRUE(box->Edit_NumDoc->text().isEmpty());
            typeText(box->Edit_Name, QStringLiteral("бе"));
            EXPECT_EQ(currentDocument(), QStringLiteral("Бета"));
            EXPECT_EQ(box->LbFindeInfo->text(), QStringLiteral("1\nБета"));
            box->Edit_Name->clear();
            typeText(box->Edit_Name, QStringLiteral("АЛЬ"));
            EXPECT_EQ(currentDocument(), QStringLiteral("альфа"));
            EXPECT_EQ(box->LbFindeInfo->text(), QStringLiteral("2\nальфа"));
            typeText(box->Edit_Name, QStringLiteral("я")); // "АЛЬя": nobody
            EXPECT_TRUE(box->LbFindeInfo->text().isEmpty());
            EXPECT_EQ(currentDocument(), QStringLiteral("альфа"));

            // Entering the number box empties the name box.
            QTest::mouseClick(box->Edit_NumDoc, Qt::LeftButton);
            EXPECT_TRUE(box->Edit_Name->text().isEmpty());
            typeText(box->Edit_NumDoc, QStringLiteral("1"));
            EXPECT_EQ(currentDocument(), QStringLiteral("Бета"));
            QTest::mouseClick(box->BitBtn3, Qt::LeftButton);
        },
        [&] { keyOnMain(Qt::Key_F3); });
    EXPECT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(main->GridFio->currentIndex().row(), data->Fio->CurrentIndex());

    // The texts stay from one use to the next; the result line starts empty.
    whileModal(
        box,
        [&] {
            EXPECT_EQ(box->Edit_NumDoc->text(), QStringLiteral("1"));
            EXPECT_TRUE(box->LbFindeInfo->text().isEmpty());
            QTest::keyClick(box->Edit_NumDoc, Qt::Key_Return); // Enter is OK
        },
        [&] { keyOnMain(Qt::Key_F3); });
}

TEST_F(MainWindowTest, InPlaceEditorShowsSecretsOnlyWhileEditingAndEscKeepsTheValue)
{
    openMain();
    locateDocument(QStringLiteral("Бета"));
    TDBGrid *grid = main->GridValue;
    const int valueColumn = grid->columnOfField(QStringLiteral("Value_"));
    auto cellText = [&](int row) { return grid->model()->index(row, valueColumn).data().toString(); };
    const QString values = QStringLiteral("SELECT Value_, DateIzm FROM FioValue ORDER BY Npp");
    ASSERT_EQ(data->FioValue->RecordCount(), 2);
    EXPECT_EQ(cellText(0), QStringLiteral("Иванов И.И."));
    EXPECT_EQ(cellText(1), QStringLiteral("* * *"));

    // Enter on the secret row: the real value, in the editor and the grid.
    grid->setFocus();
    data->FioValue->SetRecNo(2);
    EXPECT_EQ(main->DBText_FieldName->text(), QStringLiteral("ПАСПОРТ"));
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(main->Edit->isVisible());
    EXPECT_TRUE(main->Edit->hasFocus());
    EXPECT_EQ(main->Edit->text(), QStringLiteral("4509 123456"));
    EXPECT_EQ(cellText(1), QStringLiteral("4509 123456"));
    const QRect cell = grid->currentCellRect(valueColumn);
    EXPECT_EQ(main->Edit->geometry(), QRect(QPoint(cell.left() + 4, cell.top() + 4), cell.bottomRight()));
    typeText(main->Edit, QStringLiteral("4510 000001"));
    QTest::keyClick(main->Edit, Qt::Key_Return);
    EXPECT_FALSE(main->Edit->isVisible());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_EQ(cellText(1), QStringLiteral("* * *"));
    const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
    EXPECT_EQ(main->DBText_DateIzm->text(), today);
    QStringList stored = rows(values);
    ASSERT_EQ(stored.size(), 2);
    EXPECT_EQ(stored[0], QStringLiteral("Иванов И.И.|<null>"));
    EXPECT_TRUE(stored[1].startsWith(QStringLiteral("4510 000001|") + QDate::currentDate().toString(Qt::ISODate)))
        << stored[1].toStdString();

    // A double click on the plain row; Esc keeps the stored value and date.
    const QRect first = grid->visualRect(grid->model()->index(0, valueColumn));
    int doubleClicks = 0;
    QObject::connect(grid, &QAbstractItemView::doubleClicked, [&] { ++doubleClicks; });
    // The events of a real double click: press, release, double click, release.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    QTest::mouseRelease(grid->viewport(), Qt::LeftButton, Qt::NoModifier, first.center());
    EXPECT_EQ(doubleClicks, 1);
    ASSERT_TRUE(main->Edit->isVisible());
    EXPECT_EQ(data->FioValue->RecNo(), 1);
    EXPECT_EQ(main->Edit->text(), QStringLiteral("Иванов И.И."));
    typeText(main->Edit, QStringLiteral("Петров П.П."));
    EXPECT_EQ(data->FioValue->State(), dsEdit);
    QTest::keyClick(main->Edit, Qt::Key_Escape);
    EXPECT_FALSE(main->Edit->isVisible());
    EXPECT_EQ(data->FioValue->State(), dsBrowse);
    EXPECT_EQ(cellText(0), QStringLiteral("Иванов И.И."));
    EXPECT_EQ(rows(values)[0], QStringLiteral("Иванов И.И.|<null>"));

    // Leaving the editor for another control saves what was typed.
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_TRUE(main->Edit->isVisible());
    typeText(main->Edit, QStringLiteral("Сидоров С.С."));
    main->se_GridValueLines->setFocus(Qt::MouseFocusReason);
    EXPECT_FALSE(main->Edit->isVisible());
    EXPECT_TRUE(grid->hasFocus());
    EXPECT_TRUE(rows(values)[0].startsWith(QStringLiteral("Сидоров С.С.|")));

    // A command closes the editor first, saving the value.
    QTest::keyClick(grid, Qt::Key_Return);
    typeText(main->Edit, QStringLiteral("Кузнецов"));
    ScriptedMessageBoxes boxes;
    boxes.setNextAnswer(QMessageBox::No);
    main->actDeleteFioField->trigger(); // asks, answered No: nothing deleted
    EXPECT_EQ(boxes.shown().size(), 1);
    EXPECT_FALSE(main->Edit->isVisible());
    EXPECT_TRUE(rows(values)[0].startsWith(QStringLiteral("Кузнецов|")));
}

TEST_F(MainWindowTest, TitleClicksSortAndMarkTheClickedColumn)
{
    openMain();
    locateDocument(QStringLiteral("Гамма"));
    QHeaderView *header = main->GridFio->horizontalHeader();
    auto clickTitle = [&](int column) {
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    };
    EXPECT_EQ(header->model()->headerData(0, Qt::Horizontal, Qt::ToolTipRole).toString(),
              QStringLiteral("Щелкните по столбцу для сортировки"));
    clickTitle(0);
    EXPECT_EQ(documentList(), QStringList({"1|Бета", "2|альфа", "3|Гамма"}));
    EXPECT_EQ(data->DocumentOrder, 1);
    EXPECT_EQ(currentDocument(), QStringLiteral("Гамма"));
    EXPECT_EQ(main->GridFio->sortMarker(0), 1);
    EXPECT_EQ(main->GridFio->sortMarker(1), 0);
    EXPECT_FALSE(header->model()->headerData(0, Qt::Horizontal, Qt::DecorationRole).isNull());

    clickTitle(1);
    EXPECT_EQ(documentList(), QStringList({"2|альфа", "1|Бета", "3|Гамма"}));
    EXPECT_EQ(data->DocumentOrder, 0);
    EXPECT_EQ(currentDocument(), QStringLiteral("Гамма"));
    EXPECT_EQ(main->GridFio->sortMarker(0), 1); // an earlier marker stays
    EXPECT_EQ(main->GridFio->sortMarker(1), 1);
    EXPECT_EQ(main->GridFio->currentIndex().row(), data->Fio->CurrentIndex());
}

TEST_F(MainWindowTest, RowHeightSpinEditsChangeOnlyByTheirArrows)
{
    openMain();
    const struct {
        QSpinBox *spin;
        TDBGrid *grid;
    } pairs[] = {{main->se_GridFioLines, main->GridFio}, {main->se_GridValueLines, main->GridValue}};
    for (const auto &pair : pairs) {
        SCOPED_TRACE(pair.spin->objectName().toStdString());
        EXPECT_EQ(pair.spin->minimum(), 0);
        EXPECT_EQ(pair.spin->maximum(), 10);
        EXPECT_EQ(pair.spin->value(), 2);
        const int twoLines = pair.grid->verticalHeader()->defaultSectionSize();
        pair.spin->setFocus();
        typeText(pair.spin, QStringLiteral("7"));
        EXPECT_EQ(pair.spin->value(), 2);
        QTest::keyClick(pair.spin, Qt::Key_Up);
        EXPECT_EQ(pair.spin->value(), 3);
        EXPECT_EQ(pair.grid->rowLines(), 3);
        EXPECT_GT(pair.grid->verticalHeader()->defaultSectionSize(), twoLines);
        for (int i = 0; i < 5; ++i)
            QTest::keyClick(pair.spin, Qt::Key_Down);
        EXPECT_EQ(pair.spin->value(), 0);
        EXPECT_EQ(pair.grid->rowLines(), 0);
        EXPECT_LT(pair.grid->verticalHeader()->defaultSectionSize(), twoLines);
        for (int i = 0; i < 12; ++i)
            QTest::keyClick(pair.spin, Qt::Key_Up);
        EXPECT_EQ(pair.spin->value(), 10);
    }
}

TEST_F(MainWindowTest, BandAndPanelsFollowTheCurrentTemplateDocumentAndValue)
{
    openMain();
    EXPECT_EQ(main->DBText_Shablon->text(), QStringLiteral("Договор поставки"));
    EXPECT_EQ(main->Panel_Fio->width(), TfMain::kPanelFioWidth);
    locateDocument(QStringLiteral("Бета"));
    EXPECT_EQ(main->DBText_FieldName->text(), QStringLiteral("ФИО"));
    EXPECT_TRUE(main->DBText_DateIzm->text().isEmpty());
    locateDocument(QStringLiteral("Гамма"));
    EXPECT_EQ(main->GridValue->model()->rowCount(), 0);
    EXPECT_TRUE(main->DBText_FieldName->text().isEmpty());
    ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Name"), QStringLiteral("Счёт")));
    data->LoadDocuments(0);
    EXPECT_EQ(main->DBText_Shablon->text(), QStringLiteral("Счёт"));
    EXPECT_EQ(documentList(), QStringList({"1|Счёт первый"}));
    EXPECT_EQ(main->GridFio->model()->rowCount(), 1);
}

TEST_F(MainWindowTest, DocumentAndValueCommandsWorkOnTheDatabase)
{
    openMain();
    ScriptedMessageBoxes boxes;
    locateDocument(QStringLiteral("Гамма"));
    const int gamma = data->Fio->AsInteger(QStringLiteral("Id"));
    const QString valuesOfGamma = QStringLiteral("SELECT COUNT(*) FROM FioValue WHERE Fio_Id=%1").arg(gamma);

    boxes.setNextAnswer(QMessageBox::Yes);
    keyOnMain(Qt::Key_F5, Qt::ControlModifier); // add the value rows
    EXPECT_EQ(scalar(valuesOfGamma).toInt(), 2);
    EXPECT_EQ(main->GridValue->model()->rowCount(), 2);

    boxes.setNextAnswer(QMessageBox::Yes);
    main->MenuEdit->actions()[7]->trigger(); // "Удалить поля для данных"
    EXPECT_EQ(scalar(valuesOfGamma).toInt(), 0);

    boxes.setNextAnswer(QMessageBox::Yes);
    main->PopupFio->actions()[2]->trigger(); // "Удалить документ"
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Fio WHERE Id=%1").arg(gamma)).toInt(), 0);
    EXPECT_EQ(data->Fio->RecordCount(), 2);
    EXPECT_EQ(boxes.unansweredCount(), 0);
}

TEST_F(MainWindowTest, NewDocumentWithoutATemplateIsRefused)
{
    sql(QStringLiteral("DELETE FROM Shablon"));
    data->Shablon->Requery();
    data->LoadDocuments(0);
    openMain();
    ScriptedMessageBoxes boxes;
    keyOnMain(Qt::Key_F5);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(boxes.shown()[0].caption, QStringLiteral("Предупреждение!"));
    EXPECT_EQ(data->Fio->State(), dsBrowse);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Fio WHERE Shablon_Id=0")).toInt(), 0);

    // Editing an empty list says so instead of starting a record.
    boxes.clear();
    keyOnMain(Qt::Key_F4);
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_EQ(data->Fio->State(), dsBrowse);
    EXPECT_FALSE(main->fEditFio->isVisible());
}

TEST_F(MainWindowTest, DemonstrationDatabaseOpensFromTheMenu)
{
    openMain();
    ScriptedMessageBoxes boxes;
    main->actOpenDemoBase->trigger(); // no demonstration file yet
    ASSERT_EQ(boxes.shown().size(), 1);
    EXPECT_TRUE(boxes.shown()[0].text.contains(QStringLiteral("OrmenaDemo.mdb")));

    // A demonstration file with one template of its own.
    data->Con->close();
    ASSERT_TRUE(QFile::copy(ws.file(QStringLiteral("Ormena.mdb")), ws.file(QStringLiteral("OrmenaDemo.mdb"))));
    data->OpenDatabase(true);
    sql(QStringLiteral("DELETE FROM Shablon WHERE Name=?"), {QStringLiteral("Договор поставки")});
    data->OpenDatabase(false);
    boxes.clear();
    main->actOpenDemoBase->trigger();
    EXPECT_TRUE(boxes.shown().isEmpty());
    EXPECT_TRUE(data->Con->databasePath().endsWith(QStringLiteral("OrmenaDemo.mdb")));
    EXPECT_EQ(main->DBText_Shablon->text(), QStringLiteral("Счёт"));
    EXPECT_EQ(main->GridFio->model()->rowCount(), 1);
}
