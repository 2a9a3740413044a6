// Keeps one running copy of Ormena per user. The lock is keyed by the
// application title; a second copy asks the first one to come to the front.
#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <memory>

class TOneProgram : public QObject {
    Q_OBJECT
public:
    explicit TOneProgram(QObject *parent = nullptr);
    ~TOneProgram() override;

    // Takes the lock. False when another instance holds it; that instance has
    // then been asked to come to the front.
    bool acquire(const QString &title);
    bool holdsLock() const { return m_lock && m_lock->isLocked(); }

    static QString lockPath(const QString &title);
    static QString serverName(const QString &title);

Q_SIGNALS:
    // Another instance was started and asks this one to come to the front.
    void activationRequested();

private:
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
