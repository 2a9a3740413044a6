// The word processor behind WordProcessor: LibreOffice Writer driven through
// its C++ UNO API over a named pipe of Ormena's own. The client attaches to an
// office already listening there or starts one, bounds every office call in
// time, and never leaves behind an office it started and no longer needs.
#pragma once

#include "docs/word_processor.h"

#include <memory>

struct LibreOfficeSettings {
    enum class Display { Automatic, Headless, Visible };

    // Folder holding soffice.bin; empty takes the office Ormena was built against.
    QString programDir;
    // Pipe the office accepts connections on; empty gives "ormena-<uid>".
    QString pipeName;
    // Private profile folder of the office Ormena starts; empty gives one in the
    // per-user cache folder.
    QString profileDir;
    // Automatic runs the office headless when there is no display to show it on.
    Display display = Display::Automatic;
    // Ends the office together with the program even when the program is
    // killed (tests). Off for the operator: an office holding a document being
    // edited outlives a crash of Ormena and is attached to again at the next start.
    bool stopWithProgram = false;
    int startTimeoutMs = 60000;
    int callTimeoutMs = 60000;
};

class LibreOfficeClient : public WordProcessor {
public:
    explicit LibreOfficeClient(LibreOfficeSettings settings = {});
    // Closes the hidden documents this client opened and ends the office when
    // nothing else is open in it; an office still showing documents stays.
    ~LibreOfficeClient() override;
    LibreOfficeClient(const LibreOfficeClient &) = delete;
    LibreOfficeClient &operator=(const LibreOfficeClient &) = delete;

    void Connect() override;
    bool IsConnected() const override;
    DocumentId CreateDocument() override;
    DocumentId OpenDocument(const QString &path) override;
    int ReplaceAll(DocumentId document, const QString &findText, const QString &replaceText) override;
    void SaveAs(DocumentId document, const QString &path) override;
    void ShowDocument(DocumentId document) override;
    QString DocumentText(DocumentId document) override;
    QList<DocumentId> DocumentsAt(const QString &path) override;
    void WaitUntilClosed(const QList<DocumentId> &documents, const std::function<void()> &started) override;
    void CloseDocument(DocumentId document) override;
    void Quit() override;

    const LibreOfficeSettings &settings() const;
    // True when this client started the office it talks to (not attached).
    bool StartedOffice() const;
    // Process id of the office this client started; 0 when it attached or has none.
    qint64 OfficeProcessId() const;
    // The pipe name used when the settings leave it empty.
    static QString DefaultPipeName();

private:
    class Impl;
    std::unique_ptr<Impl> d;
};
