// The main window: the current template, its documents and their values.
#pragma once

#include <QMainWindow>

class QAction;
class TOneProgram;

class TfMain : public QMainWindow {
    Q_OBJECT
public:
    TfMain();
    ~TfMain() override;

    // Runs the single-instance check, FormCreate, and shows the window maximised.
    void start();

    QAction *actExit = nullptr;
    QAction *actHelp = nullptr;
    TOneProgram *OneProgram1 = nullptr;

    void FormCreate();
    void FormShow();
    void OneProgram1AlreadyExist();
    void actExitExecute();
    void actHelpExecute();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void bringToFront();
};
