// A push button that stands for an action: it shows the action's caption and
// hint, follows its enabled and visible state and triggers it when pressed.
#pragma once

class QAction;
class QPushButton;
class QWidget;

QPushButton *MakeActionButton(QAction *action, QWidget *parent);
// Binds an existing button to an action; a button is bound once.
void BindButtonToAction(QPushButton *button, QAction *action);
