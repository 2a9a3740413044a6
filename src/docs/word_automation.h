// Document production through the word processor: attach to it or start it,
// create an empty document, open a document for the operator, and fill a copy
// of a template with a replacement list. Each operation shows its own wait
// window and reports its own failures in the program's message boxes.
#pragma once

#include "docs/replace_list.h"
#include "docs/word_processor.h"

#include <QString>

#include <functional>
#include <memory>

struct LibreOfficeSettings;

// The connected word processor of the program (LibreOffice Writer unless one
// was installed). Fails with "Не могу запустить LibreOffice Writer.\rПопробуйте
// повторить попытку..." when it can be neither attached nor started.
WordProcessor &GetWordApplication();

// Creates an empty document saved at path (Word 97 format for ".doc", the
// format the extension names otherwise). False, after a message box, on failure.
bool CreateWordDocument(const QString &path);

// Opens path for the operator, shows it maximised and in front and returns
// once the operator has closed it, or after a message box on failure.
void OpenWordDocument(const QString &path);

// Copies the template to WorkingCopyPath(template), applies the list to the
// copy in list order, saves it over itself in the template's format, shows it
// and returns once the operator has closed it. result is the copy's path when
// the document was produced, empty otherwise. A template found nowhere and a
// word processor that cannot be started fail to the caller; every later
// failure ends in the production error box.
void FillTemplateCopy(const QString &templatePath, const TaReplace &list, QString &result);

// Shows the open documents whose file is path and returns once all of them are
// closed; returns at once when none is open. The program keeps repainting
// behind the caller's wait window meanwhile.
void WaitForDocumentWindow(const QString &path);

// The working copy of a template: "tmp_" + its file name in the private
// temporary folder.
QString WorkingCopyPath(const QString &templatePath);

// True while WaitForDocumentWindow waits for the operator (the idle watcher
// must not count that time as the program being idle).
bool DocumentWaitActive();

// Runs inside every document wait once it is in place, instead of (or before)
// the operator closing the document. Tests close the document through the
// word processor here; null restores the plain wait.
using DocumentWaitHook = std::function<void(WordProcessor &word, const QString &path)>;
void SetDocumentWaitHook(DocumentWaitHook hook);

// Settings of the LibreOffice client; the current client is ended and the next
// operation starts one with these settings.
void SetLibreOfficeSettings(const LibreOfficeSettings &settings);
// Puts another word processor in place of LibreOffice (a test double for the
// logic of the callers); null goes back to LibreOffice.
void InstallWordProcessor(std::unique_ptr<WordProcessor> processor);
// The program's word processor when one exists, without connecting it.
WordProcessor *CurrentWordProcessor();
// Ends the program's word processor: closes the hidden documents it opened and
// ends an office that holds nothing else. Runs by itself when the application
// object is destroyed.
void ShutdownWordApplication();
