#include "core/SafeFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSet>
#include <algorithm>
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

namespace {

// A temporary file beside a target, written and not yet synced or renamed.
struct Pending {
    QByteArray target;
    QByteArray temporary;
    int fd = -1;
    int problem = 0;
    QString refusal;      // a reason that is not an errno
    struct stat own {};   // the temporary file, once closed
    bool refused = false; // no temporary file was written
};

// Checks the target, creates the temporary file and writes the bytes (checked). On failure
// the temporary file is gone and problem or refusal says why.
Pending prepare(const QString &path, QByteArrayView bytes) {
    Pending p;
    p.target = QFile::encodeName(path);
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash < 0 ? QStringLiteral(".") : path.left(slash);
    const QString prefix = SafeFile::temporaryPrefix(slash < 0 ? path : path.mid(slash + 1));

    struct stat old {};
    const bool exists = ::lstat(p.target.constData(), &old) == 0;
    if (exists && S_ISLNK(old.st_mode)) {
        p.refusal = QStringLiteral("it is a symbolic link, which is never written through");
        return p;
    }
    if (exists && !S_ISREG(old.st_mode)) {
        p.refusal = QStringLiteral("Not a regular file");
        return p;
    }
    const QByteArray base = QFile::encodeName(folder + QLatin1Char('/') + prefix);
    for (int attempt = 0; attempt < 16 && p.fd < 0; ++attempt) {
        p.temporary = base + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        // The mode 0666 goes through the umask, as for any new file.
        p.fd = ::open(p.temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                      0666);
        if (p.fd < 0 && errno != EEXIST) {
            p.problem = errno;
            return p;
        }
    }
    if (p.fd < 0) {
        p.problem = EEXIST;
        return p;
    }
    p.problem = writeAll(p.fd, bytes);
    // A replaced file keeps its permissions.
    if (p.problem == 0 && exists && ::fchmod(p.fd, old.st_mode & 07777) != 0)
        p.problem = errno;
    if (p.problem != 0) {
        ::close(p.fd);
        p.fd = -1;
        ::unlink(p.temporary.constData());
    }
    return p;
}

// Closes the temporary file, noting what it is; on failure it is removed.
void closeTemporary(Pending &p) {
    if (p.problem == 0 && ::fstat(p.fd, &p.own) != 0)
        p.problem = errno;
    if (::close(p.fd) != 0 && p.problem == 0)
        p.problem = errno;
    p.fd = -1;
    if (p.problem != 0)
        ::unlink(p.temporary.constData());
}

// Once the data is durable: renames the closed temporary file into place.
bool place(Pending &p, QString *error, struct stat *written) {
    if (p.problem == 0 && ::rename(p.temporary.constData(), p.target.constData()) != 0) {
        p.problem = errno;
        ::unlink(p.temporary.constData());
    }
    if (p.problem != 0)
        return fail(error, errnoText(p.problem));
    if (written) {
        // The rename itself changes the status time: read it as it now stands.
        if (::lstat(p.target.constData(), written) != 0 || written->st_ino != p.own.st_ino ||
            written->st_dev != p.own.st_dev)
            *written = {};
    }
    return true;
}

bool failed(const Pending &p, QString *error) {
    if (!p.refusal.isEmpty())
        return fail(error, p.refusal);
    return fail(error, errnoText(p.problem));
}

} // namespace

bool SafeFile::write(const QString &path, QByteArrayView bytes, QString *error,
                     struct stat *written) {
    Pending p = prepare(path, bytes);
    if (p.fd < 0)
        return failed(p, error);
    if (::fdatasync(p.fd) != 0)
        p.problem = errno;
    closeTemporary(p);
    return place(p, error, written);
}

void SafeFile::writeBatch(QList<BatchItem> &items) {
    QList<Pending> pending;
    pending.reserve(items.size());
    for (BatchItem &item : items) {
        pending.append(prepare(item.path, item.bytes));
        Pending &p = pending.last();
        if (p.fd >= 0) {
            closeTemporary(p);
        } else {
            item.ok = failed(p, &item.error);
            p.refused = true;
        }
    }
    // One sync per file system for all of them. Where that fails (or a kernel cannot say
    // which file failed), each file is synced on its own and gets its own answer.
    QSet<dev_t> synced;
    bool syncedAll = true;
    for (const Pending &p : std::as_const(pending)) {
        if (p.refused || p.problem != 0 || synced.contains(p.own.st_dev))
            continue;
        const int fd = ::open(p.temporary.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        const bool ok = fd >= 0 && ::syncfs(fd) == 0;
        if (fd >= 0)
            ::close(fd);
        if (!ok) {
            syncedAll = false;
            break;
        }
        synced.insert(p.own.st_dev);
    }
    QSet<QByteArray> folders;
    for (qsizetype i = 0; i < items.size(); ++i) {
        Pending &p = pending[i];
        BatchItem &item = items[i];
        if (p.refused)
            continue;
        if (p.problem == 0 && !syncedAll) {
            const int fd = ::open(p.temporary.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
            if (fd < 0 || ::fdatasync(fd) != 0)
                p.problem = errno;
            if (fd >= 0)
                ::close(fd);
            if (p.problem != 0)
                ::unlink(p.temporary.constData());
        }
        if (p.problem == 0 && item.stillWanted) {
            if (QString reason = item.stillWanted(); !reason.isEmpty()) {
                ::unlink(p.temporary.constData());
                item.ok = false;
                item.error = std::move(reason);
                continue;
            }
        }
        item.ok = place(p, &item.error, &item.written);
        if (item.ok) {
            const qsizetype slash = p.target.lastIndexOf('/');
            folders.insert(slash < 0 ? QByteArray(".") : p.target.left(slash));
        }
    }
    // The renames themselves are made durable once per folder.
    for (const QByteArray &folder : std::as_const(folders)) {
        const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

void SafeFile::setWriteFunction(WriteFunction function) {
    g_write = function;
}
