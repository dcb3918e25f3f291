#pragma once

#include <QtGlobal>

struct stat;

// What a file looked like when this program last read or wrote it: enough to tell whether
// another program has changed it since. Size and modification time alone can miss a rewrite
// within the same clock tick; the inode and the status-change time catch a replacement and
// an in-place rewrite.
struct FileStamp {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = -1;
    qint64 modified = 0; // nanoseconds
    qint64 changed = 0;  // status change, nanoseconds

    static FileStamp of(const struct stat &info);
    // The file at path now; an invalid stamp when there is none.
    static FileStamp ofPath(const QByteArray &nativePath);
    // The entry name in the open folder folderFd now: no walk down the folder's path.
    static FileStamp ofEntry(int folderFd, const char *name);

    bool isValid() const { return inode != 0; }
    bool operator==(const FileStamp &) const = default;
};
