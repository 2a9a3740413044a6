#include "common/wait_form.h"

#include "common/app_title.h"
#include "common/errors.h"
#include "common/message_box_presenter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QThread>

namespace {

// Client width of the window before any message widens it.
constexpr int kDesignClientWidth = 395;
constexpr int kStaticLabelWidth = 383;
constexpr int kStaticLabelHeight = 18;
constexpr int kAnimationHeight = 43;
constexpr int kProgressHeight = 16;
constexpr int kCancelHeight = 29;

QColor FirstMessageColor()
{
    return QApplication::palette().color(QPalette::WindowText);
}

QColor SecondMessageColor()
{
    return QApplication::palette().color(QPalette::ToolTipBase);
}

QRect ScreenGeometry()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

int FullScreenClientHeight()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : 768;
}

} // namespace

TWaitForm::TWaitForm(int style)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_style(style)
{
    setAttribute(Qt::WA_DeleteOnClose, false);

    WaitLabel = new QLabel(this);
    WaitLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    WaitLabel->setTextFormat(Qt::PlainText);

    WaitAnimate = new QProgressBar(this);
    WaitAnimate->setRange(0, 0); // a running busy indicator
    WaitAnimate->setTextVisible(false);
    WaitAnimate->setGeometry(5, 0, 385, kAnimationHeight);

    WaitProgressBar = new QProgressBar(this);
    WaitProgressBar->setRange(0, 100);
    WaitProgressBar->setGeometry(6, 0, 370, kProgressHeight);

    CancelButton = new QPushButton(QStringLiteral("Отмена (Esc)"), this);
    CancelButton->setGeometry(138, 0, 105, kCancelHeight);
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, &TWaitForm::askCancel);

    StaticLabel = new QLabel(QStringLiteral("Пожалуйста, подождите"), this);
    QFont bold = StaticLabel->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    StaticLabel->setFont(bold);
    StaticLabel->setAlignment(Qt::AlignCenter);
    StaticLabel->setGeometry(6, 0, kStaticLabelWidth, kStaticLabelHeight);

    const struct {
        int bit;
        QWidget *member;
    } members[] = {{wsCancel, CancelButton}, {wsAnimation, WaitAnimate}, {wsProgress, WaitProgressBar},
                   {wsPleaseWait, StaticLabel}};
    for (const auto &m : members) {
        if (m_style & m.bit) {
            m.member->show();
        } else {
            m.member->hide();
            m.member->resize(m.member->width(), 0);
        }
    }
    resize(kDesignClientWidth, 100);
}

TWaitForm::~TWaitForm() = default;

QString TWaitForm::SpacedMessage(const QString &text)
{
    QString spaced;
    spaced.reserve(text.size() + 8);
    for (QChar c : text) {
        spaced.append(c);
        if (c == QLatin1Char('+') || c == QLatin1Char(','))
            spaced.append(QLatin1Char(' '));
    }
    return spaced;
}

QString TWaitForm::message() const
{
    return WaitLabel->text();
}

void TWaitForm::SetMessage(const QString &text)
{
    WaitLabel->setText(SpacedMessage(DisplayText(text)));
    layOut();
}

void TWaitForm::layOut()
{
    WaitLabel->setWordWrap(false);
    WaitLabel->adjustSize();
    const int half = ScreenGeometry().width() / 2;
    if (WaitLabel->width() + 20 >= half) {
        WaitLabel->setWordWrap(true);
        const int wrapped = half - 20;
        WaitLabel->resize(wrapped, WaitLabel->heightForWidth(wrapped));
        if (WaitLabel->width() + 20 > half) {
            WaitLabel->setWordWrap(false);
            WaitLabel->resize(half - 20, WaitLabel->height());
        }
    }

    int clientWidth = width();
    if (WaitLabel->width() + 20 < kStaticLabelWidth) {
        WaitLabel->move((clientWidth - WaitLabel->width()) / 2, WaitLabel->y());
    } else {
        WaitLabel->move(10, WaitLabel->y());
        clientWidth = std::max(clientWidth, WaitLabel->width() + 20);
    }

    WaitLabel->move(WaitLabel->x(), 10);
    setMessageColor(FirstMessageColor());

    WaitAnimate->move(WaitAnimate->x(), WaitLabel->y() + WaitLabel->height() + 10);
    WaitProgressBar->move(WaitProgressBar->x(), WaitAnimate->y() + WaitAnimate->height());
    if (m_style & wsCancel) {
        CancelButton->move(CancelButton->x(), WaitProgressBar->y() + WaitProgressBar->height() + 5);
        StaticLabel->move(StaticLabel->x(), CancelButton->y() + CancelButton->height() + 5);
    } else {
        StaticLabel->move(StaticLabel->x(), WaitProgressBar->y() + WaitProgressBar->height());
    }
    setFixedSize(clientWidth, StaticLabel->y() + StaticLabel->height());
}

void TWaitForm::SetRange(int minimum, int maximum)
{
    WaitProgressBar->setMinimum(minimum);
    WaitProgressBar->setMaximum(maximum);
}

void TWaitForm::SetPosition(int position)
{
    WaitProgressBar->setValue(position);
}

void TWaitForm::PlaceAt(int place)
{
    const int W = ScreenGeometry().width();
    const int H = FullScreenClientHeight();
    const int w = frameGeometry().width();
    const int h = frameGeometry().height();
    int left = x();
    int top = y();
    switch (place) {
    case 0: left = 0; top = 0; break;
    case 1: left = W - w; top = 0; break;
    case 2: left = 0; top = H - h; break;
    case 3: left = W - w; top = H - h; break;
    case 4: left = (W - w) / 2; top = 0; break;
    case 5: left = (W - w) / 2; top = H - h; break;
    case 6: left = 0; top = (H - h) / 2; break;
    case 7: left = W - w; top = (H - h) / 2; break;
    case 8: left = (W - w) / 2; top = (H - h) / 2; break;
    default: return;
    }
    move(left, top);
}

void TWaitForm::setMessageColor(const QColor &color)
{
    m_messageColor = color;
    QPalette palette = WaitLabel->palette();
    palette.setColor(QPalette::WindowText, color);
    WaitLabel->setPalette(palette);
}

void TWaitForm::Blink()
{
    if (m_messageColor == FirstMessageColor())
        setMessageColor(SecondMessageColor());
    else if (m_messageColor == SecondMessageColor())
        setMessageColor(FirstMessageColor());
    else
        throw OrmenaError(QStringLiteral("Неверный цвет формы ожидания"));
}

void TWaitForm::askCancel()
{
    MessageBoxRequest request;
    request.text = QStringLiteral("Прервать операцию?");
    request.caption = ApplicationTitle();
    request.icon = QMessageBox::Question;
    request.buttons = QMessageBox::Yes | QMessageBox::No;
    request.defaultButton = QMessageBox::No;
    request.escapeButton = QMessageBox::No;
    request.owner = this;
    if (CurrentMessageBoxPresenter().present(request) == QMessageBox::Yes)
        m_cancelled = true;
}

void TWaitForm::closeEvent(QCloseEvent *event)
{
    // Only CloseWaitForm takes the window away; Alt+F4 and the frame's close are refused.
    if (m_closing)
        event->accept();
    else
        event->ignore();
}

void TWaitForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F4 && (event->modifiers() & Qt::AltModifier)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TWaitForm::reject()
{
    // Esc presses the cancel button while it is shown; otherwise nothing happens.
    if ((m_style & wsCancel) && CancelButton->isVisible())
        CancelButton->click();
}

TWaitForm *ShowWaitForm(const QString &message, const QString &title, int style)
{
    auto *form = new TWaitForm(style);
    form->WaitLabel->setText(TWaitForm::SpacedMessage(DisplayText(message)));
    form->setWindowTitle(title.isEmpty() ? QStringLiteral("Ожидайте!") : title);
    form->layOut();
    const QRect screen = ScreenGeometry();
    form->move(screen.center() - QPoint(form->width() / 2, form->height() / 2));
    form->m_screenJob = std::make_unique<TScreenDisplayJob>(form);
    return form;
}

void CloseWaitForm(TWaitForm *form)
{
    if (!form)
        return;
    form->m_closing = true;
    try {
        form->m_screenJob.reset();
    } catch (...) {
        // Restoring the screen failed; the window is still freed below.
    }
    delete form;
}

TScreenDisplayJob::TScreenDisplayJob(TWaitForm *form)
    : m_form(form)
{
    if (m_form->isVisible())
        m_form->hide();
    if (QWidget *grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    m_active = QApplication::activeWindow();
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (window == m_form || !window->isEnabled() || !window->isVisible())
            continue;
        window->setEnabled(false);
        m_disabled.append(window);
    }
    m_form->show();
    m_form->repaint();
}

TScreenDisplayJob::~TScreenDisplayJob()
{
    if (m_form->isVisible())
        m_form->hide();
    QApplication::restoreOverrideCursor();
    for (const QPointer<QWidget> &window : m_disabled)
        if (window)
            window->setEnabled(true);
    if (m_active)
        m_active->activateWindow();
}

TWaitProcess::TWaitProcess(const QString &message, const QString &title, bool cancelAllowed, int pauseMs,
                           int attemptsPerPause)
    : m_message(message)
    , m_title(title)
    , m_cancelAllowed(cancelAllowed)
    , m_pauseMs(pauseMs)
    , m_attemptsPerPause(attemptsPerPause)
{
}

TWaitProcess::~TWaitProcess()
{
    CloseWaitForm(m_form);
}

bool TWaitProcess::Step()
{
    ++m_failed;
    if (m_failed < m_attemptsPerPause)
        return true;
    m_failed = 0;
    if (m_pauseMs > 0)
        QThread::msleep(static_cast<unsigned long>(m_pauseMs));
    if (m_form) {
        m_form->Blink();
        QCoreApplication::processEvents();
        return !m_form->cancelled();
    }
    m_form = ShowWaitForm(m_message, m_title, m_cancelAllowed ? wsCancel : 0);
    return true;
}
