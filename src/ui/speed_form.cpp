#include "ui/speed_form.h"

#include <QLayout>
#include <QShowEvent>

TSpeedForm::TSpeedForm(QWidget *owner, const QString &caption, bool resizable)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_resizable(resizable)
{
    setWindowTitle(caption);
    setModal(true);
}

int TSpeedForm::execute()
{
    if (layout() && !m_resizable)
        layout()->setSizeConstraint(QLayout::SetFixedSize);
    // A resizable form keeps the size the operator gave it from one use to the next.
    if (!m_resizable || !m_sized)
        adjustSize();
    m_sized = true;
    if (QWidget *owner = parentWidget()) {
        const QRect ownerFrame = owner->window()->frameGeometry();
        QRect frame = frameGeometry();
        frame.moveCenter(ownerFrame.center());
        move(frame.topLeft());
    }
    return exec();
}

void TSpeedForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        Q_EMIT shown();
}
