#include "reference_windows_fixture.h"

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
    auto query = data->Con->prepare(statement);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    query->exec();
}

QVariant ReferenceWindowsTest::scalar(const QString &statement, const QVariantList &values)
{
    auto query = data->Con->prepare(statement);
    for (int i = 0; i < values.size(); ++i)
        query->bindValue(i, values.at(i));
    return query->next() ? query->value(0) : QVariant();
}

QStringList ReferenceWindowsTest::rows(const QString &statement)
{
    QStringList result;
    auto query = data->Con->prepare(statement);
    while (query->next()) {
        QStringList values;
        for (int c = 0; c < query->columnCount(); ++c)
            values.append(query->isNull(c) ? QStringLiteral("<null>") : query->value(c).toString());
        result.append(values.join(QLatin1Char('|')));
    }
    return result;
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
