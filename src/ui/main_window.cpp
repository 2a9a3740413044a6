#include "ui/main_window.h"

#include "app/settings_window.h"
#include "app/single_instance.h"
#include "app/user_guide.h"
#include "common/app_title.h"
#include "common/application_control.h"
#include "common/message_boxes.h"
#include "common/msg_component.h"
#include "db/data_module.h"
#include "ui/action_icons.h"
#include "ui/change_number_dialog.h"
#include "ui/db_grid.h"
#include "ui/db_text.h"
#include "ui/edit_document_dialog.h"
#include "ui/find_dialog.h"
#include "ui/ui_helpers.h"
#include "ui/value_editor.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

const QColor kMaroon(0x80, 0x00, 0x00);
const QColor kPurple(0x80, 0x00, 0x80);
const QColor kLightGreen(0xC0, 0xDC, 0xC0);
const QColor kPaleYellow(0xFF, 0xFF, 0xE1);
const QColor kFooterYellow(0xFF, 0xFF, 0x80);

// A row-height spin edit: whole numbers 0..10 that only the arrows (buttons,
// arrow keys, wheel) change; nothing can be typed into it.
class TRowLinesSpin : public QSpinBox {
public:
    explicit TRowLinesSpin(QWidget *parent)
        : QSpinBox(parent)
    {
        setRange(0, 10);
        setValue(2);
        lineEdit()->setReadOnly(true);
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
};

QLabel *PanelTitle(const QString &text, const QColor &colour, QWidget *parent)
{
    auto *title = new QLabel(text, parent);
    title->setAlignment(Qt::AlignCenter);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, colour);
    title->setPalette(palette);
    title->setContentsMargins(0, 3, 0, 3);
    return title;
}

// A value shown in a sunken box, as a label with a bevel.
TDBText *SunkenValue(QWidget *parent)
{
    auto *value = new TDBText(parent);
    value->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    value->setAutoFillBackground(true);
    QPalette palette = value->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    value->setPalette(palette);
    value->setContentsMargins(3, 1, 3, 1);
    value->setMinimumHeight(value->fontMetrics().height() + 8);
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return value;
}

QFont SmallerFont(const QFont &base)
{
    QFont font = base;
    font.setPointSizeF(std::max(7.0, base.pointSizeF() - 1.0));
    return font;
}

QString KeyText(const QKeySequence &key)
{
    return key.isEmpty() ? QString() : QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QLatin1Char(')');
}

} // namespace

TfMain::TfMain()
{
    setObjectName(QStringLiteral("fMain"));
    resize(831, 548);
    OneProgram1 = new TOneProgram(this);
    connect(OneProgram1, &TOneProgram::activationRequested, this, &TfMain::bringToFront);

    createActions();
    createMenus();
    createToolBars();

    auto *central = new QWidget(this);
    auto *centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(createTemplateBand());
    Splitter = new QSplitter(Qt::Horizontal, central);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(3);
    Splitter->setChildrenCollapsible(false);
    Panel_Fio = createDocumentPanel();
    Panel_FioValue = createValuePanel();
    Splitter->addWidget(Panel_Fio);
    Splitter->addWidget(Panel_FioValue);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    centralLayout->addWidget(Splitter, 1);
    setCentralWidget(central);
    setPanelFioWidth(kPanelFioWidth);

    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->setSizeGripEnabled(true);

    MSG = new TMSG(this);
    MSG->Buttons = TBrowseInfoButtons::Yes_No_Cancel;
    MSG->Icon = TBrowseInfoIcons::Exclamation;
    MSG->MsgType = TBrowseInfoMsgType::IconMsg;
    MSG->OnYesClick = [this](QObject *) { MSGYesClick(); };
    MSG->OnNoClick = [this](QObject *) { MSGNoClick(); };
    MSG->OnRetryClick = [this](QObject *) { MSGRetryClick(); };
    MSG->OnCancelClick = [this](QObject *) { MSGCancelClick(); };
    MSG->OnAbortClick = [this](QObject *) { MSGAbortClick(); };

    createDialogs();
    bindData(DataModule());
    // The operator starts in the document list.
    GridFio->setFocus(Qt::OtherFocusReason);
}

TfMain::~TfMain()
{
    // A value typed into the in-place editor is kept when the program ends.
    RunHandler([this] { closeValueEditor(); });
    // The settings window saves the layout while the grids, the spin edits and
    // the panel still exist.
    delete fSettigs;
    fSettigs = nullptr;
    // The help window goes with the main window.
    CloseUserGuide();
}

// ---------------------------------------------------------------- building

QAction *TfMain::makeAction(const QString &caption, const QKeySequence &key, const QIcon &icon,
                            void (TfMain::*handler)())
{
    auto *action = new QAction(icon, caption, this);
    action->setToolTip(caption + KeyText(key));
    action->setStatusTip(caption);
    action->setShortcut(key);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setIconVisibleInMenu(true);
    if (handler) {
        connect(action, &QAction::triggered, this, [this, handler] {
            RunHandler([this, handler] {
                closeValueEditor();
                (this->*handler)();
            });
        });
    }
    return action;
}

void TfMain::createActions()
{
    actShablon = makeAction(QStringLiteral("Список  шаблонов"), Qt::Key_F2,
                            ActionIcon(QStringLiteral("folder-templates"), QStyle::SP_DirIcon), &TfMain::actShablonExecute);
    actShablon->setObjectName(QStringLiteral("actShablon"));
    actSprField = makeAction(QStringLiteral("Справочник полей"), QKeySequence(),
                             ActionIcon(QStringLiteral("accessories-dictionary"), QStyle::SP_FileDialogListView),
                             &TfMain::actSprFieldExecute);
    actSprField->setObjectName(QStringLiteral("actSprField"));
    actShablonFld = makeAction(QStringLiteral("Справочник полей для документа..."), QKeySequence(),
                               ActionIcon(QStringLiteral("document-properties"), QStyle::SP_FileDialogDetailedView),
                               &TfMain::actShablonFldExecute);
    actShablonFld->setObjectName(QStringLiteral("actShablonFld"));
    actAddFioField = makeAction(QStringLiteral("Добавить (обновить) поля для данных"), QKeySequence(Qt::CTRL | Qt::Key_F5),
                                ActionIcon(QStringLiteral("list-add"), QStyle::SP_ArrowRight),
                                &TfMain::actAddFioFieldExecute);
    actAddFioField->setObjectName(QStringLiteral("actAddFioField"));
    actDeleteFioField = makeAction(QStringLiteral("Удалить поля для данных"), QKeySequence(),
                                   ActionIcon(QStringLiteral("list-remove"), QStyle::SP_ArrowLeft),
                                   &TfMain::actDeleteFioFieldExecute);
    actDeleteFioField->setObjectName(QStringLiteral("actDeleteFioField"));
    actAddFio = makeAction(QStringLiteral("Новый документ"), Qt::Key_F5,
                           ActionIcon(QStringLiteral("document-new"), QStyle::SP_FileIcon), &TfMain::actAddFioExecute);
    actAddFio->setObjectName(QStringLiteral("actAddFio"));
    actEditFio = makeAction(QStringLiteral("Изменить документ"), Qt::Key_F4,
                            ActionIcon(QStringLiteral("accessories-text-editor"), QStyle::SP_FileDialogContentsView),
                            &TfMain::actEditFioExecute);
    actEditFio->setObjectName(QStringLiteral("actEditFio"));
    actDelFio = makeAction(QStringLiteral("Удалить документ"), QKeySequence(),
                           ActionIcon(QStringLiteral("edit-delete"), QStyle::SP_TrashIcon), &TfMain::actDelFioExecute);
    actDelFio->setObjectName(QStringLiteral("actDelFio"));
    actCreateDoc = makeAction(QStringLiteral("Создать документ"), Qt::Key_F10,
                              ActionIcon(QStringLiteral("applications-office"), QStyle::SP_FileIcon),
                              &TfMain::actCreateDocExecute);
    actCreateDoc->setObjectName(QStringLiteral("actCreateDoc"));
    actFinde = makeAction(QStringLiteral("Поиск"), Qt::Key_F3,
                          ActionIcon(QStringLiteral("edit-find"), QStyle::SP_FileDialogContentsView),
                          &TfMain::actFindeExecute);
    actFinde->setObjectName(QStringLiteral("actFinde"));
    actExit = makeAction(QStringLiteral("Выход..."), QKeySequence(),
                         ActionIcon(QStringLiteral("application-exit"), QStyle::SP_DialogCloseButton),
                         &TfMain::actExitExecute);
    actExit->setObjectName(QStringLiteral("actExit"));
    actChengeNPP = makeAction(QStringLiteral("Сменить номер"), Qt::Key_F6,
                              ActionIcon(QStringLiteral("view-sort-ascending"), QStyle::SP_ArrowDown),
                              &TfMain::actChengeNPPExecute);
    actChengeNPP->setObjectName(QStringLiteral("actChengeNPP"));
    actOpenDemoBase = makeAction(QStringLiteral("Открыть демонстрационную базу"), QKeySequence(),
                                 ActionIcon(QStringLiteral("drive-harddisk"), QStyle::SP_DriveHDIcon),
                                 &TfMain::actOpenDemoBaseExecute);
    actOpenDemoBase->setObjectName(QStringLiteral("actOpenDemoBase"));
    actSettings = makeAction(QStringLiteral("Настройки..."), QKeySequence(),
                             ActionIcon(QStringLiteral("preferences-system"), QStyle::SP_ComputerIcon),
                             &TfMain::actSettingsExecute);
    actSettings->setObjectName(QStringLiteral("actSettings"));
    actHelp = makeAction(QStringLiteral("Роководство пользователя"), Qt::Key_F1,
                         ActionIcon(QStringLiteral("help-contents"), QStyle::SP_DialogHelpButton),
                         &TfMain::actHelpExecute);
    actHelp->setObjectName(QStringLiteral("actHelp"));

    actAddFromKadry = makeAction(QStringLiteral("Добавить из <Кадров>"), QKeySequence(Qt::CTRL | Qt::Key_F6),
                                 ActionIcon(QStringLiteral("system-users"), QStyle::SP_DirHomeIcon), nullptr);
    actAddFromKadry->setObjectName(QStringLiteral("actAddFromKadry"));
    actAddFromKadry->setEnabled(false);

    // The window owns every action, so their keys work wherever the focus is in it.
    addActions({actShablon, actSprField, actShablonFld, actAddFioField, actDeleteFioField, actAddFio, actEditFio,
                actDelFio, actCreateDoc, actFinde, actExit, actChengeNPP, actOpenDemoBase, actSettings, actHelp,
                actAddFromKadry});
}

void TfMain::createMenus()
{
    menuBar()->setObjectName(QStringLiteral("MainMenu"));
    MenuFile = menuBar()->addMenu(QStringLiteral("Файл"));
    MenuFile->addActions({actShablon, actShablonFld, actSprField});
    MenuFile->addSeparator();
    MenuFile->addAction(actOpenDemoBase);
    MenuFile->addSeparator();
    MenuFile->addAction(actExit);

    MenuEdit = menuBar()->addMenu(QStringLiteral("Редактирование"));
    MenuEdit->addAction(actChengeNPP);
    MenuEdit->addSeparator();
    MenuEdit->addActions({actAddFio, actEditFio, actDelFio});
    MenuEdit->addSeparator();
    MenuEdit->addActions({actAddFioField, actDeleteFioField});

    MenuService = menuBar()->addMenu(QStringLiteral("Сервис"));
    MenuService->addAction(actCreateDoc);
    MenuService->addSeparator();
    MenuService->addAction(actFinde);
    MenuService->addSeparator();
    MenuService->addAction(actSettings);

    MenuHelp = menuBar()->addMenu(QStringLiteral("Справка"));
    MenuHelp->addAction(actHelp);

    PopupFio = new QMenu(this);
    PopupFio->setObjectName(QStringLiteral("PopupFio"));
    PopupFio->addActions({actAddFio, actEditFio, actDelFio});
    PopupFio->addSeparator();
    PopupFio->addAction(actAddFromKadry);

    PopupValue = new QMenu(this);
    PopupValue->setObjectName(QStringLiteral("PopupValue"));
    PopupValue->addActions({actAddFioField, actDeleteFioField});
}

void TfMain::createToolBars()
{
    auto makeBar = [this](const QString &name, const QString &title) {
        QToolBar *bar = addToolBar(title);
        bar->setObjectName(name);
        bar->setFloatable(false);
        bar->setIconSize(QSize(24, 24));
        bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
        return bar;
    };
    ToolBar1 = makeBar(QStringLiteral("ToolBar1"), QStringLiteral("Шаблоны"));
    ToolBar1->addAction(actShablon);

    ToolBar2 = makeBar(QStringLiteral("ToolBar2"), QStringLiteral("Документы"));
    ToolBar2->addAction(actChengeNPP);
    ToolBar2->addSeparator();
    ToolBar2->addAction(actAddFio);
    ToolBar2->addSeparator();
    ToolBar2->addAction(actEditFio);
    ToolBar2->addSeparator();
    ToolBar2->addAction(actDelFio);
    ToolBar2->addSeparator();
    ToolBar2->addAction(actAddFioField);
    ToolBar2->addSeparator();
    ToolBar2->addAction(actDeleteFioField);

    ToolBar3 = makeBar(QStringLiteral("ToolBar3"), QStringLiteral("Сервис"));
    ToolBar3->addAction(actFinde);
    ToolBar3->addSeparator();
    ToolBar3->addAction(actCreateDoc);

    // The exit button sits at the right end of the tool bar row.
    ToolBar4 = makeBar(QStringLiteral("ToolBar4"), QStringLiteral("Выход"));
    ToolBar4->setMovable(false);
    auto *spacer = new QWidget(ToolBar4);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    ToolBar4->addWidget(spacer);
    ToolBar4->addAction(actExit);
}

QWidget *TfMain::createTemplateBand()
{
    auto *band = new QFrame(this);
    band->setObjectName(QStringLiteral("Panel_Shablon"));
    band->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    auto *layout = new QHBoxLayout(band);
    layout->setContentsMargins(4, 3, 4, 3);
    layout->setSpacing(4);

    Label_Shablon = new QLabel(QStringLiteral("Текущий шаблон"), band);
    Label_Shablon->setObjectName(QStringLiteral("Label_Shablon"));
    Label_Shablon->setMinimumWidth(std::max(116, Label_Shablon->sizeHint().width() + 8));
    Label_Shablon->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    DBText_Shablon = new TDBText(band);
    DBText_Shablon->setObjectName(QStringLiteral("DBText_Shablon"));
    QFont font = DBText_Shablon->font();
    font.setBold(true);
    font.setPixelSize(16);
    DBText_Shablon->setFont(font);
    DBText_Shablon->setAutoFillBackground(true);
    QPalette palette = DBText_Shablon->palette();
    palette.setColor(QPalette::Window, kLightGreen);
    palette.setColor(QPalette::WindowText, kMaroon);
    DBText_Shablon->setPalette(palette);
    DBText_Shablon->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    DBText_Shablon->setContentsMargins(6, 2, 6, 2);
    DBText_Shablon->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    DBText_Shablon->setMinimumHeight(QFontMetrics(font).height() + 10);

    layout->addWidget(Label_Shablon);
    layout->addWidget(DBText_Shablon, 1);
    return band;
}

QFrame *TfMain::createDocumentPanel()
{
    auto *panel = new QFrame;
    panel->setObjectName(QStringLiteral("Panel_Fio"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(2, 2, 1, 2);
    layout->setSpacing(3);
    layout->addWidget(PanelTitle(QStringLiteral("Список документов"), kPurple, panel));

    auto *strip = new QHBoxLayout;
    auto *linesLabel = new QLabel(QStringLiteral("Высота строки"), panel);
    se_GridFioLines = new TRowLinesSpin(panel);
    se_GridFioLines->setObjectName(QStringLiteral("se_GridFioLines"));
    linesLabel->setBuddy(se_GridFioLines);
    strip->addWidget(linesLabel);
    strip->addWidget(se_GridFioLines);
    strip->addStretch();
    layout->addLayout(strip);

    // The grid and its footer row share one frame, as one control.
    auto *gridFrame = new QFrame(panel);
    gridFrame->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    auto *gridLayout = new QVBoxLayout(gridFrame);
    gridLayout->setContentsMargins(0, 0, 0, 0);
    gridLayout->setSpacing(0);
    GridFio = new TDBGrid(gridFrame);
    GridFio->setObjectName(QStringLiteral("GridFio"));
    GridFio->setFrameShape(QFrame::NoFrame);
    QPalette pale = GridFio->palette();
    pale.setColor(QPalette::Base, kPaleYellow);
    GridFio->setPalette(pale);
    TGridColumn number;
    number.title = QStringLiteral("№");
    number.fieldName = QStringLiteral("NPP");
    number.width = 57;
    number.titleHint = QStringLiteral("Щелкните по столбцу для сортировки");
    TGridColumn name;
    name.title = QStringLiteral("Название (наименование)");
    name.fieldName = QStringLiteral("Name");
    name.width = 327;
    name.font = SmallerFont(GridFio->font());
    GridFio->setColumns({number, name});
    GridFio->setRowLines(se_GridFioLines->value());
    GridFio->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(GridFio, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupFio->popup(GridFio->viewport()->mapToGlobal(at)); });
    connect(GridFio, &TDBGrid::titleClicked, this, [this](int column) {
        RunHandler([this, column] {
            closeValueEditor();
            GridFioTitleClick(column);
        });
    });

    GridFioFooter = new QFrame(gridFrame);
    GridFioFooter->setObjectName(QStringLiteral("GridFioFooter"));
    GridFioFooter->setAutoFillBackground(true);
    QPalette yellow = GridFioFooter->palette();
    yellow.setColor(QPalette::Window, kFooterYellow);
    GridFioFooter->setPalette(yellow);
    GridFioFooter->setFrameStyle(QFrame::HLine | QFrame::Plain);
    GridFioFooter->setFrameShape(QFrame::NoFrame);
    GridFioFooter->setFixedHeight(GridFio->fontMetrics().height() + 6);
    gridLayout->addWidget(GridFio, 1);
    gridLayout->addWidget(GridFioFooter);
    layout->addWidget(gridFrame, 1);

    connect(se_GridFioLines, &QSpinBox::valueChanged, this, [this] { se_GridFioLinesChange(); });
    return panel;
}

QFrame *TfMain::createValuePanel()
{
    auto *panel = new QFrame;
    panel->setObjectName(QStringLiteral("Panel_FioValue"));
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(1, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(PanelTitle(QStringLiteral("Поля для выбранного документа"), Qt::red, panel));

    auto *strip = new QGridLayout;
    strip->setHorizontalSpacing(8);
    strip->setVerticalSpacing(1);
    auto *nameLabel = new QLabel(QStringLiteral("Имя переменной"), panel);
    auto *dateLabel = new QLabel(QStringLiteral("Дата изменения"), panel);
    auto *linesLabel = new QLabel(QStringLiteral("Высота строки"), panel);
    DBText_FieldName = SunkenValue(panel);
    DBText_FieldName->setObjectName(QStringLiteral("DBText_FieldName"));
    DBText_DateIzm = SunkenValue(panel);
    DBText_DateIzm->setObjectName(QStringLiteral("DBText_DateIzm"));
    DBText_DateIzm->setMinimumWidth(
        std::max(dateLabel->sizeHint().width(), DBText_DateIzm->fontMetrics().horizontalAdvance(QStringLiteral("00.00.0000")) + 16));
    se_GridValueLines = new TRowLinesSpin(panel);
    se_GridValueLines->setObjectName(QStringLiteral("se_GridValueLines"));
    linesLabel->setBuddy(se_GridValueLines);
    strip->addWidget(nameLabel, 0, 0);
    strip->addWidget(dateLabel, 0, 1);
    strip->addWidget(linesLabel, 0, 2);
    strip->addWidget(DBText_FieldName, 1, 0);
    strip->addWidget(DBText_DateIzm, 1, 1);
    strip->addWidget(se_GridValueLines, 1, 2, Qt::AlignLeft);
    strip->setColumnStretch(0, 1);
    layout->addLayout(strip);

    // The grid and the in-place editor above it live in one holder, so the
    // editor's place is the cell's place in the holder.
    auto *holder = new QWidget(panel);
    holder->setObjectName(QStringLiteral("Panel_GridValue"));
    auto *holderLayout = new QVBoxLayout(holder);
    holderLayout->setContentsMargins(0, 0, 0, 0);
    GridValue = new TDBGrid(holder);
    GridValue->setObjectName(QStringLiteral("GridValue"));
    TGridColumn script;
    script.title = QStringLiteral("Описание");
    script.fieldName = QStringLiteral("Script");
    script.width = 126;
    QFont boldSmall = SmallerFont(GridValue->font());
    boldSmall.setBold(true);
    script.font = boldSmall;
    script.background = GridValue->palette().color(QPalette::Button);
    TGridColumn value;
    value.title = QStringLiteral("Значение");
    value.fieldName = QStringLiteral("Value_");
    value.width = 306;
    QFont serif(QStringLiteral("Times New Roman"));
    serif.setPointSizeF(GridValue->font().pointSizeF() + 1.0);
    value.font = serif;
    GridValue->setColumns({script, value});
    GridValue->setRowLines(se_GridValueLines->value());
    GridValue->installEventFilter(this);
    GridValue->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(GridValue, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &at) { PopupValue->popup(GridValue->viewport()->mapToGlobal(at)); });
    connect(GridValue, &QAbstractItemView::doubleClicked, this,
            [this] { RunHandler([this] { GridValueDblClick(); }); });
    holderLayout->addWidget(GridValue);

    Edit = new TValueEditor(holder);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setFont(serif);
    Edit->setMaxLength(255); // Value_ holds up to 255 characters
    Edit->hide();
    connect(Edit, &TValueEditor::enterPressed, this, [this] { RunHandler([this] { EditKeyPress(Qt::Key_Return); }); });
    connect(Edit, &TValueEditor::escapePressed, this, [this] { RunHandler([this] { EditKeyPress(Qt::Key_Escape); }); });
    connect(Edit, &TValueEditor::left, this, [this] { RunHandler([this] { EditExit(); }); });
    layout->addWidget(holder, 1);

    connect(se_GridValueLines, &QSpinBox::valueChanged, this, [this] { se_GridValueLinesChange(); });
    return panel;
}

void TfMain::createDialogs()
{
    fChangeNPP = new TfChangeNPP(this);
    fEditFio = new TfEditFio(this);
    fEditFio->DocumentGrid = GridFio;
    fFinde = new TfFinde(this);
}

void TfMain::bindData(TfData *data)
{
    if (!data)
        return;
    DBText_Shablon->setDataField(data->Shablon, QStringLiteral("Name"));
    GridFio->setDataSet(data->Fio);
    GridValue->setDataSet(data->FioValue);
    DBText_FieldName->setDataField(data->FioValue, QStringLiteral("Name"));
    DBText_DateIzm->setDataField(data->FioValue, QStringLiteral("DateIzm"));
    Edit->setDataField(data->FioValue, QStringLiteral("Value_"));
    fChangeNPP->bindData(data);
    fEditFio->bindData(data);
    fFinde->bindData(data);
}

void TfMain::setPanelFioWidth(int width)
{
    const int total = std::max(Splitter->width(), width + Splitter->handleWidth() + 100);
    Splitter->setSizes({width, total - width - Splitter->handleWidth()});
}

int TfMain::panelFioWidth() const
{
    return Panel_Fio->width();
}

// ---------------------------------------------------------------- life cycle

void TfMain::start()
{
    if (!OneProgram1->acquire(ApplicationTitle())) {
        OneProgram1AlreadyExist();
        RequestTermination();
        return;
    }
    FormCreate();
    // The size the window returns to from maximised: most of the screen.
    if (const QScreen *place = screen()) {
        const QRect available = place->availableGeometry();
        const QSize size = QSize(831, 548).expandedTo(available.size() * 0.85).boundedTo(available.size());
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
    }
    showMaximized();
    FormShow();
}

void TfMain::FormCreate()
{
    if (!fSettigs)
        fSettigs = new TfSettigs(this);
    setWindowTitle(MainTitle());
}

void TfMain::FormShow()
{
    if (fSettigs)
        fSettigs->LoadSettings();
}

void TfMain::OneProgram1AlreadyExist()
{
    ShowMessageBox(QStringLiteral("У Вас уже запущена одна копия программы\r") + ApplicationTitle(), QString(),
                   mkWarning);
}

void TfMain::closeEvent(QCloseEvent *event)
{
    // Closing by the frame ends the program like "Выход...", without a question.
    event->ignore();
    RunHandler([this] {
        closeValueEditor();
        actExitExecute();
    });
}

void TfMain::bringToFront()
{
    if (isMinimized())
        showMaximized();
    raise();
    activateWindow();
}

// ---------------------------------------------------------------- actions

void TfMain::actShablonExecute()
{
    if (ShablonHandler)
        ShablonHandler();
}

void TfMain::actSprFieldExecute()
{
    if (SprFieldHandler)
        SprFieldHandler();
}

void TfMain::actShablonFldExecute()
{
    if (ShablonFldHandler)
        ShablonFldHandler();
}

void TfMain::actCreateDocExecute()
{
    if (CreateDocHandler)
        CreateDocHandler();
}

void TfMain::actAddFioFieldExecute()
{
    if (TfData *data = DataModule())
        data->AddDocumentFields();
}

void TfMain::actDeleteFioFieldExecute()
{
    if (TfData *data = DataModule())
        data->DeleteDocumentFields();
}

void TfMain::actAddFioExecute()
{
    TfData *data = DataModule();
    if (!data)
        return;
    // A document always belongs to a template; without one it would be kept
    // where no list ever shows it.
    if (data->CurrentTemplateId() == 0) {
        ShowMessageBox(QStringLiteral("Нет текущего шаблона.\rВыберите шаблон в списке шаблонов (F2) и повторите."),
                       QStringLiteral("Предупреждение!"), mkWarning);
        return;
    }
    fEditFio->dbEdit_Npp->setEnabled(true);
    data->AppendDocument();
    fEditFio->execute();
    // The box always ends the addition; nothing half-made stays behind.
    if (data->Fio->State() == dsEdit || data->Fio->State() == dsInsert)
        data->CancelDocument();
}

void TfMain::actEditFioExecute()
{
    TfData *data = DataModule();
    if (!data)
        return;
    fEditFio->dbEdit_Npp->setEnabled(false);
    data->EditDocument();
    fEditFio->execute();
    if (data->Fio->State() == dsEdit || data->Fio->State() == dsInsert)
        data->CancelDocument();
}

void TfMain::actDelFioExecute()
{
    if (TfData *data = DataModule())
        data->DeleteDocument();
}

void TfMain::actFindeExecute()
{
    fFinde->execute();
}

void TfMain::actExitExecute()
{
    RequestTermination();
}

void TfMain::actChengeNPPExecute()
{
    TfData *data = DataModule();
    if (!data)
        return;
    const bool hasDocument = data->Fio->Active() && !data->Fio->IsEmpty();
    fChangeNPP->Edit_NPP->setText(hasDocument ? QString::number(data->Fio->AsInteger(QStringLiteral("NPP")))
                                              : QStringLiteral("0"));
    if (fChangeNPP->execute() == QDialog::Accepted) {
        const int number = TextToInteger(fChangeNPP->Edit_NPP->text());
        data->ChangeDocumentNumber(number);
    }
    GridFioTitleClick(GridFio->columnOfField(QStringLiteral("NPP")));
}

void TfMain::actOpenDemoBaseExecute()
{
    if (TfData *data = DataModule())
        data->OpenDatabase(true);
}

void TfMain::actSettingsExecute()
{
    if (!fSettigs)
        fSettigs = new TfSettigs(this);
    fSettigs->exec();
}

void TfMain::actHelpExecute()
{
    ShowUserGuide(this);
}

// ---------------------------------------------------------------- grids

void TfMain::GridFioTitleClick(int column)
{
    TfData *data = DataModule();
    if (!data || column < 0 || column >= GridFio->gridModel()->columnCount())
        return;
    const QString field = GridFio->gridModel()->columns()[column].fieldName;
    if (field.compare(QStringLiteral("NPP"), Qt::CaseInsensitive) == 0)
        data->SortDocuments(1);
    else if (field.compare(QStringLiteral("Name"), Qt::CaseInsensitive) == 0)
        data->SortDocuments(0);
    else
        return;
    GridFio->setSortMarker(column, 1);
}

void TfMain::se_GridFioLinesChange()
{
    GridFio->setRowLines(se_GridFioLines->value());
}

void TfMain::se_GridValueLinesChange()
{
    GridValue->setRowLines(se_GridValueLines->value());
}

bool TfMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == GridValue && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunHandler([this] { GridValueKeyPress(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- in-place editor

void TfMain::GridValueKeyPress()
{
    TfData *data = DataModule();
    if (!data || !data->FioValue->Active() || data->FioValue->CurrentIndex() < 0)
        return;
    TDataSet *values = data->FioValue;
    // A secret value is shown as it is while it is edited, in the editor and the grid.
    if (values->Value(QStringLiteral("isSecure")).toBool()) {
        data->AttachValueGetText(false);
        GridValue->viewport()->update();
    }
    const int column = GridValue->columnOfField(QStringLiteral("Value_"));
    GridValue->scrollTo(GridValue->gridModel()->index(values->CurrentIndex(), column));
    QRect cell = GridValue->currentCellRect(column);
    cell.setLeft(cell.left() + 4);
    cell.setTop(cell.top() + 4);
    Edit->setGeometry(cell);
    Edit->refresh();
    Edit->show();
    Edit->raise();
    Edit->setFocus(Qt::OtherFocusReason);
    Edit->selectAll();
}

void TfMain::GridValueDblClick()
{
    GridValueKeyPress();
}

void TfMain::EditKeyPress(int key)
{
    TfData *data = DataModule();
    if (!data)
        return;
    TDataSet *values = data->FioValue;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // A refused post keeps the editor open with the operator's text.
        if (values->State() == dsEdit || values->State() == dsInsert)
            values->Post();
        EditExit();
    } else if (key == Qt::Key_Escape) {
        values->Cancel();
        EditExit();
    }
}

void TfMain::EditExit()
{
    if (m_leavingEditor || !Edit->isVisible())
        return;
    m_leavingEditor = true;
    struct Reset {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{m_leavingEditor};
    TfData *data = DataModule();
    if (data) {
        TDataSet *values = data->FioValue;
        if (values->State() == dsEdit || values->State() == dsInsert) {
            try {
                values->Post();
            } catch (...) {
                // The value stays in the editor, which keeps the focus, until it
                // can be saved or the operator presses Esc.
                Edit->setFocus(Qt::OtherFocusReason);
                throw;
            }
        }
    }
    Edit->hide();
    GridValue->setFocus(Qt::OtherFocusReason);
    if (data) {
        data->AttachValueGetText(true);
        GridValue->viewport()->update();
    }
}

void TfMain::closeValueEditor()
{
    if (Edit && Edit->isVisible())
        EditExit();
}

// ---------------------------------------------------------------- message component

void TfMain::MSGYesClick()
{
    MsgAnswer = 2;
}

void TfMain::MSGNoClick()
{
    MsgAnswer = 3;
}

void TfMain::MSGRetryClick()
{
    MsgAnswer = 4;
}

void TfMain::MSGCancelClick()
{
    MsgAnswer = 5;
}

void TfMain::MSGAbortClick()
{
    MsgAnswer = 6;
}
