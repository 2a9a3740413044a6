// The wait window shown while an operation runs on the user-interface thread:
// a message, optionally a busy animation, a progress bar, a cancel button and a
// "please wait" line. While one is open every other window of the program is
// disabled; wait windows nest, and only CloseWaitForm removes one.
#pragma once

#include <QColor>
#include <QDialog>
#include <QList>
#include <QPointer>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class TScreenDisplayJob;

enum WaitStyle { wsCancel = 1, wsAnimation = 2, wsProgress = 4, wsPleaseWait = 8 };

class TWaitForm : public QDialog {
    Q_OBJECT
public:
    explicit TWaitForm(int style);
    ~TWaitForm() override;

    void SetMessage(const QString &text);
    void SetRange(int minimum, int maximum);
    void SetPosition(int position);
    void PlaceAt(int place);
    void Blink();

    bool cancelled() const { return m_cancelled; }
    QString message() const;
    QLabel *waitLabel() const { return WaitLabel; }
    QProgressBar *progressBar() const { return WaitProgressBar; }
    QProgressBar *animation() const { return WaitAnimate; }
    QPushButton *cancelButton() const { return CancelButton; }
    QLabel *staticLabel() const { return StaticLabel; }
    QColor messageColor() const { return m_messageColor; }

    // The text the layout shows: one blank inserted after every "+" and ",".
    static QString SpacedMessage(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void reject() override;

private:
    friend void CloseWaitForm(TWaitForm *form);
    friend TWaitForm *ShowWaitForm(const QString &, const QString &, int);

    void layOut();
    void setMessageColor(const QColor &color);
    void askCancel();

    QLabel *WaitLabel = nullptr;
    QProgressBar *WaitAnimate = nullptr;
    QProgressBar *WaitProgressBar = nullptr;
    QPushButton *CancelButton = nullptr;
    QLabel *StaticLabel = nullptr;
    int m_style = 0;
    bool m_cancelled = false;
    bool m_closing = false;
    QColor m_messageColor;
    std::unique_ptr<TScreenDisplayJob> m_screenJob;
};

// Shows a new wait window (an empty title gives "Ожидайте!").
TWaitForm *ShowWaitForm(const QString &message, const QString &title, int style);
// Hides and frees the window and restores the screen state; null is ignored.
void CloseWaitForm(TWaitForm *form);

// Holds a wait window for one scope and closes it on every way out.
class ScopedWaitForm {
public:
    ScopedWaitForm(const QString &message, const QString &title, int style)
        : m_form(ShowWaitForm(message, title, style)) {}
    ~ScopedWaitForm() { CloseWaitForm(m_form); }
    ScopedWaitForm(const ScopedWaitForm &) = delete;
    ScopedWaitForm &operator=(const ScopedWaitForm &) = delete;
    TWaitForm *operator->() const { return m_form; }
    TWaitForm *get() const { return m_form; }

private:
    TWaitForm *m_form;
};

// Saves the screen state around a wait window: disables the program's other
// top-level windows, remembers the active window and the cursor, and puts all
// of it back when destroyed.
class TScreenDisplayJob {
public:
    explicit TScreenDisplayJob(TWaitForm *form);
    ~TScreenDisplayJob();

private:
    TWaitForm *m_form;
    QList<QPointer<QWidget>> m_disabled;
    QPointer<QWidget> m_active;
};

// Paces a retry loop: the wait window appears only once attempts have failed,
// blinks on every further pause, and its cancel button ends the loop.
class TWaitProcess {
public:
    TWaitProcess(const QString &message, const QString &title, bool cancelAllowed, int pauseMs,
                 int attemptsPerPause);
    ~TWaitProcess();
    TWaitProcess(const TWaitProcess &) = delete;
    TWaitProcess &operator=(const TWaitProcess &) = delete;

    // Called after a failed attempt: true to go on, false to stop.
    bool Step();
    TWaitForm *waitForm() const { return m_form; }

private:
    QString m_message;
    QString m_title;
    bool m_cancelAllowed;
    int m_pauseMs;
    int m_attemptsPerPause;
    int m_failed = 0;
    TWaitForm *m_form = nullptr;
};
