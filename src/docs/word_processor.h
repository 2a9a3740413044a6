// The word processor as Ormena drives it: the few operations document
// production needs, behind one small interface so the rest of the program
// never sees the automation layer. Every call is bounded in time and reports
// failure by throwing OrmenaError with a Russian message.
#pragma once

#include <QList>
#include <QString>

#include <functional>

class WordProcessor {
public:
    // Identifies an open document within this client.
    using DocumentId = int;

    virtual ~WordProcessor() = default;

    // Attaches to the word processor or starts it and waits (bounded) until it answers.
    virtual void Connect() = 0;
    virtual bool IsConnected() const = 0;

    // A new empty text document, not shown.
    virtual DocumentId CreateDocument() = 0;
    // Opens a document file without showing it and without asking the operator
    // anything; fails when the file is not a word-processor document.
    virtual DocumentId OpenDocument(const QString &path) = 0;
    // Replaces every occurrence of findText, letter case ignored, also inside
    // longer words, no pattern matching; returns the number of replacements.
    virtual int ReplaceAll(DocumentId document, const QString &findText, const QString &replaceText) = 0;
    // Saves under path: over the document's own file in the format it was read
    // in, under another name in the format the name's extension says.
    virtual void SaveAs(DocumentId document, const QString &path) = 0;
    // Makes the document's window visible, maximised and in front.
    virtual void ShowDocument(DocumentId document) = 0;
    // The whole text: body with tables, headers and footers, text frames.
    virtual QString DocumentText(DocumentId document) = 0;
    // The open documents whose file is path, whoever opened them.
    virtual QList<DocumentId> DocumentsAt(const QString &path) = 0;
    // Returns once every listed document is closed (or the word processor is
    // gone); the program keeps repainting meanwhile. started runs once the
    // wait is in place.
    virtual void WaitUntilClosed(const QList<DocumentId> &documents, const std::function<void()> &started) = 0;
    // Closes a document without saving it.
    virtual void CloseDocument(DocumentId document) = 0;
    // Closes the documents this client opened and ends the word processor when
    // nothing else is open in it.
    virtual void Quit() = 0;
};
