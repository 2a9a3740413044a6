#include "ui/change_number_dialog.h"

#include "db/data_module.h"
#include "ui/db_text.h"
#include "ui/ui_helpers.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfChangeNPP::TfChangeNPP(QWidget *owner)
    : TSpeedForm(owner, QStringLiteral("Изменить номер"), true)
{
    setObjectName(QStringLiteral("fChangeNPP"));
    QPalette red = palette();
    red.setColor(QPalette::WindowText, Qt::red);

    Label3 = new QLabel(QStringLiteral("Текущий №"), this);
    DBText_Npp = new TDBText(this);
    DBText_Npp->setObjectName(QStringLiteral("DBText_Npp"));
    Label4 = new QLabel(QStringLiteral("Название"), this);
    DBText_Name = new TDBText(this);
    DBText_Name->setObjectName(QStringLiteral("DBText_Name"));
    DBText_Name->setWordWrap(true);
    for (QLabel *value : {static_cast<QLabel *>(DBText_Npp), static_cast<QLabel *>(DBText_Name)}) {
        value->setPalette(red);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    DBText_Name->setMinimumWidth(280);

    Label5 = new QLabel(QStringLiteral("Новый №"), this);
    Edit_NPP = new QLineEdit(QStringLiteral("0"), this);
    Edit_NPP->setObjectName(QStringLiteral("Edit_NPP"));
    Edit_NPP->setFixedWidth(Edit_NPP->fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 16);
    Edit_NPP->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label5->setBuddy(Edit_NPP);
    InstallNumericKeyFilter(Edit_NPP);

    BitBtn4 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn4->setObjectName(QStringLiteral("BitBtn4"));
    BitBtn4->setDefault(true);
    BitBtn5 = new QPushButton(QStringLiteral("Cancel"), this);
    BitBtn5->setObjectName(QStringLiteral("BitBtn5"));
    for (QPushButton *button : {BitBtn4, BitBtn5})
        button->setMinimumWidth(std::max(90, button->sizeHint().width()));

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    form->addRow(Label3, DBText_Npp);
    form->addRow(Label4, DBText_Name);
    form->addRow(Label5, Edit_NPP);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn4);
    buttons->addWidget(BitBtn5);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addStretch();
    layout->addSpacing(8);
    layout->addLayout(buttons);

    connect(BitBtn4, &QPushButton::clicked, this, &QDialog::accept);
    connect(BitBtn5, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &TSpeedForm::shown, this, &TfChangeNPP::fChangeNPPShow);
}

void TfChangeNPP::bindData(TfData *data)
{
    DBText_Npp->setDataField(data ? data->Fio : nullptr, QStringLiteral("NPP"));
    DBText_Name->setDataField(data ? data->Fio : nullptr, QStringLiteral("Name"));
}

void TfChangeNPP::fChangeNPPShow()
{
    Edit_NPP->setFocus();
    Edit_NPP->selectAll();
}
