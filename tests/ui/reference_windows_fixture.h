// The common ground of the reference-window tests: a temporary working folder
// with a checked Ormena.mdb and a Shablon folder, the data module opened on it
// as the program opens it, and helpers to seed rows, read the tables back and
// drive a window that is shown and active.
#pragma once

#include "app/settings_store.h"
#include "common/message_box_presenter.h"
#include "db/data_module.h"
#include "support/temp_workspace.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

class ReferenceWindowsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs SQL of SQLite's dialect on the module's connection (values bound).
    void sql(const QString &statement, const QVariantList &values = {});
    QVariant scalar(const QString &statement, const QVariantList &values = {});
    // Every row of a query as "a|b|c" texts, in the query's order.
    QStringList rows(const QString &statement);
    // Re-opens the module's lists after rows were written behind its back.
    void reopen();

    // Types text into the widget key by key; unlike QTest::keyClicks it takes
    // any letter, Cyrillic included.
    static void typeText(QWidget *widget, const QString &text);
    // Shows the window and waits until it is active, so focus moves are real.
    static void showActive(QWidget *window);
    // Runs action while a modal window of the given class appears; then
    // answer(modal) drives it. A modal that never appears fails the test.
    static void whileModal(const char *className, const std::function<void(QWidget *)> &answer,
                           const std::function<void()> &action);

    TempWorkspace ws;
    ScopedSettingsFolder settings{ws.file(QStringLiteral("config"))};
    std::unique_ptr<TfData> data;
};
