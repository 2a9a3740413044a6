#include "ui/edit_document_dialog.h"

#include "db/data_module.h"
#include "ui/db_edit.h"
#include "ui/ui_helpers.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kNameWidth = 444;
constexpr int kNameLength = 250; // the Name column of Fio holds up to 250 characters
} // namespace

TfEditFio::TfEditFio(QWidget *owner)
    : TSpeedForm(owner, QStringLiteral("Редактирование..."), false)
{
    setObjectName(QStringLiteral("fEditFio"));
    Label1 = new QLabel(QStringLiteral("№ документа"), this);
    Label2 = new QLabel(QStringLiteral("Наименование (Название)"), this);
    dbEdit_Npp = new TDBEdit(this);
    dbEdit_Npp->setObjectName(QStringLiteral("dbEdit_Npp"));
    dbEdit_Npp->setIntegerField(true);
    dbEdit_Npp->setFixedWidth(dbEdit_Npp->fontMetrics().horizontalAdvance(QStringLiteral("000000000")) + 16);
    dbEdit_Npp->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    DBEditEh4 = new TDBEdit(this);
    DBEditEh4->setObjectName(QStringLiteral("DBEditEh4"));
    DBEditEh4->setMaxLength(kNameLength);
    DBEditEh4->setFixedWidth(kNameWidth);
    Label1->setBuddy(dbEdit_Npp);
    Label2->setBuddy(DBEditEh4);
    InstallEnterAsTab(dbEdit_Npp);
    InstallEnterAsTab(DBEditEh4);

    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    BitBtn2 = new QPushButton(QStringLiteral("Отмена"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    for (QPushButton *button : {BitBtn1, BitBtn2})
        button->setMinimumWidth(std::max(90, button->sizeHint().width()));

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->addWidget(Label1, 0, 0);
    fields->addWidget(Label2, 0, 1);
    fields->addWidget(dbEdit_Npp, 1, 0);
    fields->addWidget(DBEditEh4, 1, 1);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setTabOrder(dbEdit_Npp, DBEditEh4);
    setTabOrder(DBEditEh4, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { RunHandler([this] { BitBtn2Click(); }); });
    connect(this, &TSpeedForm::shown, this, &TfEditFio::FormShow);
}

void TfEditFio::bindData(TfData *data)
{
    m_data = data;
    dbEdit_Npp->setDataField(data ? data->Fio : nullptr, QStringLiteral("NPP"));
    DBEditEh4->setDataField(data ? data->Fio : nullptr, QStringLiteral("Name"));
}

void TfEditFio::FormShow()
{
    // A new document starts at its proposed number, an existing one at its name.
    if (dbEdit_Npp->isEnabled())
        dbEdit_Npp->setFocus();
    else
        DBEditEh4->setFocus();
}

void TfEditFio::BitBtn1Click()
{
    // OK closes the box whatever happens inside.
    struct CloseWithOk {
        TfEditFio *form;
        ~CloseWithOk() { form->done(QDialog::Accepted); }
    } closer{this};
    if (!m_data)
        return;
    try {
        if (m_data->SaveDocument() && DocumentGrid)
            DocumentGrid->setFocus();
    } catch (...) {
        // An error SaveDocument does not report itself: the input is dropped as for a refused post.
        m_data->CancelDocument();
        throw;
    }
}

void TfEditFio::BitBtn2Click()
{
    struct CloseWithCancel {
        TfEditFio *form;
        ~CloseWithCancel() { form->QDialog::reject(); }
    } closer{this};
    if (m_data) {
        const TDataSetState state = m_data->Fio->State();
        if (state == dsEdit || state == dsInsert)
            m_data->CancelDocument();
    }
    if (DocumentGrid)
        DocumentGrid->setFocus();
}

void TfEditFio::reject()
{
    RunHandler([this] { BitBtn2Click(); });
}
