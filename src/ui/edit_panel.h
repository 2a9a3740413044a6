// TEditPanel: the behaviour the reference windows give the edit panel under
// their grid. When the focus leaves the panel for another control of the same
// window the exit handler runs (a box or another window taking the focus is
// not an exit); Enter in a panel control moves the focus on as Tab does, and
// Esc runs the cancel handler instead of closing the window. While the panel's
// row is still being edited or inserted after an exit (its save was refused),
// clicks on the grid are held back so they cannot move the grid to another row.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractItemView;
class QWidget;
class TDataSet;

class TEditPanel : public QObject {
    Q_OBJECT
public:
    TEditPanel(QWidget *panel, TDataSet *dataSet, QObject *parent = nullptr);

    // Runs when the focus has left the panel for another control of its window.
    std::function<void()> onExit;
    // Runs for Esc pressed in a panel control.
    std::function<void()> onEscape;

    // A control of the panel: Enter moves on, Esc cancels.
    void addControl(QWidget *control);
    // The grid whose clicks wait while the row is still being edited.
    void guardGrid(QAbstractItemView *grid);

    QWidget *panel() const { return m_panel; }
    // True while the dataset holds an unsaved insert or edit.
    bool editing() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void focusChanged(QWidget *old, QWidget *now);

    QPointer<QWidget> m_panel;
    QPointer<TDataSet> m_dataSet;
    QPointer<QWidget> m_gridViewport;
    bool m_inExit = false;
};
