// TfMain, the main window: the current template, the list of its documents and
// the field values of the current document, with every command of the program
// as an action shared by the menus, the tool bars, the popup menus and a key.
// The window holds no data: its grids and boxes are bound to the datasets of
// the data module, and its commands call the data module's operations.
#pragma once

#include <QMainWindow>
#include <functional>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QSpinBox;
class QSplitter;
class QToolBar;
class TDBGrid;
class TDBText;
class TfChangeNPP;
class TfData;
class TfEditFio;
class TfFinde;
class TfSettigs;
class TMSG;
class TOneProgram;
class TValueEditor;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    TfMain();
    ~TfMain() override;

    // Runs the single-instance check, FormCreate, shows the window maximised and
    // runs FormShow. A second instance stops after the check.
    void start();

    // ---- actions (caption = hint; keys and pictures as the menus show them)
    QAction *actShablon = nullptr;
    QAction *actSprField = nullptr;
    QAction *actShablonFld = nullptr;
    QAction *actAddFioField = nullptr;
    QAction *actDeleteFioField = nullptr;
    QAction *actAddFio = nullptr;
    QAction *actEditFio = nullptr;
    QAction *actDelFio = nullptr;
    QAction *actCreateDoc = nullptr;
    QAction *actFinde = nullptr;
    QAction *actExit = nullptr;
    QAction *actChengeNPP = nullptr;
    QAction *actOpenDemoBase = nullptr;
    QAction *actSettings = nullptr;
    QAction *actHelp = nullptr;
    // "Добавить из <Кадров>" in the document grid's popup menu: always disabled.
    QAction *actAddFromKadry = nullptr;

    // The commands that the windows of the templates, the field dictionary and
    // the template fields, and document generation, carry out. Until they are
    // set their actions do nothing.
    std::function<void()> ShablonHandler;
    std::function<void()> SprFieldHandler;
    std::function<void()> ShablonFldHandler;
    std::function<void()> CreateDocHandler;

    // ---- menus and tool bars
    QMenu *MenuFile = nullptr;
    QMenu *MenuEdit = nullptr;
    QMenu *MenuService = nullptr;
    QMenu *MenuHelp = nullptr;
    QToolBar *ToolBar1 = nullptr;
    QToolBar *ToolBar2 = nullptr;
    QToolBar *ToolBar3 = nullptr;
    QToolBar *ToolBar4 = nullptr;
    QMenu *PopupFio = nullptr;
    QMenu *PopupValue = nullptr;

    // ---- controls
    QLabel *Label_Shablon = nullptr;      // "Текущий шаблон"
    TDBText *DBText_Shablon = nullptr;    // Name of the current template
    QSplitter *Splitter = nullptr;
    QFrame *Panel_Fio = nullptr;
    QFrame *Panel_FioValue = nullptr;
    QSpinBox *se_GridFioLines = nullptr;
    QSpinBox *se_GridValueLines = nullptr;
    TDBGrid *GridFio = nullptr;
    QFrame *GridFioFooter = nullptr;
    TDBGrid *GridValue = nullptr;
    TDBText *DBText_FieldName = nullptr;  // Name of the current value row's field
    TDBText *DBText_DateIzm = nullptr;    // DateIzm of the current value row
    TValueEditor *Edit = nullptr;         // the in-place value editor

    // ---- embedded dialogs, message component, settings window
    TfChangeNPP *fChangeNPP = nullptr;
    TfEditFio *fEditFio = nullptr;
    TfFinde *fFinde = nullptr;
    TMSG *MSG = nullptr;
    // The answer to the last question asked through MSG: 2 Yes, 3 No, 4 Retry,
    // 5 Cancel, 6 Abort; 0 at creation.
    int MsgAnswer = 0;
    TfSettigs *fSettigs = nullptr;
    TOneProgram *OneProgram1 = nullptr;

    // The width Panel_Fio gets at the first start.
    static constexpr int kPanelFioWidth = 410;

    // Sets the width of Panel_Fio, the splitter giving the rest to Panel_FioValue.
    void setPanelFioWidth(int width);
    int panelFioWidth() const;

    // ---- handlers
    void FormCreate();
    void FormShow();
    void OneProgram1AlreadyExist();

    void actShablonExecute();
    void actSprFieldExecute();
    void actShablonFldExecute();
    void actAddFioFieldExecute();
    void actDeleteFioFieldExecute();
    void actAddFioExecute();
    void actEditFioExecute();
    void actDelFioExecute();
    void actCreateDocExecute();
    void actFindeExecute();
    void actExitExecute();
    void actChengeNPPExecute();
    void actOpenDemoBaseExecute();
    void actSettingsExecute();
    void actHelpExecute();

    void GridValueKeyPress();
    void GridValueDblClick();
    void EditKeyPress(int key);
    void EditExit();
    void GridFioTitleClick(int column);
    void se_GridFioLinesChange();
    void se_GridValueLinesChange();

    void MSGYesClick();
    void MSGNoClick();
    void MSGRetryClick();
    void MSGCancelClick();
    void MSGAbortClick();

    // Posts a pending value and hides the in-place editor if it is shown.
    void closeValueEditor();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createActions();
    void createMenus();
    void createToolBars();
    QWidget *createTemplateBand();
    QFrame *createDocumentPanel();
    QFrame *createValuePanel();
    void createDialogs();
    void bindData(TfData *data);
    QAction *makeAction(const QString &caption, const QKeySequence &key, const QIcon &icon,
                        void (TfMain::*handler)());
    void bringToFront();

    bool m_leavingEditor = false;
};
