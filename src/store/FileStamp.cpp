#include "store/FileStamp.h"

#include <QByteArray>
#include <fcntl.h>
#include <sys/stat.h>

namespace {
qint64 nanoseconds(const timespec &time) {
    return qint64(time.tv_sec) * 1000000000 + time.tv_nsec;
}
} // namespace

FileStamp FileStamp::of(const struct stat &info) {
    return FileStamp{quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
                     nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

FileStamp FileStamp::ofPath(const QByteArray &nativePath) {
    struct stat info {};
    if (::lstat(nativePath.constData(), &info) != 0)
        return {};
    return of(info);
}

FileStamp FileStamp::ofEntry(int folderFd, const char *name) {
    struct stat info {};
    if (::fstatat(folderFd, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return of(info);
}
