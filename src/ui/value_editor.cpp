#include "ui/value_editor.h"

#include <QFocusEvent>
#include <QKeyEvent>

TValueEditor::TValueEditor(QWidget *parent)
    : TDBEdit(parent)
{
}

void TValueEditor::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        Q_EMIT enterPressed();
        return;
    case Qt::Key_Escape:
        event->accept();
        Q_EMIT escapePressed();
        return;
    default:
        TDBEdit::keyPressEvent(event);
    }
}

void TValueEditor::focusOutEvent(QFocusEvent *event)
{
    TDBEdit::focusOutEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (isVisible())
        Q_EMIT left();
}
