#include "app/idle_exit.h"

#include "app/idle_exit_form.h"
#include "common/application_control.h"

#include <QCoreApplication>
#include <QPointer>

#include <limits>

namespace {

TIdleExit *g_idleExit = nullptr;

// Minutes since the epoch, rounded down: its changes are the clock's minute boundaries.
qint64 MinuteNumber(const QDateTime &time)
{
    const qint64 seconds = time.toSecsSinceEpoch();
    return seconds >= 0 ? seconds / 60 : -((-seconds + 59) / 60);
}

} // namespace

int IdleMinutes(const QDateTime &from, const QDateTime &to)
{
    const qint64 minutes = MinuteNumber(to) - MinuteNumber(from);
    if (minutes <= 0)
        return 0;
    return minutes > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max() : int(minutes);
}

bool IsActivityEvent(QEvent::Type type)
{
    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::NonClientAreaMouseMove:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonRelease:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::HoverMove:
    case QEvent::Wheel:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
    case QEvent::InputMethod:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

TIdleExit::TIdleExit(TNowFunction now, TConfirmFunction confirm)
    : m_now(now ? std::move(now) : TNowFunction([] { return QDateTime::currentDateTime(); })),
      m_confirm(confirm ? std::move(confirm) : TConfirmFunction(ConfirmIdleExit)),
      m_lastActivity(m_now())
{
    if (!g_idleExit)
        g_idleExit = this;
    m_checkTimer.setInterval(kCheckIntervalMs);
    connect(&m_checkTimer, &QTimer::timeout, this, &TIdleExit::CheckIdle);
    m_checkTimer.start();
    if (QCoreApplication *application = QCoreApplication::instance())
        application->installEventFilter(this);
}

TIdleExit::~TIdleExit()
{
    m_checkTimer.stop();
    if (QCoreApplication *application = QCoreApplication::instance())
        application->removeEventFilter(this);
    if (g_idleExit == this)
        g_idleExit = nullptr;
}

bool TIdleExit::eventFilter(QObject *watched, QEvent *event)
{
    if (IsActivityEvent(event->type()))
        m_lastActivity = m_now();
    return QObject::eventFilter(watched, event); // never consumes the event
}

void TIdleExit::CheckIdle()
{
    if (m_confirming || m_terminating || m_pauses > 0)
        return;
    const QDateTime now = m_now();
    if (now < m_lastActivity) {
        // The clock was set back: count from its new reading rather than wait
        // until it has caught up with the old one.
        m_lastActivity = now;
        return;
    }
    if (IdleMinutes(m_lastActivity, now) < m_idleLimit)
        return;

    m_checkTimer.stop();
    m_confirming = true;
    QPointer<TIdleExit> alive(this);
    const bool endProgram = m_confirm();
    if (!alive)
        return;
    m_confirming = false;
    if (endProgram) {
        // Terminating: the shutdown comes at the loop's next turn, and no
        // further countdown is to start over whatever is still open meanwhile.
        m_terminating = true;
        RequestTermination();
        return;
    }
    m_lastActivity = m_now();
    m_checkTimer.start();
}

TIdleExit *IdleExit()
{
    return g_idleExit;
}

void SetIdleLimit(int minutes)
{
    if (g_idleExit)
        g_idleExit->SetIdleLimit(minutes);
}

ScopedIdlePause::ScopedIdlePause()
    : m_watcher(g_idleExit)
{
    if (m_watcher)
        ++m_watcher->m_pauses;
}

ScopedIdlePause::~ScopedIdlePause()
{
    // The watcher may have gone meanwhile only at process end; check it is still the one.
    if (!m_watcher || m_watcher != g_idleExit)
        return;
    if (--m_watcher->m_pauses == 0)
        m_watcher->m_lastActivity = m_watcher->m_now();
}
