// TSpeedForm: a sub-form that belongs to a window and is shown as a modal
// dialog centred on that window, with a caption but no caption buttons. Its
// result is the result of the button that closed it.
#pragma once

#include <QDialog>

class TSpeedForm : public QDialog {
    Q_OBJECT
public:
    TSpeedForm(QWidget *owner, const QString &caption, bool resizable);

    // Centres the form on its owner and shows it modally; returns the result.
    int execute();

Q_SIGNALS:
    // The form has been shown and may take the focus (the form's OnShow).
    void shown();

protected:
    void showEvent(QShowEvent *event) override;

private:
    bool m_resizable;
    bool m_sized = false;
};
