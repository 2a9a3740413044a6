#include "app/single_instance.h"

#include <QDir>
#include <QLocalSocket>

#include <unistd.h>

TOneProgram::TOneProgram(QObject *parent)
    : QObject(parent)
{
}

TOneProgram::~TOneProgram() = default;

QString TOneProgram::lockPath(const QString &title)
{
    return QDir::tempPath() + QStringLiteral("/%1-%2.lock").arg(title).arg(getuid());
}

QString TOneProgram::serverName(const QString &title)
{
    return QStringLiteral("%1-%2-instance").arg(title).arg(getuid());
}

bool TOneProgram::acquire(const QString &title)
{
    m_lock = std::make_unique<QLockFile>(lockPath(title));
    m_lock->setStaleLockTime(0); // a lock left by a crashed copy is recognised by its dead process
    if (!m_lock->tryLock(0)) {
        QLocalSocket socket;
        socket.connectToServer(serverName(title));
        if (socket.waitForConnected(1000)) {
            socket.write("activate\n");
            socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
        }
        m_lock.reset();
        return false;
    }
    m_server = std::make_unique<QLocalServer>();
    QLocalServer::removeServer(serverName(title));
    m_server->listen(serverName(title));
    connect(m_server.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket *peer = m_server->nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            Q_EMIT activationRequested();
        }
    });
    return true;
}
