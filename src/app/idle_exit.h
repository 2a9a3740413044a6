// The idle watcher. Every input event that any event loop of the program
// delivers counts as activity; once a second the watcher counts the clock
// minutes since the last one and, at the limit, shows the countdown window.
// A countdown that runs out requests the normal shutdown, so everything that
// is saved at exit is saved.
#pragma once

#include <QDateTime>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <functional>

// The clock the watcher reads (tests give it a settable one).
using TNowFunction = std::function<QDateTime()>;
// Asks whether the program is to end; true ends it (the countdown window by default).
using TConfirmFunction = std::function<bool()>;

// The number of changes of the clock's hour-and-minute reading from `from` to
// `to`, seconds ignored, across midnight and days: 10:00:59 to 10:10:00 is 10.
// 0 when `to` is not later than `from`.
int IdleMinutes(const QDateTime &from, const QDateTime &to);

// True for events that come from the operator's input: keys, mouse buttons and
// movement, wheel, touch, tablet, input method, context menu, drag and drop.
// Paint, timer and the toolkit's own internal events never count, nor do the
// enter and hover notices a window gets when it appears under a still pointer.
bool IsActivityEvent(QEvent::Type type);

class TIdleExit : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultIdleLimit = 15;
    static constexpr int kCheckIntervalMs = 1000;

    // Starts watching at once: LastActivity is now, the limit 15 minutes, the
    // check timer running, and every input event of the application counted.
    // The first watcher created becomes the process-wide one (IdleExit()).
    explicit TIdleExit(TNowFunction now = {}, TConfirmFunction confirm = {});
    ~TIdleExit() override;

    int IdleLimit() const { return m_idleLimit; }
    void SetIdleLimit(int minutes) { m_idleLimit = minutes; }
    QDateTime LastActivity() const { return m_lastActivity; }
    // The one-second timer that drives CheckIdle (tests may shorten it).
    QTimer *CheckTimer() { return &m_checkTimer; }

    // One check: when the idle minutes have reached the limit, the check timer
    // stops and the countdown runs; its end requests termination, its
    // cancellation makes now the last activity and the watching goes on.
    void CheckIdle();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class ScopedIdlePause;

    TNowFunction m_now;
    TConfirmFunction m_confirm;
    QDateTime m_lastActivity;
    int m_idleLimit = kDefaultIdleLimit;
    QTimer m_checkTimer;
    bool m_confirming = false;
    bool m_terminating = false;
    int m_pauses = 0;
};

// The process-wide watcher, or null when none exists.
TIdleExit *IdleExit();
// Sets the limit of the process-wide watcher; nothing when there is none.
void SetIdleLimit(int minutes);

// Suspends the idle count while the operator works outside the program's own
// windows (in the word processor, say) and the program waits for that work to
// end: no countdown starts while a pause is held, and its end counts as
// activity. Does nothing when there is no process-wide watcher.
class ScopedIdlePause {
public:
    ScopedIdlePause();
    ~ScopedIdlePause();
    ScopedIdlePause(const ScopedIdlePause &) = delete;
    ScopedIdlePause &operator=(const ScopedIdlePause &) = delete;

private:
    TIdleExit *m_watcher;
};
