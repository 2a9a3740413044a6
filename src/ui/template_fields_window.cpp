#include "ui/template_fields_window.h"

#include "common/errors.h"
#include "common/message_boxes.h"
#include "db/data_module.h"
#include "ui/db_grid.h"
#include "ui/db_text.h"
#include "ui/ui_helpers.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kSprFieldId = QStringLiteral("SprField_Id");

QLabel *Caption(const QString &text, const QColor &colour, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

void SetBackground(TDBGrid *grid, const QColor &colour)
{
    QPalette palette = grid->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, colour);
    grid->setPalette(palette);
}

} // namespace

TfShablonFld::TfShablonFld(TfData *data, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_data(data)
{
    setObjectName(QStringLiteral("fShablonFld"));
    setWindowTitle(QStringLiteral("Справочник полей документа"));
    createComponents();
    setFixedSize(757, 513);
}

void TfShablonFld::createComponents()
{
    // Top line: the template whose fields are edited.
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Текущий документ"), this));
    LabelShablon = new TDBText(this);
    LabelShablon->setObjectName(QStringLiteral("LabelShablon"));
    QFont bold = LabelShablon->font();
    bold.setBold(true);
    LabelShablon->setFont(bold);
    LabelShablon->setDataField(m_data->Shablon, QStringLiteral("Name"));
    top->addWidget(LabelShablon, 1);

    // Left: the template's fields.
    LabelLeft = Caption(QStringLiteral("Поля принадлежащие текущему документу"), Qt::red, this);
    GridShablonFld = new TDBGrid(this);
    GridShablonFld->setObjectName(QStringLiteral("GridShablonFld"));
    GridShablonFld->setDataSet(m_data->ShablonFld);
    GridShablonFld->setColumns({
        GridColumn(QStringLiteral("Имя"), QStringLiteral("Name"), 110),
        GridColumn(QStringLiteral("Описание поля"), QStringLiteral("Script"), 225),
    });
    GridShablonFld->setRowLines(2);
    SetBackground(GridShablonFld, Qt::white);
    auto *left = new QVBoxLayout;
    left->addWidget(LabelLeft);
    left->addWidget(GridShablonFld, 1);
    auto *leftBox = new QWidget(this);
    leftBox->setLayout(left);
    left->setContentsMargins(0, 0, 0, 0);
    leftBox->setFixedWidth(361);

    // The four move buttons.
    auto makeButton = [this, &bold](const QString &text, const QString &hint, const QString &name) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(name);
        button->setToolTip(hint);
        button->setFont(bold);
        button->setAutoDefault(false);
        button->setFixedSize(29, 29);
        return button;
    };
    sbAdd = makeButton(QStringLiteral("<"), QStringLiteral("Добавить"), QStringLiteral("sbAdd"));
    sbDelete = makeButton(QStringLiteral(">"), QStringLiteral("Удалить"), QStringLiteral("sbDelete"));
    sbAddAll = makeButton(QStringLiteral("<<"), QStringLiteral("Добавить все"), QStringLiteral("sbAddAll"));
    sbDeleteAll = makeButton(QStringLiteral(">>"), QStringLiteral("Удалить все"), QStringLiteral("sbDeleteAll"));
    connect(sbAdd, &QPushButton::clicked, this, [this] { RunHandler([this] { sbAddClick(); }); });
    connect(sbDelete, &QPushButton::clicked, this, [this] { RunHandler([this] { sbDeleteClick(); }); });
    connect(sbAddAll, &QPushButton::clicked, this, [this] { RunHandler([this] { sbAddAllClick(); }); });
    connect(sbDeleteAll, &QPushButton::clicked, this, [this] { RunHandler([this] { sbDeleteAllClick(); }); });
    auto *middle = new QVBoxLayout;
    middle->setContentsMargins(2, 0, 2, 0);
    middle->addStretch();
    for (QPushButton *button : {sbAdd, sbDelete, sbAddAll, sbDeleteAll})
        middle->addWidget(button);
    middle->addStretch();
    auto *middleBox = new QWidget(this);
    middleBox->setLayout(middle);
    middleBox->setFixedWidth(33);

    // Right: the free dictionary fields, on pale blue.
    LabelRight = Caption(QStringLiteral("Поля в справочнике полей"), Qt::blue, this);
    GridSprField = new TDBGrid(this);
    GridSprField->setObjectName(QStringLiteral("GridSprField"));
    GridSprField->setDataSet(m_data->SprField);
    GridSprField->setColumns({
        GridColumn(QStringLiteral("Имя"), QStringLiteral("NAME"), 110),
        GridColumn(QStringLiteral("Описание поля"), QStringLiteral("SKRIPT"), 225),
    });
    GridSprField->setRowLines(2);
    SetBackground(GridSprField, QColor(240, 251, 255));
    auto *right = new QVBoxLayout;
    right->setContentsMargins(0, 0, 0, 0);
    right->addWidget(LabelRight);
    right->addWidget(GridSprField, 1);

    auto *lists = new QHBoxLayout;
    lists->setSpacing(0);
    lists->addWidget(leftBox);
    lists->addWidget(middleBox);
    lists->addLayout(right, 1);

    btnClose = new QPushButton(QStringLiteral("Закрыть"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setAutoDefault(false);
    connect(btnClose, &QPushButton::clicked, this, &QDialog::accept);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnClose);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
}

int TfShablonFld::Execute()
{
    m_data->LoadTemplateFields(0);
    m_data->LoadFreeFields(0);
    return exec();
}

bool TfShablonFld::addSelectedField()
{
    TDataSet *freeFields = m_data->SprField;
    TDataSet *fields = m_data->ShablonFld;
    if (!freeFields->Active() || freeFields->IsEmpty())
        return false;
    // Rows with no template behind them would belong to nothing: refuse instead.
    const int templateId = m_data->CurrentTemplateId();
    if (templateId == 0)
        throw OrmenaError(QStringLiteral("Не выбран шаблон документа.\r"
                                         "Поля добавляются только к сохраненному шаблону"));
    const QVariant addedId = freeFields->Value(QStringLiteral("ID"));
    fields->Append();
    try {
        fields->SetValue(QStringLiteral("Npp"), freeFields->Value(QStringLiteral("NPP")));
        fields->SetValue(kSprFieldId, addedId);
        fields->SetValue(QStringLiteral("Shablon_Id"), templateId);
        fields->Post();
    } catch (...) {
        // The left list shows only rows the database holds.
        fields->Cancel();
        throw;
    }
    m_data->LoadTemplateFields(addedId.toInt());
    // The free list still holds the added field: the field after it becomes current next.
    const int next = freeFields->CurrentIndex() + 1;
    const int following = next < freeFields->RecordCount() ? freeFields->ValueAt(next, QStringLiteral("ID")).toInt() : 0;
    m_data->LoadFreeFields(following);
    return true;
}

bool TfShablonFld::deleteSelectedField()
{
    TDataSet *fields = m_data->ShablonFld;
    if (!fields->Active() || fields->IsEmpty())
        return false;
    const int removedId = fields->AsInteger(kSprFieldId);
    fields->Delete();
    m_data->LoadTemplateFields(fields->IsEmpty() ? 0 : fields->AsInteger(kSprFieldId));
    m_data->LoadFreeFields(removedId);
    return true;
}

void TfShablonFld::sbAddClick()
{
    addSelectedField();
}

void TfShablonFld::sbDeleteClick()
{
    deleteSelectedField();
}

void TfShablonFld::sbAddAllClick()
{
    // Each pass must shorten the free list; one that does not ends the loop instead of spinning.
    int left = m_data->SprField->RecordCount();
    while (addSelectedField()) {
        const int now = m_data->SprField->RecordCount();
        if (now >= left)
            break;
        left = now;
    }
}

void TfShablonFld::sbDeleteAllClick()
{
    int left = m_data->ShablonFld->RecordCount();
    while (deleteSelectedField()) {
        const int now = m_data->ShablonFld->RecordCount();
        if (now >= left)
            break;
        left = now;
    }
}
