// fEditFio, "Редактирование...": the box in which the operator gives a new or
// an existing document its number and name. The boxes write straight into the
// current row of the document list; OK saves the row (re-sorting the list), and
// "Отмена" or Esc drops the addition or the change.
#pragma once

#include "ui/speed_form.h"

class QLabel;
class QPushButton;
class TDBEdit;
class TfData;

class TfEditFio : public TSpeedForm {
    Q_OBJECT
public:
    explicit TfEditFio(QWidget *owner);

    void bindData(TfData *data);

    QLabel *Label1 = nullptr;     // "№ документа"
    QLabel *Label2 = nullptr;     // "Наименование (Название)"
    TDBEdit *dbEdit_Npp = nullptr; // the document's NPP
    TDBEdit *DBEditEh4 = nullptr;  // the document's Name
    QPushButton *BitBtn1 = nullptr; // "OK"
    QPushButton *BitBtn2 = nullptr; // "Отмена"

    // The control that gets the focus back after OK or "Отмена" (the document grid).
    QWidget *DocumentGrid = nullptr;

    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void reject() override;

private:
    void FormShow();
    TfData *m_data = nullptr;
};
