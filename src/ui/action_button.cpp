#include "ui/action_button.h"

#include <QAction>
#include <QPushButton>

void BindButtonToAction(QPushButton *button, QAction *action)
{
    auto follow = [button, action] {
        button->setText(action->text());
        button->setToolTip(action->toolTip());
        button->setEnabled(action->isEnabled());
        button->setVisible(action->isVisible());
    };
    follow();
    QObject::connect(action, &QAction::changed, button, follow);
    QObject::connect(button, &QPushButton::clicked, action, [action] { action->trigger(); });
}

QPushButton *MakeActionButton(QAction *action, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setAutoDefault(false);
    BindButtonToAction(button, action);
    return button;
}
