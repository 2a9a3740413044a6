// TValueEditor: the in-place editor of a field value, a bound edit laid over the
// value cell of the current row. It reports Enter and Esc, and the focus moving
// to another control of its window; a focus that goes to another window (a
// message box, a dialog) is not a leave, so the editor stays as it is.
#pragma once

#include "ui/db_edit.h"

class TValueEditor : public TDBEdit {
    Q_OBJECT
public:
    explicit TValueEditor(QWidget *parent = nullptr);

Q_SIGNALS:
    void enterPressed();
    void escapePressed();
    void left();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
};
