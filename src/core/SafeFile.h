#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <functional>
#include <sys/stat.h>
#include <sys/types.h>

// Replaces a file whole or not at all. The bytes go to a new file beside the target, every
// write is checked, the data is synced, and only then is the new file renamed over the old
// one. Any failure leaves the old file byte-identical and removes the temporary one.
// (QSaveFile is not used: Qt 6.4's commit() ignores a failed final flush, which on a full
// disk links an empty file into place.)
class SafeFile {
public:
    SafeFile() = delete;

    // False on failure, with the reason (the system's wording, such as "No space left on
    // device") in *error when given. A symbolic link at path is refused, never followed.
    // *written, when given, receives the new file's status as it stands in place (zeroed when
    // another file took its place at once), so callers can tell later changes from their own.
    static bool write(const QString &path, QByteArrayView bytes, QString *error = nullptr,
                      struct stat *written = nullptr);

    // One file of writeBatch: the result fields are filled in by the call.
    struct BatchItem {
        QString path;
        QByteArrayView bytes;
        bool ok = false;
        QString error;          // why it was not written, when !ok
        struct stat written {}; // as for write()
        // Asked on the writing thread after the sync, just before the rename: a reason not to
        // replace the file after all (another program changed it meanwhile), or empty.
        std::function<QString()> stillWanted;
    };
    // Writes many files with the same guarantee as write() for each, but makes them durable
    // together (one sync of the file system instead of one per file) before renaming any
    // of them into place. A failure leaves that file as it was and does not stop the others.
    static void writeBatch(QList<BatchItem> &items);

    // The temporary file's name for a target name: hidden, and never ending in the target's
    // suffix, so that nobody takes it for the real file.
    static QString temporaryPrefix(const QString &fileName);

    // Tests replace the write call to fail part-way; nullptr restores ::write.
    using WriteFunction = ssize_t (*)(int fd, const void *data, size_t size);
    static void setWriteFunction(WriteFunction function);
};
