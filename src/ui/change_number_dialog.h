// fChangeNPP, "Изменить номер": shows the current document's number and name
// and takes the new number in a box that admits only what the numeric key
// filter lets through. The main window reads the box after OK.
#pragma once

#include "ui/speed_form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TDBText;
class TfData;

class TfChangeNPP : public TSpeedForm {
    Q_OBJECT
public:
    explicit TfChangeNPP(QWidget *owner);

    void bindData(TfData *data);

    QLabel *Label3 = nullptr;         // "Текущий №"
    TDBText *DBText_Npp = nullptr;    // the current document's NPP, red
    QLabel *Label4 = nullptr;         // "Название"
    TDBText *DBText_Name = nullptr;   // the current document's Name, red
    QLabel *Label5 = nullptr;         // "Новый №"
    QLineEdit *Edit_NPP = nullptr;    // the new number as text
    QPushButton *BitBtn4 = nullptr;   // OK
    QPushButton *BitBtn5 = nullptr;   // Cancel

    void fChangeNPPShow();
};
