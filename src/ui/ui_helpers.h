// Small behaviours shared by the program's windows: Enter moving the focus on
// as Tab does, the numeric key filter on a text box, the whole-number reading
// of a box's text with the conversion message, and running an event handler
// so that an error leaving it is shown instead of escaping into the toolkit.
#pragma once

#include <QString>
#include <functional>

class QLineEdit;
class QWidget;

// Enter (Return or the keypad's Enter) in the widget moves the focus to the
// next control, as Tab does; the key goes no further.
void InstallEnterAsTab(QWidget *widget);

// Passes only what NumericKeyFilter lets through (digits, the decimal separator,
// Backspace, Tab, Enter, Esc); other typed characters are dropped. Keys that
// type nothing (arrows, Delete) and Ctrl or Alt combinations are left alone.
void InstallNumericKeyFilter(QLineEdit *edit);

// The box's text as a whole number; any other text throws OrmenaError with the
// conversion message "'<text>' is not a valid integer value".
int TextToInteger(const QString &text);

// Runs an event handler; an error leaving it is shown by ShowUnhandledError
// (a silent abort shows nothing). True when the handler ran to its end.
bool RunHandler(const std::function<void()> &handler);
