// Support for the word-processor tests: a private headless office for each
// test program, template fixtures written as flat ODF text and turned into
// .doc, .rtf, .docx or .odt by the office itself, and read-back of a file's text.
#pragma once

#include "docs/libreoffice_client.h"
#include "docs/word_processor.h"
#include "support/temp_workspace.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>

class QTemporaryDir;

// Settings of an office only this test program uses: its own pipe and profile, headless.
LibreOfficeSettings TestOfficeSettings();

// The body of the standard template: plain, lower-case, bold-split, table,
// header, footer and prefix markers.
QString StandardTemplateXml();
// A flat ODF text document with the given body paragraphs (XML allowed), header and footer.
QString FlatOdt(const QStringList &paragraphs, const QString &header, const QString &footer,
                const QString &tableCell = QString());
// Writes xml as <dir>/<base>.fodt and has the office save it as <dir>/<base>.<extension>.
QString MakeDocument(WordProcessor &word, const QString &dir, const QString &base, const QString &extension,
                     const QString &xml);
// The whole text of a document file as the office reads it.
QString ReadText(WordProcessor &word, const QString &path);
// The first bytes that tell the formats apart.
QString FormatOf(const QString &path);
// True while a process with that id exists and has not ended.
bool ProcessAlive(qint64 pid);
// True once the process has ended, waiting at most ms for it.
bool ProcessGone(qint64 pid, int ms = 15000);

// A test with a working folder of its own (also the temporary folder) and the
// program's word processor set to this test program's private office.
class OfficeTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    LibreOfficeClient &client();

    std::unique_ptr<TempWorkspace> workspace;
    QString templateDir;
    QByteArray previousTmpDir;
};
