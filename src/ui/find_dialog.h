// fFinde, "Поиск...": searches the current template's document list as the
// operator types, by number or by the beginning of the name (letter case
// ignored). The two boxes are alternatives: entering one empties the other. A
// found document becomes current and its number and name show below the boxes.
#pragma once

#include "ui/speed_form.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TfData;

class TfFinde : public TSpeedForm {
    Q_OBJECT
public:
    explicit TfFinde(QWidget *owner);

    void bindData(TfData *data) { m_data = data; }

    QLabel *Label6 = nullptr;          // "№ документа"
    QLineEdit *Edit_NumDoc = nullptr;  // number to find
    QLabel *Label7 = nullptr;          // "Наименование (Название)"
    QLineEdit *Edit_Name = nullptr;    // beginning of the name to find
    QLabel *LbFindeInfo = nullptr;     // the found document: number, line break, name
    QPushButton *BitBtn3 = nullptr;    // OK

    void fFindeShow();
    void Edit_NumDocEnter();
    void Edit_NameEnter();
    // Both throw the conversion error for a number box that holds no whole number.
    void Edit_NumDocChange();
    void Edit_NameChange();
    void ShowFindeInfo(bool found);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TfData *m_data = nullptr;
};
