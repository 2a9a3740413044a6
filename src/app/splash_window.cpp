#include "app/splash_window.h"

#include "common/app_title.h"
#include "common/version.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace {
QPointer<TfZastavka> g_splash;
}

TfZastavka::TfZastavka()
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setFixedSize(393, 189); // 391 x 187 client area inside a 1-pixel border

    lb_AppName = new QLabel(this);
    lb_AppName->setGeometry(1, 1, 391, 38);
    lb_AppName->setAlignment(Qt::AlignCenter);
    lb_AppName->setWordWrap(true);
    QFont titleFont(QStringLiteral("DejaVu Sans"));
    titleFont.setPixelSize(16);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    lb_AppName->setFont(titleFont);
    lb_AppName->setStyleSheet(QStringLiteral("color: #b00000; background: qlineargradient(x1:0, y1:0, x2:1, "
                                             "y2:1, stop:0 #ffe65c, stop:1 #e03a1e);"));

    lb_Ver = new QLabel(this);
    lb_Ver->setGeometry(1, 189 - 1 - 16 - 41, 391, 41);
    lb_Ver->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    QFont versionFont(QStringLiteral("DejaVu Sans"));
    versionFont.setPixelSize(29);
    versionFont.setWeight(QFont::Black);
    lb_Ver->setFont(versionFont);
    lb_Ver->setStyleSheet(QStringLiteral("color: #c01010; padding-right: 8px;"));

    lb_Process = new QLabel(this);
    lb_Process->setGeometry(1, 189 - 1 - 16, 391, 16);
    QFont processFont(QStringLiteral("Liberation Sans"));
    processFont.setPixelSize(11);
    lb_Process->setFont(processFont);

    Timer1.setInterval(1000);
    connect(&Timer1, &QTimer::timeout, this, [] { QCoreApplication::processEvents(); });
    Timer1.start();
}

void TfZastavka::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QLinearGradient fill(0, 0, width(), height());
    fill.setColorAt(0.0, QColor(0xff, 0xf4, 0xc2));
    fill.setColorAt(1.0, QColor(0xf0, 0x9a, 0x5a));
    painter.fillRect(rect(), fill);
    painter.setPen(QColor(0x60, 0x20, 0x10));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void ShowSplash()
{
    g_splash = new TfZastavka;
    g_splash->lb_AppName->setText(ApplicationTitle());
    g_splash->lb_Ver->setText(GetExeVersion());
    g_splash->lb_Process->clear();
    if (QScreen *screen = QGuiApplication::primaryScreen())
        g_splash->move(screen->geometry().center() - g_splash->rect().center());
    g_splash->show();
    QCoreApplication::processEvents();
}

void HideSplash()
{
    delete g_splash.data();
}

TfZastavka *Splash()
{
    return g_splash.data();
}
