#pragma once

#include "core/SafeFile.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <vector>

// Writes files through SafeFile on a thread of its own, one at a time in the order asked, so
// that syncing a file of several megabytes never holds up the window that changed it. A write
// asked for while an older one of the same file still waits replaces it: only the newest
// content matters. Completions run on the thread that asked, from its event loop or flush().
class BackgroundWriter : public QObject {
    Q_OBJECT
public:
    // Makes the bytes on the writer thread (encoding a large palette); nullopt writes nothing.
    using Produce = std::function<std::optional<QByteArray>()>;
    // The bytes made (nullopt: none, nothing written), whether they were written, the reason
    // when not, and the new file's status as SafeFile gives it.
    using Done = std::function<void(const std::optional<QByteArray> &bytes, bool ok,
                                    const QString &error, const struct stat &written)>;

    static BackgroundWriter &instance();
    ~BackgroundWriter() override;

    void write(const QString &path, Produce produce, Done done);
    // Writes the files together (SafeFile::writeBatch); done gets them back with their
    // outcomes. The bytes they point to must live until done has run (done may own them).
    using BatchDone = std::function<void(QList<SafeFile::BatchItem> &items)>;
    void writeBatch(QList<SafeFile::BatchItem> items, BatchDone done);
    // A write of the file at this path (native encoding) is queued or under way.
    bool isPending(const QByteArray &nativePath) const;
    bool isIdle() const { return m_pending.isEmpty(); }
    // Waits until every queued write is done and runs their completions now.
    void flush();

private:
    BackgroundWriter() = default;
    void run();
    void deliver();

    struct Job {
        QString path;
        QByteArray native;
        Produce produce;
        Done done;
        QList<SafeFile::BatchItem> batch; // a batch job: these, not path
        BatchDone batchDone;
    };
    struct Result {
        QByteArray native;
        bool ok = false;
        QString error;
        struct stat written {};
        std::optional<QByteArray> bytes;
        Done done;
        QList<SafeFile::BatchItem> batch;
        BatchDone batchDone;
    };

    // Touched by the asking thread only.
    QHash<QByteArray, int> m_pending;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_queue;
    std::vector<Result> m_results;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
