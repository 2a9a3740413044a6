#include "main_window_fixture.h"
#include "support/sql_helpers.h"

#include "common/application_control.h"
#include "db/check_database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

void MainWindowTest::SetUp()
{
    ws.makeTemplateFolder();
    CheckDatabase();
    data = std::make_unique<TfData>();
    SetDataModule(data.get());
    data->ProgramDir = ws.path();
    data->TemplateDir = ws.file(QStringLiteral("Shablon"));
    ResetTerminationRequest();
    {
        ScriptedMessageBoxes quiet;
        data->OpenDatabase(false);
        ASSERT_TRUE(quiet.shown().isEmpty()) << quiet.shown().first().text.toStdString();
    }
    sql(QStringLiteral("INSERT INTO Shablon (Name, Shablon) VALUES (?, ?), (?, ?)"),
        {QStringLiteral("Договор поставки"), QStringLiteral("dogovor.rtf"), QStringLiteral("Счёт"),
         QStringLiteral("schet.doc")});
    contractId = scalar(QStringLiteral("SELECT Id FROM Shablon WHERE Name=?"), {QStringLiteral("Договор поставки")})
                     .toInt();
    const int billId = scalar(QStringLiteral("SELECT Id FROM Shablon WHERE Name=?"), {QStringLiteral("Счёт")}).toInt();
    sql(QStringLiteral("INSERT INTO Fio (Shablon_Id, Npp, Name) VALUES (?, 1, ?), (?, 2, ?), (?, 3, ?), (?, 1, ?)"),
        {contractId, QStringLiteral("Бета"), contractId, QStringLiteral("альфа"), contractId, QStringLiteral("Гамма"),
         billId, QStringLiteral("Счёт первый")});
    sql(QStringLiteral("INSERT INTO SprField (Npp, Name, Skript, isEdit, isSecure) VALUES (10, ?, ?, 0, 0), (11, ?, ?, 0, 1)"),
        {QStringLiteral("ФИО"), QStringLiteral("Фамилия и инициалы"), QStringLiteral("ПАСПОРТ"),
         QStringLiteral("Номер паспорта")});
    const int fio = scalar(QStringLiteral("SELECT Id FROM SprField WHERE Name=?"), {QStringLiteral("ФИО")}).toInt();
    const int passport = scalar(QStringLiteral("SELECT Id FROM SprField WHERE Name=?"), {QStringLiteral("ПАСПОРТ")}).toInt();
    sql(QStringLiteral("INSERT INTO ShablonFld (Shablon_Id, SprField_Id, Npp) VALUES (?, ?, 1), (?, ?, 2)"),
        {contractId, fio, contractId, passport});
    const int beta = scalar(QStringLiteral("SELECT Id FROM Fio WHERE Name=?"), {QStringLiteral("Бета")}).toInt();
    sql(QStringLiteral("INSERT INTO FioValue (Shablon_Id, Fio_Id, SprField_Id, Npp, Value_) VALUES (?, ?, ?, 1, ?), "
                       "(?, ?, ?, 2, ?)"),
        {contractId, beta, fio, QStringLiteral("Иванов И.И."), contractId, beta, passport,
         QStringLiteral("4509 123456")});

    // Read everything again, as a start on this file would.
    data->Con->close();
    ScriptedMessageBoxes quiet;
    data->OpenDatabase(false);
    ASSERT_TRUE(quiet.shown().isEmpty()) << quiet.shown().first().text.toStdString();
    ASSERT_TRUE(data->Shablon->Locate(QStringLiteral("Id"), contractId));
    data->LoadDocuments(0);
}

void MainWindowTest::TearDown()
{
    closeMain();
    SetDataModule(nullptr);
    data.reset();
    ResetTerminationRequest();
}

void MainWindowTest::openMain()
{
    main = std::make_unique<TfMain>();
    main->FormCreate();
    main->resize(1280, 800);
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    main->FormShow();
    QApplication::processEvents();
}

void MainWindowTest::keyOnMain(Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    // Shortcuts reach the active window only; a dialog that has just closed can
    // stay the active one for a moment.
    if (QApplication::activeWindow() != main.get()) {
        main->activateWindow();
        if (!QTest::qWaitFor([&] { return QApplication::activeWindow() == main.get(); }, 2000))
            QApplication::setActiveWindow(main.get());
    }
    ASSERT_EQ(QApplication::activeWindow(), main.get());
    QTest::keyClick(main.get(), key, modifiers);
}

void MainWindowTest::closeMain()
{
    main.reset();
}

void MainWindowTest::sql(const QString &statement, const QVariantList &values)
{
    RunSql(*data->Con, statement, values);
}

QVariant MainWindowTest::scalar(const QString &statement, const QVariantList &values)
{
    return QueryScalar(*data->Con, statement, values);
}

QStringList MainWindowTest::rows(const QString &statement)
{
    return QueryRows(*data->Con, statement);
}

QStringList MainWindowTest::documentList() const
{
    QStringList result;
    for (int row = 0; row < data->Fio->RecordCount(); ++row)
        result.append(data->Fio->ValueAt(row, QStringLiteral("NPP")).toString() + QLatin1Char('|')
                      + data->Fio->ValueAt(row, QStringLiteral("Name")).toString());
    return result;
}

QString MainWindowTest::currentDocument() const
{
    return data->Fio->AsString(QStringLiteral("Name"));
}

void MainWindowTest::locateDocument(const QString &name)
{
    ASSERT_TRUE(data->Fio->Locate(QStringLiteral("Name"), name));
}

void MainWindowTest::typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c.isDigit() ? Qt::Key(Qt::Key_0 + c.digitValue())
            : c.unicode() < 128 && c.isLetter() ? Qt::Key(c.toUpper().unicode())
                                                : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Press, widget, key, QString(c), Qt::NoModifier);
        QTest::sendKeyEvent(QTest::Release, widget, key, QString(c), Qt::NoModifier);
    }
}

void MainWindowTest::whileModal(QWidget *dialog, const std::function<void()> &answer,
                                const std::function<void()> &action)
{
    bool seen = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!seen && dialog->isVisible() && QApplication::activeModalWidget() == dialog) {
            // Answer once the dialog is the active window, as the operator sees it.
            if (QApplication::activeWindow() != dialog && clock.elapsed() < 2000)
                return;
            if (QApplication::activeWindow() != dialog)
                QApplication::setActiveWindow(dialog);
            seen = true;
            answer();
            return;
        }
        // Never hang: a modal window still open after ten seconds is closed.
        if (clock.elapsed() > 10000) {
            poll.stop();
            for (int i = 0; i < 5 && QApplication::activeModalWidget(); ++i)
                QApplication::activeModalWidget()->close();
        }
    });
    poll.start();
    action();
    poll.stop();
    EXPECT_TRUE(seen) << "the dialog " << dialog->objectName().toStdString() << " did not appear";
    EXPECT_FALSE(dialog->isVisible()) << "the dialog " << dialog->objectName().toStdString() << " stayed open";
}
