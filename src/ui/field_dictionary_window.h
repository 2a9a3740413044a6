// TfSprField, the modal window "Справочник полей": the field dictionary (the
// data module's tSprField table, by order number) with an edit panel for
// adding and changing fields, and its printing. Reserved fields cannot be
// changed here; a duplicate number or name is refused and the input dropped.
#pragma once

#include <QDialog>

class QAction;
class QPushButton;
class QWidget;
class TDataSet;
class TDBCheckBox;
class TDBEdit;
class TDBGrid;
class TEditPanel;
class TfData;
class TPrintDBGrid;

// Puts the table into insert (editMode false) or edit (editMode true) state
// behind an edit panel: the panel is enabled and shown, the first edit focused,
// a pending insert or edit cancelled. Editing an empty table shows a warning
// and disables and hides the panel. True when the table was put into that state.
bool StartRecordEdit(bool editMode, TDataSet *table, QWidget *panel, QWidget *firstEdit);

class TfSprField : public QDialog {
    Q_OBJECT
public:
    explicit TfSprField(TfData *data, QWidget *parent = nullptr);
    ~TfSprField() override;

    // ---- components
    TDBGrid *Grid = nullptr;
    QWidget *PanelEdit = nullptr;
    TDBEdit *Edit1 = nullptr;        // Npp
    TDBEdit *Edit2 = nullptr;        // Name
    TDBEdit *Edit3 = nullptr;        // Skript
    TDBCheckBox *DBCheckBox1 = nullptr; // isSecure
    QPushButton *Button1 = nullptr;  // actAdd
    QPushButton *Button2 = nullptr;  // actEdit
    QPushButton *BitBtn1 = nullptr;  // actPrint
    QPushButton *BitBtn2 = nullptr;  // OK
    TPrintDBGrid *PrintGrid = nullptr;

    QAction *actAdd = nullptr;
    QAction *actEdit = nullptr;
    QAction *actPrint = nullptr;

    // ---- event handlers
    void actAddExecute();
    void actEditExecute();
    void PanelEditExit();
    void Edit1Escape();
    void actPrintExecute();

protected:
    void done(int result) override;

private:
    void createComponents();
    bool editing() const;

    TfData *m_data;
    TEditPanel *m_panel = nullptr;
};
