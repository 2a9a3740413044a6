#include "app/idle_exit_form.h"

#include "common/message_box_presenter.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TIdleExitForm::TIdleExitForm(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                          Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Подготовка к завершению программы"));
    setFixedSize(742, 138);

    Label1 = new QLabel(QStringLiteral("Подготовка ..."), this);
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setWordWrap(true);

    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, kSteps);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setFixedHeight(16);

    Label2 = new QLabel(this);
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setWordWrap(true);
    Label2->setFixedHeight(49);
    QFont smaller = Label2->font();
    smaller.setPixelSize(11); // the explanation has to fit its 49 pixels in three lines
    Label2->setFont(smaller);

    Button1 = new QPushButton(QStringLiteral("Отмена"), this);
    Button1->setDefault(true);
    connect(Button1, &QPushButton::clicked, this, &TIdleExitForm::Button1Click);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(Button1);
    buttonRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(2);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    layout->addWidget(Label2);
    layout->addLayout(buttonRow);

    ReportTimer = new QTimer(this);
    ReportTimer->setInterval(1000);
    connect(ReportTimer, &QTimer::timeout, this, &TIdleExitForm::ReportTimerTimer);
    ReportTimer->start();
}

QString TIdleExitForm::RemainingText(int seconds)
{
    return QStringLiteral("До завершения программы осталось: ") + QString::number(seconds) +
           QStringLiteral(" секунд(ы)");
}

QString TIdleExitForm::ExplanationText()
{
    return QStringLiteral(
        "Программа продолжительное время не получала запросов от пользователя, поэтому, чтобы не занимать "
        "почем зря сетевые ресурсы, а также в целях обеспечения целостности и конфиденциальности информации "
        "программа будет завершена.\rТак что или вы работаете в программе, или нет, тогда программа будет "
        "выгружена");
}

void TIdleExitForm::ReportTimerTimer()
{
    if (ProgressBar1->value() >= kSteps) {
        done(mrOk);
        return;
    }
    ProgressBar1->setValue(ProgressBar1->value() + 1);
    Label1->setText(RemainingText(kSteps - ProgressBar1->value()));
    Label2->setText(DisplayText(ExplanationText()));
}

void TIdleExitForm::Button1Click()
{
    done(mrCancel);
}

void TIdleExitForm::done(int)
{
    // The window counts no further once it is closed, so its result stays.
    ReportTimer->stop();
    QDialog::done(ProgressBar1->value() >= kSteps ? mrOk : mrCancel);
}

void TIdleExitForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (QScreen *shown = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect place = frameGeometry();
        place.moveCenter(shown->availableGeometry().center());
        move(place.topLeft());
    }
}

bool ConfirmIdleExit()
{
    TIdleExitForm form; // a window of its own, over whatever is open
    return form.exec() != TIdleExitForm::mrCancel;
}
