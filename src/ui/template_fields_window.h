// TfShablonFld, the modal window "Справочник полей документа": which fields
// of the dictionary the current template uses. The left list holds the
// template's fields (ShablonFld), the right one the dictionary fields it does
// not use yet (SprField); each move is written to the database at once and
// both lists are read again. Documents' value rows are never touched here.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TDBGrid;
class TDBText;
class TfData;

class TfShablonFld : public QDialog {
    Q_OBJECT
public:
    explicit TfShablonFld(TfData *data, QWidget *parent = nullptr);

    // Reads both lists for the current template and shows the window modally.
    int Execute();

    // ---- components
    TDBText *LabelShablon = nullptr;   // the current template's name in the top line
    TDBGrid *GridShablonFld = nullptr; // left: the template's fields
    TDBGrid *GridSprField = nullptr;   // right: the free dictionary fields
    QLabel *LabelLeft = nullptr;
    QLabel *LabelRight = nullptr;
    QPushButton *sbAdd = nullptr;       // "<"
    QPushButton *sbDelete = nullptr;    // ">"
    QPushButton *sbAddAll = nullptr;    // "<<"
    QPushButton *sbDeleteAll = nullptr; // ">>"
    QPushButton *btnClose = nullptr;

    // ---- event handlers
    void sbAddClick();
    void sbDeleteClick();
    void sbAddAllClick();
    void sbDeleteAllClick();

private:
    void createComponents();
    // Adds the selected free field; false when there was nothing to add.
    bool addSelectedField();
    bool deleteSelectedField();

    TfData *m_data;
};
