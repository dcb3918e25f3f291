#include "core/SafeFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

SafeFile::WriteFunction g_write = nullptr;

QString errnoText(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

bool fail(QString *error, const QString &reason) {
    if (error)
        *error = reason;
    return false;
}

// Writes everything or reports the first error; a short write is retried for the rest.
int writeAll(int fd, QByteArrayView bytes) {
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n =
            g_write ? g_write(fd, data, size_t(left)) : ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        data += n;
        left -= n;
    }
    return 0;
}

} // namespace

QString SafeFile::temporaryPrefix(const QString &fileName) {
    // Room for the dot, ".tmp-" and the random part inside a 255-byte file name.
    QString base = fileName;
    while (QFile::encodeName(base).size() > 200)
        base.chop(1);
    return QLatin1Char('.') + base + QStringLiteral(".tmp-");
}

bool SafeFile::write(const QString &path, QByteArrayView bytes, QString *error,
                     struct stat *written) {
    const QByteArray target = QFile::encodeName(path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : path.left(slash);
    const QString prefix = temporaryPrefix(slash < 0 ? path : path.mid(slash + 1));

    struct stat old {};
    const bool exists = ::lstat(target.constData(), &old) == 0;
    if (exists && S_ISLNK(old.st_mode))
        return fail(error, QStringLiteral("it is a symbolic link, which is never written through"));
    if (exists && !S_ISREG(old.st_mode))
        return fail(error, QStringLiteral("Not a regular file"));

    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = QFile::encodeName(folder + QLatin1Char('/') + prefix) +
                    QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // The mode 0666 goes through the umask, as for any new file.
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                    0666);
        if (fd < 0 && errno != EEXIST)
            return fail(error, errnoText(errno));
    }
    if (fd < 0)
        return fail(error, errnoText(EEXIST));

    int problem = writeAll(fd, bytes);
    // A replaced file keeps its permissions.
    if (problem == 0 && exists && ::fchmod(fd, old.st_mode & 07777) != 0)
        problem = errno;
    if (problem == 0 && ::fdatasync(fd) != 0)
        problem = errno;
    struct stat own {};
    if (problem == 0 && ::fstat(fd, &own) != 0)
        problem = errno;
    if (::close(fd) != 0 && problem == 0)
        problem = errno;
    if (problem == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        problem = errno;
    if (problem != 0) {
        ::unlink(temporary.constData());
        return fail(error, errnoText(problem));
    }
    if (written) {
        // The rename itself changes the status time: read it as it now stands.
        if (::lstat(target.constData(), written) != 0 || written->st_ino != own.st_ino ||
            written->st_dev != own.st_dev)
            *written = {};
    }
    return true;
}

void SafeFile::setWriteFunction(WriteFunction function) {
    g_write = function;
}
