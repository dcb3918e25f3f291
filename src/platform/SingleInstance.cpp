#include "platform/SingleInstance.h"

#include "model/Log.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr char showRequest[] = "show\n";

QString runtimeFolder(const QString &folder) {
    if (!folder.isEmpty())
        return folder;
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? QDir::tempPath() : runtime;
}

// What a QLockFile writes, so the file reads the same to anyone who looks (or to a copy that
// still locks with QLockFile).
QByteArray lockInfo() {
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
           QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8() + '\n' +
           QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
           QSysInfo::bootUniqueId() + '\n';
}

bool sameFile(int fd, const QByteArray &path) {
    struct stat opened {};
    struct stat named {};
    return ::fstat(fd, &opened) == 0 && ::stat(path.constData(), &named) == 0 &&
           opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}
} // namespace

SingleInstance::SingleInstance(const QString &name, const QString &folder, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_folder(runtimeFolder(folder)) {
}

SingleInstance::~SingleInstance() {
    if (m_lockFd >= 0) {
        ::unlink(QFile::encodeName(lockPath()).constData());
        ::close(m_lockFd);
    }
}

// An flock ends with the process that holds it, however that process ends, so a lock left by
// one that died is free again without any clean-up. Nothing is synced to disk: the file only
// matters while its holder runs (QLockFile syncs it twice when it takes over a stale lock,
// which costs milliseconds on a busy disk at every launch).
int SingleInstance::takeFileLock() {
    const QByteArray path = QFile::encodeName(lockPath());
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0)
            return 0;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int error = errno;
            ::close(fd);
            return error == EWOULDBLOCK ? 0 : -1;
        }
        // The holder may have removed the file between our open and our lock: lock the one
        // that is there now.
        if (!sameFile(fd, path)) {
            ::close(fd);
            continue;
        }
        // The text is for people and older copies; the lock holds without it.
        const QByteArray info = lockInfo();
        if (::ftruncate(fd, 0) == 0) {
            const ssize_t written = ::write(fd, info.constData(), size_t(info.size()));
            Q_UNUSED(written);
        }
        m_lockFd = fd;
        return 1;
    }
    return 0;
}

bool SingleInstance::claim() {
    QDir().mkpath(m_folder);
    const int taken = takeFileLock();
    if (taken < 0) {
        // tryLock takes over a lock whose process no longer runs.
        m_fallbackLock = std::make_unique<QLockFile>(lockPath());
        if (!m_fallbackLock->tryLock(0))
            return false;
    } else if (taken == 0) {
        return false;
    }
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
