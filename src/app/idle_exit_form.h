// The countdown window shown before an idle shutdown: 60 one-second steps on a
// progress bar with the remaining time. It closes by itself with result OK at
// the tick after the one that showed 0 seconds; "Отмена" or closing it earlier
// gives Cancel, which keeps the program running.
#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

class TIdleExitForm : public QDialog {
    Q_OBJECT
public:
    // The window's results, as the program's dialogs number them.
    static constexpr int mrOk = 1;
    static constexpr int mrCancel = 2;
    static constexpr int kSteps = 60;

    explicit TIdleExitForm(QWidget *parent = nullptr);

    QLabel *label1() const { return Label1; }
    QProgressBar *progressBar1() const { return ProgressBar1; }
    QLabel *label2() const { return Label2; }
    QPushButton *button1() const { return Button1; }
    QTimer *reportTimer() const { return ReportTimer; }

    // One countdown step (the ReportTimer tick): closes the window once the
    // bar is full, otherwise advances it and shows the remaining seconds.
    void ReportTimerTimer();
    // "Отмена": closes the window.
    void Button1Click();

    // Every way of closing ends here (tick, button, Esc, the window frame): the
    // result is OK once the bar is full, Cancel before that, whatever the
    // argument says.
    void done(int result) override;

    static QString RemainingText(int seconds);
    // The explanation shown under the bar ("\r" marks its line break).
    static QString ExplanationText();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLabel *Label1 = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *Button1 = nullptr;
    QTimer *ReportTimer = nullptr;
};

// Shows the countdown modally as a window of its own and destroys it; true
// unless it closed with the result Cancel.
bool ConfirmIdleExit();
