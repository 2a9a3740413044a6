// The common ground of the main-window tests: a temporary working folder with
// a checked Ormena.mdb holding two templates, documents, a field dictionary
// with a secret field and value rows; the data module opened on it as the
// program opens it; the main window created and shown as the program shows it;
// and helpers to type, to drive a modal dialog and to read the tables back.
#pragma once

#include "app/settings_store.h"
#include "common/message_box_presenter.h"
#include "db/data_module.h"
#include "support/temp_workspace.h"
#include "ui/main_window.h"

#include <QString>
#include <QVariant>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>

// Readable texts in the failure reports.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates the main window as the program does (FormCreate, shown, FormShow)
    // and waits until it is the active window, so keys and focus moves are real.
    void openMain();
    // Presses a key on the main window once it is the active window again (a
    // closed dialog hands the activation back a moment later).
    void keyOnMain(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Destroys the main window as shutdown does: the settings are saved first.
    void closeMain();

    void sql(const QString &statement, const QVariantList &values = {});
    QVariant scalar(const QString &statement, const QVariantList &values = {});
    // Every row of a query as "a|b|c" texts.
    QStringList rows(const QString &statement);

    // The documents of the current template in the list's present order, "npp|name".
    QStringList documentList() const;
    QString currentDocument() const;
    void locateDocument(const QString &name);

    // Types text into a widget one character at a time, as a keyboard does
    // (any letters, Cyrillic included).
    static void typeText(QWidget *widget, const QString &text);
    // Runs action, during which the modal dialog must appear; answer then drives
    // it. A dialog that does not appear fails the test; one left open is closed
    // after ten seconds so that no test hangs.
    static void whileModal(QWidget *dialog, const std::function<void()> &answer,
                           const std::function<void()> &action);

    TempWorkspace ws;
    std::unique_ptr<TfData> data;
    std::unique_ptr<TfMain> main;
    int contractId = 0; // "Договор поставки"
};
