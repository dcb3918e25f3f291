#include "platform/SwayIpc.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonObject>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {
constexpr char magic[] = "i3-ipc";
constexpr int magicSize = 6;
constexpr int headerSize = magicSize + 8;
constexpr int deadlineMs = 500;
constexpr quint32 maxReply = 16u << 20;

QRect rectOf(const QJsonValue &value) {
    const QJsonObject rect = value.toObject();
    return QRect(rect.value(QStringLiteral("x")).toInt(), rect.value(QStringLiteral("y")).toInt(),
                 rect.value(QStringLiteral("width")).toInt(),
                 rect.value(QStringLiteral("height")).toInt());
}

bool waitFor(int fd, short events, const QDeadlineTimer &deadline) {
    pollfd p{fd, events, 0};
    for (;;) {
        const int left = int(qMax<qint64>(0, deadline.remainingTime()));
        const int r = ::poll(&p, 1, left);
        if (r > 0)
            return true;
        if (r == 0 || errno != EINTR)
            return false;
    }
}

bool sendAll(int fd, const QByteArray &data, const QDeadlineTimer &deadline) {
    qsizetype done = 0;
    while (done < data.size()) {
        if (!waitFor(fd, POLLOUT, deadline))
            return false;
        const ssize_t n =
            ::send(fd, data.constData() + done, size_t(data.size() - done), MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

bool receiveAll(int fd, char *buffer, qsizetype size, const QDeadlineTimer &deadline) {
    qsizetype done = 0;
    while (done < size) {
        if (!waitFor(fd, POLLIN, deadline))
            return false;
        const ssize_t n = ::recv(fd, buffer + done, size_t(size - done), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}
} // namespace

SwayIpc::SwayIpc()
    : m_path(qEnvironmentVariable("SWAYSOCK", qEnvironmentVariable("I3SOCK"))) {
}

SwayIpc::SwayIpc(QString socketPath)
    : m_path(std::move(socketPath)) {
}

QByteArray SwayIpc::request(Type type, const QByteArray &payload) const {
    const QByteArray path = m_path.toLocal8Bit();
    sockaddr_un address{};
    if (path.isEmpty() || size_t(path.size()) >= sizeof address.sun_path)
        return {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return {};
    const QDeadlineTimer deadline(deadlineMs);
    QByteArray reply;
    bool connected =
        ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
    if (!connected && errno == EINPROGRESS)
        connected = waitFor(fd, POLLOUT, deadline);
    if (connected) {
        QByteArray message(magic, magicSize);
        const quint32 header[2] = {quint32(payload.size()), quint32(type)};
        message.append(reinterpret_cast<const char *>(header), sizeof header);
        message.append(payload);
        char head[headerSize];
        if (sendAll(fd, message, deadline) && receiveAll(fd, head, headerSize, deadline) &&
            std::memcmp(head, magic, magicSize) == 0) {
            quint32 fields[2];
            std::memcpy(fields, head + magicSize, sizeof fields);
            if (fields[1] == quint32(type) && fields[0] <= maxReply) {
                reply.resize(qsizetype(fields[0]));
                if (!receiveAll(fd, reply.data(), reply.size(), deadline))
                    reply.clear();
            }
        }
    }
    ::close(fd);
    return reply;
}

bool SwayIpc::runCommand(const QString &command) const {
    const QJsonArray results =
        QJsonDocument::fromJson(request(RunCommand, command.toUtf8())).array();
    if (results.isEmpty())
        return false;
    for (const QJsonValue &result : results) {
        if (!result.toObject().value(QStringLiteral("success")).toBool())
            return false;
    }
    return true;
}

std::optional<SwayIpc::Area> SwayIpc::focusedArea() const {
    const QJsonArray workspaces = QJsonDocument::fromJson(request(GetWorkspaces, {})).array();
    QString outputName;
    QRect usable;
    for (const QJsonValue &value : workspaces) {
        const QJsonObject workspace = value.toObject();
        if (workspace.value(QStringLiteral("focused")).toBool()) {
            outputName = workspace.value(QStringLiteral("output")).toString();
            usable = rectOf(workspace.value(QStringLiteral("rect")));
        }
    }
    if (outputName.isEmpty() || usable.isEmpty())
        return std::nullopt;
    const QJsonArray outputs = QJsonDocument::fromJson(request(GetOutputs, {})).array();
    for (const QJsonValue &value : outputs) {
        const QJsonObject output = value.toObject();
        if (output.value(QStringLiteral("name")).toString() == outputName)
            return Area{rectOf(output.value(QStringLiteral("rect"))), usable};
    }
    return std::nullopt;
}

QString SwayIpc::quoted(const QString &text) {
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    out.replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}
