#include "platform/SingleInstance.h"

#include "core/Log.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QSysInfo>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr char answer[] = "ok\n";
constexpr int maxRequest = 64; // bytes before a line that has not ended is given up on
constexpr int maxClients = 16; // connections waiting for their line at once
constexpr int clientTimeoutMs = 2000;

std::optional<sockaddr_un> socketAddress(const QByteArray &path) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return std::nullopt;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    return address;
}

// The user's runtime folder, or else a folder of our own under the temp folder. Qt's fallback
// for a missing XDG_RUNTIME_DIR is empty when that folder is not usable, and the shared temp
// folder itself is never used: claim() checks whatever is returned here.
QString runtimeFolder(const QString &folder) {
    if (!folder.isEmpty())
        return folder;
    // The session's runtime folder as it stands, when it is a safe one: asking QStandardPaths
    // costs the launch a noticeable share of its time before the toolkit. It also makes a
    // missing folder and mends one open to others, so anything else goes to it.
    const QString session = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (session.startsWith(QLatin1Char('/')) &&
        SingleInstance::unsafeFolderReason(session).isEmpty())
        return session;
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty())
        return runtime;
    const QString own =
        QDir::tempPath() + QStringLiteral("/swatchbar-") + QString::number(::geteuid());
    ::mkdir(QFile::encodeName(own).constData(), 0700);
    return own;
}

bool isRequestWord(const QByteArray &word) {
    if (word.isEmpty() || word.size() > 32)
        return false;
    return std::all_of(word.cbegin(), word.cend(),
                       [](char c) { return (c >= 'a' && c <= 'z') || c == '-'; });
}

// The running program's file name, read where QCoreApplication::applicationFilePath() reads
// it (there may be no application object yet), with one readlink rather than a path
// resolution.
QByteArray programFileName() {
    char target[4096];
    const ssize_t length = ::readlink("/proc/self/exe", target, sizeof target);
    if (length <= 0 || size_t(length) >= sizeof target)
        return QByteArray();
    QByteArray name(target, length);
    // A program replaced on disk while it runs (an upgrade) still names its old file.
    if (name.endsWith(" (deleted)"))
        name.chop(10);
    return name.mid(name.lastIndexOf('/') + 1);
}

// What a QLockFile writes, so the file reads the same to anyone who looks (or to a copy that
// still locks with QLockFile).
QByteArray lockInfo() {
    return QByteArray::number(QCoreApplication::applicationPid()) + '\n' + programFileName() +
           '\n' + QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n' +
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
    for (auto client = m_clients.cbegin(); client != m_clients.cend(); ++client)
        ::close(client.key());
    if (m_listenFd >= 0) {
        ::unlink(QFile::encodeName(socketPath()).constData());
        ::close(m_listenFd);
    }
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
        const int fd =
            ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NOCTTY, 0600);
        if (fd < 0) {
            // Nobody can hold a lock that cannot be opened: a link (never followed), a folder,
            // a file this user may not write.
            m_unavailable = errno == ELOOP
                                ? QStringLiteral("it is a symbolic link, which is never followed")
                                : qt_error_string(errno);
            return -2;
        }
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
        m_lockFd = fd;
        return 1;
    }
    return 0;
}

QString SingleInstance::unsafeFolderReason(const QString &folder) {
    struct stat info {};
    if (::lstat(QFile::encodeName(folder).constData(), &info) != 0)
        return qt_error_string(errno);
    if (!S_ISDIR(info.st_mode))
        return QStringLiteral("it is not a folder");
    if (info.st_uid != ::geteuid())
        return QStringLiteral("it belongs to another user");
    if ((info.st_mode & 077) != 0)
        return QStringLiteral("others may write or read in it");
    return {};
}

// The text is for people and older copies; the lock holds without it.
void SingleInstance::writeLockInfo() {
    if (m_lockFd < 0)
        return;
    const QByteArray info = lockInfo();
    if (::ftruncate(m_lockFd, 0) == 0) {
        const ssize_t written = ::write(m_lockFd, info.constData(), size_t(info.size()));
        Q_UNUSED(written);
    }
}

SingleInstance::Claim SingleInstance::claim() {
    const Claim claimed = takeLock();
    if (claimed == Claim::Taken) {
        prepareListening();
        startAccepting();
    }
    return claimed;
}

void SingleInstance::prepareListening() {
    writeLockInfo();
    // Still the only instance when this fails (the lock says so); later launches just cannot
    // reach it.
    listen();
}

void SingleInstance::startAccepting() {
    if (m_listenFd < 0 || m_listener)
        return;
    m_listener = new QSocketNotifier(m_listenFd, QSocketNotifier::Read, this);
    connect(m_listener, &QSocketNotifier::activated, this, &SingleInstance::acceptRequests);
}

SingleInstance::Claim SingleInstance::takeLock() {
    m_unavailable = unsafeFolderReason(m_folder);
    if (!m_unavailable.isEmpty())
        return Claim::Unavailable;
    const int taken = takeFileLock();
    if (taken == -2)
        return Claim::Unavailable;
    if (taken == -1) {
        // tryLock takes over a lock whose process no longer runs.
        m_fallbackLock = std::make_unique<QLockFile>(lockPath());
        if (!m_fallbackLock->tryLock(0))
            return Claim::HeldElsewhere;
    } else if (taken == 0) {
        return Claim::HeldElsewhere;
    }
    return Claim::Taken;
}

bool SingleInstance::listen() {
    const auto fail = [this](const QString &reason) {
        logLine(QStringLiteral("Failed to listen on %1: %2").arg(socketPath(), reason));
        if (m_listenFd >= 0)
            ::close(m_listenFd);
        m_listenFd = -1;
        return false;
    };
    const QByteArray path = QFile::encodeName(socketPath());
    // Bound under a private name and renamed into place, so that the socket is never
    // reachable before it is the user's alone.
    const QByteArray staging = path + '.' + QByteArray::number(::getpid());
    std::optional<sockaddr_un> address = socketAddress(staging);
    if (!address || !socketAddress(path))
        return fail(QStringLiteral("the path is too long for a socket"));
    m_listenFd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (m_listenFd < 0)
        return fail(qt_error_string(errno));
    ::unlink(staging.constData());
    if (::bind(m_listenFd, reinterpret_cast<const sockaddr *>(&*address), sizeof *address) != 0)
        return fail(qt_error_string(errno));
    // A socket file left by a process that died is simply replaced.
    if (::chmod(staging.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(m_listenFd, 8) != 0 ||
        ::rename(staging.constData(), path.constData()) != 0) {
        const int error = errno;
        ::unlink(staging.constData());
        return fail(qt_error_string(error));
    }
    return true;
}

void SingleInstance::acceptRequests() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (fd < 0)
            return; // none left (or a client that gave up before we got to it)
        // Idle clients must not lock out a real request: the oldest one makes room.
        if (m_clients.size() >= maxClients && !m_clientOrder.isEmpty())
            dropClient(m_clientOrder.first());
        auto *notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        m_clients.insert(fd, Client{notifier, {}});
        m_clientOrder.append(fd);
        connect(notifier, &QSocketNotifier::activated, this, [this, fd] { readRequest(fd); });
        // A client that connects and never finishes its line does not keep a socket forever.
        QTimer::singleShot(clientTimeoutMs, notifier, [this, fd, notifier] {
            if (m_clients.value(fd).notifier == notifier)
                dropClient(fd);
        });
    }
}

void SingleInstance::readRequest(int fd) {
    auto client = m_clients.find(fd);
    if (client == m_clients.end())
        return;
    char buffer[maxRequest];
    const ssize_t count = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (count <= 0) { // closed before a whole line, or failed
        dropClient(fd);
        return;
    }
    client->received.append(buffer, count);
    const qsizetype end = client->received.indexOf('\n');
    if (end < 0) {
        if (client->received.size() >= maxRequest)
            dropClient(fd);
        return;
    }
    // Only a whole request word counts; anything else on the socket is ignored.
    const QByteArray word = client->received.first(end);
    if (!isRequestWord(word)) {
        dropClient(fd);
        return;
    }
    // The answer goes out once the request was acted on, so the sender can tell.
    if (word == "show")
        emit activationRequested();
    else
        emit requestReceived(word);
    ::send(fd, answer, std::strlen(answer), MSG_NOSIGNAL | MSG_DONTWAIT);
    dropClient(fd);
}

void SingleInstance::dropClient(int fd) {
    const Client client = m_clients.take(fd);
    m_clientOrder.removeOne(fd);
    if (client.notifier) {
        client.notifier->setEnabled(false);
        client.notifier->deleteLater(); // may be the one whose signal is running
    }
    ::close(fd);
}

namespace {
timeval timeLeft(const QDeadlineTimer &deadline) {
    const qint64 remaining = qMax<qint64>(1, deadline.remainingTime());
    return timeval{static_cast<time_t>(remaining / 1000),
                   static_cast<suseconds_t>(remaining % 1000 * 1000)};
}
} // namespace

SingleInstance::Reach SingleInstance::askOnce(const QByteArray &request, int timeoutMs) {
    const std::optional<sockaddr_un> address = socketAddress(QFile::encodeName(socketPath()));
    // A folder others can write in might hold anybody's socket.
    if (!address || !isRequestWord(request) || !unsafeFolderReason(m_folder).isEmpty())
        return Reach::NotListening;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return Reach::NotListening;
    const QDeadlineTimer deadline(timeoutMs);
    timeval limit = timeLeft(deadline);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&*address), sizeof *address) != 0) {
        ::close(fd);
        return Reach::NotListening;
    }
    const QByteArray line = request + '\n';
    if (::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL) != line.size()) {
        ::close(fd);
        return Reach::NotListening;
    }
    char reply[8] = {};
    ssize_t got = 0;
    while (got < 3 && !deadline.hasExpired()) {
        limit = timeLeft(deadline);
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        const ssize_t n = ::recv(fd, reply + got, size_t(3 - got), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    return got == 3 && std::memcmp(reply, answer, 3) == 0 ? Reach::Answered : Reach::NoAnswer;
}

bool SingleInstance::notifyRunning(const QByteArray &request, int timeoutMs) {
    const std::optional<sockaddr_un> address = socketAddress(QFile::encodeName(socketPath()));
    if (!address || !isRequestWord(request))
        return false;
    const QByteArray line = request + '\n';
    // The running process may be starting up and not listen yet: keep trying for a while.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        // A connect to a listener whose queue is full waits; not past the deadline.
        timeval limit = timeLeft(deadline);
        ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
        if (::connect(fd, reinterpret_cast<const sockaddr *>(&*address), sizeof *address) == 0) {
            const bool sent =
                ::send(fd, line.constData(), size_t(line.size()), MSG_NOSIGNAL) == line.size();
            // Connected and sent: the answer says the request was acted on. No answer in
            // time means it was not, and asking again could act twice.
            char reply[8] = {};
            ssize_t got = 0;
            while (sent && got < 3 && !deadline.hasExpired()) {
                limit = timeLeft(deadline);
                ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
                const ssize_t n = ::recv(fd, reply + got, size_t(3 - got), 0);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    break;
                got += n;
            }
            ::close(fd);
            if (sent)
                return got == 3 && std::memcmp(reply, answer, 3) == 0;
        } else {
            ::close(fd);
        }
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}
