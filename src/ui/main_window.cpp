#include "ui/main_window.h"

#include "app/single_instance.h"
#include "common/app_title.h"
#include "common/application_control.h"
#include "common/message_boxes.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>

TfMain::TfMain()
{
    OneProgram1 = new TOneProgram(this);
    connect(OneProgram1, &TOneProgram::activationRequested, this, &TfMain::bringToFront);

    actExit = new QAction(QStringLiteral("Выход..."), this);
    connect(actExit, &QAction::triggered, this, &TfMain::actExitExecute);
    actHelp = new QAction(QStringLiteral("Роководство пользователя"), this);
    actHelp->setShortcut(Qt::Key_F1);
    connect(actHelp, &QAction::triggered, this, &TfMain::actHelpExecute);

    QMenu *file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->addAction(actExit);
    QMenu *help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->addAction(actHelp);
}

TfMain::~TfMain() = default;

void TfMain::start()
{
    if (!OneProgram1->acquire(ApplicationTitle())) {
        OneProgram1AlreadyExist();
        RequestTermination();
        return;
    }
    FormCreate();
    showMaximized();
    FormShow();
}

void TfMain::FormCreate()
{
    setWindowTitle(MainTitle());
}

void TfMain::FormShow()
{
}

void TfMain::OneProgram1AlreadyExist()
{
    ShowMessageBox(QStringLiteral("У Вас уже запущена одна копия программы\r") + ApplicationTitle(), QString(),
                   mkWarning);
}

void TfMain::actExitExecute()
{
    RequestTermination();
}

void TfMain::actHelpExecute()
{
}

void TfMain::closeEvent(QCloseEvent *event)
{
    // Closing by the frame ends the program like "Выход...", without a question.
    event->ignore();
    actExitExecute();
}

void TfMain::bringToFront()
{
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}
