// Producing the current document: offer the document stored with it, or fill
// a copy of its template with its values in the word processor, show it, and
// store the result with the document when that option is on.
#pragma once

class TfData;
class TMSG;

// The workflow behind "Создать документ" (F10). `msg` is the main window's
// three-way question component, whose events store the answer in `msgAnswer`
// (2 Yes, 3 No, 5 Cancel). Failures leave it as OrmenaError for the event loop.
void CreateDocumentWorkflow(TfData &data, TMSG &msg, int &msgAnswer);
