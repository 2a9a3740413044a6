// TfSettigs, "Настройки программы": the window of the store-documents option,
// and the loading and saving of the main window's layout with that option.
// The layout (both grids' columns, the row heights, the document panel's
// width) and the option are loaded when the main window is shown and saved at
// every OK of this window and when it is destroyed at shutdown, which happens
// while the main window still exists. The option reaches the data module the
// moment the box changes.
#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;
class QTabWidget;
class TfMain;

class TfSettigs : public QDialog {
    Q_OBJECT
public:
    // The window belongs to the main window, whose controls it loads and saves.
    explicit TfSettigs(TfMain *main);
    ~TfSettigs() override;

    QTabWidget *PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr;          // "Общие"
    QCheckBox *cb_SaveDocDB = nullptr;     // "Сохранять созданный документ в базе"
    QLabel *Label1 = nullptr;              // the explanation under the box
    QPushButton *BitBtn1 = nullptr;        // OK
    QPushButton *BitBtn2 = nullptr;        // Cancel

    // The state of the box when the window was last shown.
    bool SaveDocDBOnShow = false;

    // The explanation, with "\r\n" where its lines break.
    static const QString kExplanation;

    void LoadSettings();
    void SaveSettings();

    void FormShow();
    void cb_SaveDocDBClick();
    void BitBtn1Click();
    void BitBtn2Click();

protected:
    void showEvent(QShowEvent *event) override;
    void reject() override;

private:
    void loadLayout();
    void setOption(bool checked);
    TfMain *m_main;
};
