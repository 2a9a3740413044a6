// The splash window shown while the data module starts: the application title,
// the program's version and an empty process line, centred and on top.
#pragma once

#include <QTimer>
#include <QWidget>

class QLabel;

class TfZastavka : public QWidget {
    Q_OBJECT
public:
    TfZastavka();

    QLabel *lb_AppName = nullptr;
    QLabel *lb_Ver = nullptr;
    QLabel *lb_Process = nullptr;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // Keeps the windows painted while start-up steps run their own loops.
    QTimer Timer1;
};

void ShowSplash();
void HideSplash();
TfZastavka *Splash();
