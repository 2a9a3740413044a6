#include "ui/edit_panel.h"

#include "db/dataset.h"
#include "ui/ui_helpers.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QKeyEvent>

TEditPanel::TEditPanel(QWidget *panel, TDataSet *dataSet, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_dataSet(dataSet)
{
    connect(qApp, &QApplication::focusChanged, this, &TEditPanel::focusChanged);
}

bool TEditPanel::editing() const
{
    return m_dataSet && (m_dataSet->State() == dsEdit || m_dataSet->State() == dsInsert);
}

void TEditPanel::addControl(QWidget *control)
{
    InstallEnterAsTab(control);
    control->installEventFilter(this);
}

void TEditPanel::guardGrid(QAbstractItemView *grid)
{
    m_gridViewport = grid->viewport();
    m_gridViewport->installEventFilter(this);
}

bool TEditPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_gridViewport) {
        // The focus has already moved to the grid (and the panel's exit has run)
        // when the press arrives here: a row still in edit means the save failed.
        const bool press = event->type() == QEvent::MouseButtonPress
            || event->type() == QEvent::MouseButtonDblClick || event->type() == QEvent::MouseButtonRelease;
        return press && editing() && m_panel && m_panel->isEnabled();
    }
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
            if (onEscape)
                RunHandler(onEscape);
            return true;
        }
    }
    return false;
}

void TEditPanel::focusChanged(QWidget *old, QWidget *now)
{
    if (m_inExit || !m_panel || !old || !now)
        return;
    if (!m_panel->isAncestorOf(old) || m_panel->isAncestorOf(now) || now->window() != m_panel->window())
        return;
    m_inExit = true;
    if (onExit)
        RunHandler(onExit);
    m_inExit = false;
}
