#include "reference_windows_fixture.h"
#include "support/sql_helpers.h"

#include "common/application_control.h"
#include "db/check_database.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

void ReferenceWindowsTest::SetUp()
{
    ws.makeTemplateFolder();
    CheckDatabase();
    data = std::make_unique<TfData>();
    SetDataModule(data.get());
    data->ProgramDir = ws.path();
    data->TemplateDir = ws.file(QStringLiteral("Shablon"));
    ResetTerminationRequest();
    ScriptedMessageBoxes quiet;
    data->OpenDatabase(false);
    ASSERT_TRUE(quiet.shown().isEmpty()) << quiet.shown().first().text.toStdString();
}

void ReferenceWindowsTest::TearDown()
{
    SetDataModule(nullptr);
    data.reset();
    ResetTerminationRequest();
}

void ReferenceWindowsTest::sql(const QString &statement, const QVariantList &values)
{
    RunSql(*data->Con, statement, values);
}

QVariant ReferenceWindowsTest::scalar(const QString &statement, const QVariantList &values)
{
    return QueryScalar(*data->Con, statement, values);
}

QStringList ReferenceWindowsTest::rows(const QString &statement)
{
    return QueryRows(*data->Con, statement);
}

void ReferenceWindowsTest::reopen()
{
    data->Shablon->Close();
    data->tSprField->Close();
    data->Shablon->Open();
    data->tSprField->Open();
}

void ReferenceWindowsTest::typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text) {
        const Qt::Key key = c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

void ReferenceWindowsTest::showActive(QWidget *window)
{
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void ReferenceWindowsTest::whileModal(const char *className, const std::function<void(QWidget *)> &answer,
                                      const std::function<void()> &action)
{
    bool seen = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget *modal = QApplication::activeModalWidget();
        if (modal && modal->inherits(className) && modal->isVisible()) {
            poll.stop();
            seen = true;
            answer(modal);
            return;
        }
        // Never hang: after ten seconds close whatever modal window is up.
        if (clock.elapsed() > 10000) {
            poll.stop();
            if (modal)
                modal->close();
        }
    });
    poll.start();
    action();
    poll.stop();
    EXPECT_TRUE(seen) << "no modal " << className << " appeared";
}
