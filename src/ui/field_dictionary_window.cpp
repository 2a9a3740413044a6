#include "ui/field_dictionary_window.h"

#include "common/errors.h"
#include "common/message_boxes.h"
#include "db/data_module.h"
#include "ui/action_button.h"
#include "ui/db_check_box.h"
#include "ui/db_edit.h"
#include "ui/db_grid.h"
#include "ui/edit_panel.h"
#include "ui/grid_printer.h"
#include "ui/ui_helpers.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kNpp = QStringLiteral("Npp");
const QString kName = QStringLiteral("Name");
const QString kSkript = QStringLiteral("Skript");
const QString kIsSecure = QStringLiteral("isSecure");
const QString kIsEdit = QStringLiteral("isEdit");

QString MessageOf(const std::exception &error)
{
    if (const auto *ormenaError = dynamic_cast<const OrmenaError *>(&error))
        return ormenaError->message();
    return QString::fromUtf8(error.what());
}

bool Editing(const TDataSet *table)
{
    return table->State() == dsEdit || table->State() == dsInsert;
}

// A print font of the dictionary: MS Sans Serif, or the system's sans serif
// face where that font is not installed.
QFont SansSerif(qreal points, bool bold)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

} // namespace

bool StartRecordEdit(bool editMode, TDataSet *table, QWidget *panel, QWidget *firstEdit)
{
    try {
        if (panel) {
            panel->setEnabled(true);
            panel->setVisible(true);
            QCoreApplication::processEvents();
        }
        if (firstEdit)
            firstEdit->setFocus();
        if (Editing(table))
            table->Cancel();
        if (!editMode) {
            table->Append();
            return true;
        }
        if (!table->IsEmpty()) {
            table->Edit();
            return true;
        }
        ShowMessageBox(QStringLiteral("Нет записей для редактирования!"), QStringLiteral("Предупреждение!"),
                       mkWarning);
        if (panel) {
            panel->setEnabled(false);
            panel->setVisible(false);
            QCoreApplication::processEvents();
        }
        return false;
    } catch (const std::exception &error) {
        // A panel left open over a row that is not being edited would let typing change that row.
        if (panel)
            panel->setEnabled(false);
        ShowError(editMode ? QStringLiteral("Ошибка изменения записи!") : QStringLiteral("Ошибка добавления записи!"),
                  MessageOf(error));
        return false;
    }
}

TfSprField::TfSprField(TfData *data, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint)
    , m_data(data)
{
    setObjectName(QStringLiteral("fSprField"));
    setWindowTitle(QStringLiteral("Справочник полей"));
    createComponents();
    setFixedSize(515, 357);
}

TfSprField::~TfSprField()
{
    delete PrintGrid;
}

void TfSprField::createComponents()
{
    actAdd = new QAction(QStringLiteral("Добавить (F5)"), this);
    actAdd->setToolTip(QStringLiteral("Добавить"));
    actAdd->setShortcut(Qt::Key_F5);
    actEdit = new QAction(QStringLiteral("Изменить (F4)"), this);
    actEdit->setToolTip(QStringLiteral("Изменить"));
    actEdit->setShortcut(Qt::Key_F4);
    actPrint = new QAction(QStringLiteral("Печать (F9)"), this);
    actPrint->setToolTip(QStringLiteral("Печать"));
    actPrint->setShortcut(Qt::Key_F9);
    for (QAction *action : {actAdd, actEdit, actPrint}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(actAdd, &QAction::triggered, this, [this] { actAddExecute(); });
    connect(actEdit, &QAction::triggered, this, [this] { actEditExecute(); });
    connect(actPrint, &QAction::triggered, this, [this] { RunHandler([this] { actPrintExecute(); }); });

    // Secret fields carry a check mark in the grid (and on paper).
    m_data->tSprField->SetGetText(kIsSecure, [](const TDataSet &, int, const QVariant &value) {
        return value.toBool() ? QStringLiteral("\u2713") : QString();
    });

    QFont bold = font();
    bold.setBold(true);

    Grid = new TDBGrid(this);
    Grid->setObjectName(QStringLiteral("Grid"));
    Grid->setFont(bold);
    Grid->setRowLines(1);
    Grid->setDataSet(m_data->tSprField);
    Grid->setColumns({
        GridColumn(QStringLiteral("№ п.п."), kNpp, 47),
        GridColumn(QStringLiteral("Имя"), kName, 99),
        // The flag's title needs more room than 30 pixels in today's fonts; the description gives it.
        GridColumn(QStringLiteral("Описание"), kSkript, 300),
        GridColumn(QStringLiteral("Секр."), kIsSecure, 42),
    });
    Grid->setFixedHeight(267);

    auto *panel = new QFrame(this);
    panel->setFrameShape(QFrame::StyledPanel);
    panel->setFrameShadow(QFrame::Sunken);
    PanelEdit = panel;
    PanelEdit->setObjectName(QStringLiteral("PanelEdit"));
    Edit1 = new TDBEdit(PanelEdit);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setIntegerField(true);
    Edit1->setFixedWidth(41);
    Edit1->setDataField(m_data->tSprField, kNpp);
    Edit2 = new TDBEdit(PanelEdit);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setFixedWidth(100);
    Edit2->setMaxLength(20);
    Edit2->setDataField(m_data->tSprField, kName);
    Edit3 = new TDBEdit(PanelEdit);
    Edit3->setObjectName(QStringLiteral("Edit3"));
    Edit3->setFixedWidth(308);
    Edit3->setMaxLength(50);
    Edit3->setDataField(m_data->tSprField, kSkript);
    DBCheckBox1 = new TDBCheckBox(QString(), PanelEdit);
    DBCheckBox1->setObjectName(QStringLiteral("DBCheckBox1"));
    DBCheckBox1->setToolTip(QStringLiteral("Секретное поле"));
    DBCheckBox1->setDataField(m_data->tSprField, kIsSecure);
    auto *panelLayout = new QHBoxLayout(PanelEdit);
    panelLayout->setContentsMargins(4, 4, 4, 4);
    panelLayout->setSpacing(4);
    panelLayout->addWidget(Edit1);
    panelLayout->addWidget(Edit2);
    panelLayout->addWidget(Edit3);
    panelLayout->addWidget(DBCheckBox1);
    panelLayout->addStretch();
    PanelEdit->setEnabled(false);

    m_panel = new TEditPanel(PanelEdit, m_data->tSprField, this);
    m_panel->onExit = [this] { PanelEditExit(); };
    m_panel->onEscape = [this] { Edit1Escape(); };
    for (QWidget *control : {static_cast<QWidget *>(Edit1), static_cast<QWidget *>(Edit2),
                             static_cast<QWidget *>(Edit3), static_cast<QWidget *>(DBCheckBox1)})
        m_panel->addControl(control);
    m_panel->guardGrid(Grid);

    Button1 = MakeActionButton(actAdd, this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button2 = MakeActionButton(actEdit, this);
    Button2->setObjectName(QStringLiteral("Button2"));
    BitBtn1 = MakeActionButton(actPrint, this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn2 = new QPushButton(QStringLiteral("OK"), this);
    BitBtn2->setObjectName(QStringLiteral("BitBtn2"));
    BitBtn2->setDefault(true);
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    buttons->addWidget(BitBtn1);
    buttons->addStretch();
    buttons->addWidget(BitBtn2);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(Grid);
    layout->addWidget(PanelEdit);
    layout->addStretch();
    layout->addLayout(buttons);

    setTabOrder(Grid, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, DBCheckBox1);
    setTabOrder(DBCheckBox1, Button1);
    setTabOrder(Button1, Button2);
    setTabOrder(Button2, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);

    PrintGrid = new TPrintDBGrid(Grid);
    PrintGrid->PageHeaderText = QStringLiteral("Справочник полей");
    PrintGrid->PageHeaderFont = SansSerif(12, true); // 16 pixels high at 96 dots per inch
    PrintGrid->PageFooterText = QString();
    PrintGrid->PageFooterFont = QFont();
    PrintGrid->PrintFont = SansSerif(8, false); // the face's usual size
    PrintGrid->PageMarginsMm = QMarginsF(2, 2, 2, 2);
}

bool TfSprField::editing() const
{
    return Editing(m_data->tSprField);
}

void TfSprField::done(int result)
{
    // A field still being added or changed is saved (or refused) before the window closes.
    if (editing()) {
        PanelEditExit();
        if (editing())
            return;
    }
    QDialog::done(result);
}

void TfSprField::actAddExecute()
{
    StartRecordEdit(false, m_data->tSprField, PanelEdit, Edit1);
}

void TfSprField::actEditExecute()
{
    TDataSet *table = m_data->tSprField;
    // A pending insert or edit is dropped first (as Esc drops it), so the reserved check
    // looks at the row that would be edited and no panel stays open over a browsed row.
    if (editing())
        Edit1Escape();
    if (table->Active() && !table->IsEmpty() && table->Value(kIsEdit).toBool()) {
        ShowMessageBox(QStringLiteral("Это поле зарезервировано и изменению не подлежит"), QString(), mkPlain);
        return;
    }
    StartRecordEdit(true, table, PanelEdit, Edit1);
}

void TfSprField::Edit1Escape()
{
    if (editing())
        m_data->tSprField->Cancel();
    Grid->setFocus();
    // In a window that is not active the focus change reports no exit: close the panel here.
    if (PanelEdit->isEnabled())
        PanelEditExit();
}

void TfSprField::PanelEditExit()
{
    TDataSet *table = m_data->tSprField;
    if (editing()) {
        // A field without a number or a name cannot be used in a template ("&" alone would be
        // replaced everywhere): the operator completes it or presses Esc.
        QWidget *missing = nullptr;
        if (table->IsNull(kNpp))
            missing = Edit1;
        else if (table->AsString(kName).trimmed().isEmpty())
            missing = Edit2;
        if (missing) {
            ShowMessageBox(QStringLiteral("Не заполнен порядковый номер или имя поля.\r\r"
                                          "Заполните их или нажмите Esc для отмены."),
                           QStringLiteral("Ошибка ввода данных!"), mkPlain);
            missing->setFocus();
            return;
        }
        try {
            table->Post();
        } catch (const std::exception &) {
            ShowMessageBox(QStringLiteral("Возникла ошибка при редатировании записи.\r\r"
                                          "Возможно Вы ввели дублирующий порядковы номер или\r"
                                          "дублирующее имя поля"),
                           QStringLiteral("Ошибка ввода данных!"), mkPlain);
            table->Cancel();
        }
    }
    Grid->setFocus();
    PanelEdit->setEnabled(false);
}

void TfSprField::actPrintExecute()
{
    PrintGrid->Preview(this);
}
