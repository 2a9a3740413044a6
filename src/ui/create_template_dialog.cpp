#include "ui/create_template_dialog.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfCreateShablon::TfCreateShablon(QWidget *owner)
    : TSpeedForm(owner, QStringLiteral("Имя файла шаблона"), false)
{
    setObjectName(QStringLiteral("fCreateShablon"));
    EditFileName = new QLineEdit(this);
    EditFileName->setObjectName(QStringLiteral("EditFileName"));
    EditFileName->setFixedWidth(338);

    btnOk = new QPushButton(QStringLiteral("OK"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setAutoDefault(false);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(EditFileName);
    layout->addLayout(buttons);

    connect(this, &TSpeedForm::shown, this, [this] {
        EditFileName->setFocus();
        EditFileName->selectAll();
    });
}
