#include "ui/find_dialog.h"

#include "db/data_module.h"
#include "ui/ui_helpers.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kNumberWidth = 47;
constexpr int kNameWidth = 337;
} // namespace

TfFinde::TfFinde(QWidget *owner)
    : TSpeedForm(owner, QStringLiteral("Поиск..."), false)
{
    setObjectName(QStringLiteral("fFinde"));
    Label6 = new QLabel(QStringLiteral("№ документа"), this);
    Edit_NumDoc = new QLineEdit(this);
    Edit_NumDoc->setObjectName(QStringLiteral("Edit_NumDoc"));
    Edit_NumDoc->setFixedWidth(std::max(kNumberWidth, Label6->sizeHint().width()));
    Edit_NumDoc->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label6->setBuddy(Edit_NumDoc);
    InstallNumericKeyFilter(Edit_NumDoc);

    Label7 = new QLabel(QStringLiteral("Наименование (Название)"), this);
    Edit_Name = new QLineEdit(this);
    Edit_Name->setObjectName(QStringLiteral("Edit_Name"));
    Edit_Name->setFixedWidth(kNameWidth);
    Label7->setBuddy(Edit_Name);

    LbFindeInfo = new QLabel(this);
    LbFindeInfo->setObjectName(QStringLiteral("LbFindeInfo"));
    LbFindeInfo->setAlignment(Qt::AlignCenter);
    LbFindeInfo->setWordWrap(false);
    LbFindeInfo->setMinimumWidth(kNameWidth);
    QPalette maroon = LbFindeInfo->palette();
    maroon.setColor(QPalette::WindowText, QColor(0x80, 0x00, 0x00));
    LbFindeInfo->setPalette(maroon);
    QFont bold = LbFindeInfo->font();
    bold.setBold(true);
    LbFindeInfo->setFont(bold);
    LbFindeInfo->setMinimumHeight(LbFindeInfo->fontMetrics().lineSpacing() * 2 + 4);

    BitBtn3 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn3->setObjectName(QStringLiteral("BitBtn3"));
    BitBtn3->setDefault(true);
    BitBtn3->setMinimumWidth(std::max(90, BitBtn3->sizeHint().width()));

    auto *fields = new QGridLayout;
    fields->setHorizontalSpacing(12);
    fields->addWidget(Label6, 0, 0);
    fields->addWidget(Label7, 0, 1);
    fields->addWidget(Edit_NumDoc, 1, 0);
    fields->addWidget(Edit_Name, 1, 1);

    auto *strip = new QFrame(this);
    strip->setFrameShape(QFrame::StyledPanel);
    strip->setFrameShadow(QFrame::Sunken);
    auto *stripLayout = new QHBoxLayout(strip);
    stripLayout->addWidget(LbFindeInfo, 1);
    stripLayout->addWidget(BitBtn3, 0, Qt::AlignVCenter);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(strip);
    setTabOrder(Edit_NumDoc, Edit_Name);
    setTabOrder(Edit_Name, BitBtn3);

    Edit_NumDoc->installEventFilter(this);
    Edit_Name->installEventFilter(this);
    connect(Edit_NumDoc, &QLineEdit::textChanged, this, [this] { RunHandler([this] { Edit_NumDocChange(); }); });
    connect(Edit_Name, &QLineEdit::textChanged, this, [this] { RunHandler([this] { Edit_NameChange(); }); });
    connect(BitBtn3, &QPushButton::clicked, this, &QDialog::accept);
    connect(this, &TSpeedForm::shown, this, &TfFinde::fFindeShow);
}

bool TfFinde::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn) {
        if (watched == Edit_NumDoc)
            Edit_NumDocEnter();
        else if (watched == Edit_Name)
            Edit_NameEnter();
    }
    return TSpeedForm::eventFilter(watched, event);
}

void TfFinde::fFindeShow()
{
    Edit_NumDoc->setFocus();
    LbFindeInfo->clear();
}

void TfFinde::Edit_NumDocEnter()
{
    Edit_Name->clear();
}

void TfFinde::Edit_NameEnter()
{
    Edit_NumDoc->clear();
}

void TfFinde::Edit_NumDocChange()
{
    LbFindeInfo->clear();
    const QString text = Edit_NumDoc->text();
    if (text.isEmpty())
        return;
    const int number = TextToInteger(text);
    ShowFindeInfo(m_data && m_data->FindDocumentByNumber(number));
}

void TfFinde::Edit_NameChange()
{
    LbFindeInfo->clear();
    const QString text = Edit_Name->text();
    if (text.isEmpty())
        return;
    ShowFindeInfo(m_data && m_data->FindDocumentByName(text));
}

void TfFinde::ShowFindeInfo(bool found)
{
    if (!found || !m_data) {
        LbFindeInfo->clear();
        return;
    }
    // Two lines: the number, then the name, shortened with an ellipsis when it does not fit.
    const QString name = m_data->Fio->AsString(QStringLiteral("Name"));
    const int width = std::max(LbFindeInfo->width(), LbFindeInfo->minimumWidth()) - 8;
    const QString shown = LbFindeInfo->fontMetrics().elidedText(name, Qt::ElideRight, width);
    LbFindeInfo->setText(m_data->Fio->AsString(QStringLiteral("NPP")) + QLatin1Char('\n') + shown);
    LbFindeInfo->setToolTip(shown == name ? QString() : name);
}
