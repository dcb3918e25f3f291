#include "platform/SingleInstance.h"

#include "model/Log.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace {
constexpr char showRequest[] = "show\n";

QString runtimeFolder(const QString &folder) {
    if (!folder.isEmpty())
        return folder;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}
} // namespace

SingleInstance::SingleInstance(const QString &name, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_folder(runtimeFolder(folder))
    , m_lock(m_folder + QLatin1Char('/') + name + QStringLiteral(".lock")) {
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::claim() {
    QDir().mkpath(m_folder);
    // tryLock takes over a lock whose process no longer runs.
    if (!m_lock.tryLock(0))
        return false;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath()); // left by a process that died
    if (!m_server->listen(socketPath())) {
        // Still the only instance (the lock says so); later launches just cannot reach it.
        logLine(QStringLiteral("Failed to listen on %1: %2")
                    .arg(socketPath(), m_server->errorString()));
        return true;
    }
    connect(m_server, &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    return true;
}

void SingleInstance::readRequest() {
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            // Only a whole request counts; anything else on the socket is ignored.
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine(64);
            if (line == showRequest)
                emit activationRequested();
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::notifyRunning(int timeoutMs) {
    // The running process may be starting up and not listen yet: keep trying for a while.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(qMax<qint64>(1, deadline.remainingTime()))) {
            socket.write(showRequest);
            socket.flush();
            const bool sent = socket.bytesToWrite() == 0 || socket.waitForBytesWritten(1000);
            socket.disconnectFromServer();
            if (socket.state() != QLocalSocket::UnconnectedState)
                socket.waitForDisconnected(1000);
            if (sent)
                return true;
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}
