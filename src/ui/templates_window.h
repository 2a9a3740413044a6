// TfShablon, the modal window "Список шаблонов": the list of templates (the
// data module's Shablon rows) with an edit panel for adding and changing them,
// the opening of a template's file in the word processor, and the creation of
// an empty template file in the template folder.
#pragma once

#include <QDialog>
#include <QString>

#include <functional>

class QAction;
class QGroupBox;
class QPushButton;
class QWidget;
class TDBEdit;
class TDBGrid;
class TEditPanel;
class TfCreateShablon;
class TfData;

class TfShablon : public QDialog {
    Q_OBJECT
public:
    explicit TfShablon(TfData *data, QWidget *parent = nullptr);
    ~TfShablon() override;

    // The settings the file-open dialog of the ellipsis button is run with.
    struct OpenDialogRequest {
        QString title;
        QString initialDir;
        QString filter;
        QString fileName;
    };

    // Runs the file-open dialog: the chosen path, or an empty text when the
    // operator cancelled. A real QFileDialog unless replaced (tests script it).
    std::function<QString(QWidget *owner, const OpenDialogRequest &request)> OpenDialog;

    // The main window's action that opens the template fields window; its
    // button in the group of template operations stays hidden until it is given.
    void SetShablonFldAction(QAction *action);

    // ---- components
    TDBGrid *Grid = nullptr;
    QWidget *PanelEdit = nullptr;
    TDBEdit *EditName = nullptr;
    TDBEdit *EditShablon = nullptr;
    QAction *EditShablonButton = nullptr; // the ellipsis button of EditShablon
    QGroupBox *GroupOperations = nullptr;
    QGroupBox *GroupRecords = nullptr;
    QPushButton *btnShowShablon = nullptr;
    QPushButton *btnCreateShablon = nullptr;
    QPushButton *btnShablonFld = nullptr;
    QPushButton *btnAdd = nullptr;
    QPushButton *btnEdit = nullptr;
    QPushButton *bbOk = nullptr;
    TfCreateShablon *fCreateShablon = nullptr;

    QAction *actAdd = nullptr;
    QAction *actEdit = nullptr;
    QAction *actCreateShablon = nullptr;
    QAction *actShowShablon = nullptr;

    // ---- event handlers
    void FormShow();
    void actAddExecute();
    void actEditExecute();
    void PanelEditExit();
    void EditNameEscape();
    void EditShablonEditButtons0Click();
    void GridDblClick();
    void GridKeyPress();
    void actCreateShablonExecute();
    void actShowShablonExecute();

    // Removes double quotes, apostrophes and blanks from EditFileName, trimming
    // before each step and writing the text back after each.
    void CleanFileName();

    static QString OpenDialogTitle();
    static QString OpenDialogFilter();
    // The name with its extension replaced by ".doc" (appended when it has none).
    static QString TemplateFileName(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;
    void done(int result) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createComponents();
    bool editing() const;

    TfData *m_data;
    TEditPanel *m_panel = nullptr;
};
