// TfCreateShablon: the small modal form "Имя файла шаблона" in which the
// operator confirms or types the file name of a new empty template.
#pragma once

#include "ui/speed_form.h"

class QLineEdit;
class QPushButton;

class TfCreateShablon : public TSpeedForm {
    Q_OBJECT
public:
    explicit TfCreateShablon(QWidget *owner);

    QLineEdit *EditFileName = nullptr;
    QPushButton *btnOk = nullptr;
    QPushButton *btnCancel = nullptr;
};
