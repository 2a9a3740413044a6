// The program's standard boxes: a message of one of five kinds, an error report,
// a Yes/No question, and the box for an error that left an event handler.
// All of them go through the installed MessageBoxPresenter.
#pragma once

#include <QMessageBox>
#include <QString>
#include <exception>

enum MessageKind { mkPlain = 0, mkInformation = 1, mkQuestion = 2, mkWarning = 3, mkError = 4 };

// Shows text with an OK button; an empty caption takes the kind's default caption.
QMessageBox::StandardButton ShowMessageBox(const QString &text, const QString &caption = QString(),
                                           MessageKind kind = mkPlain);

// Reports an error with the fixed advice to tell the developer; a blank error
// text reads "Отсутствует.".
void ShowError(const QString &message, const QString &errorText);

// Yes/No question, Yes the default; true exactly when Yes was pressed.
bool AskYesNo(const QString &text, const QString &caption);

// The text ShowUnhandledError shows: the message with a full stop added when it
// ends in a character whose code is greater than that of ".".
QString UnhandledErrorText(const QString &message);
void ShowUnhandledError(const QString &message);
// Shows an exception that escaped an event handler; a SilentAbort shows nothing.
void ShowUnhandledError(const std::exception &error);

// The default captions of the five kinds.
QString DefaultCaption(MessageKind kind);
