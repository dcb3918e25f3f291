#pragma once

#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>
#include <QVariant>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <sys/stat.h>
#include <thread>

// The user's settings file as it should be on disk: it answers the reads, and changes are
// gathered for a second and written whole on a worker thread, so dragging a window costs one
// write a second and the user interface never waits for the disk. When another program changed
// the file meanwhile, the worker merges its version in before it writes. Used from the thread
// that created it.
class SettingsFile : public QObject {
    Q_OBJECT

public:
    using Map = QMap<QString, QVariant>;

    // values: what was read from the file at path; info: its status then (st_ino 0 when there
    // was none).
    SettingsFile(const QString &path, Map values, const struct stat &info);
    ~SettingsFile() override;

    // The file at path with its status; an empty map when there is none, nothing when it cannot
    // be read. On any thread.
    static std::optional<Map> read(const QString &path, struct stat *info);

    const QString &path() const { return m_path; }
    // The key's value with every change made here, nothing when it is not set.
    std::optional<QVariant> value(const QString &key) const;
    void set(const QString &key, const QVariant &value);
    // The key and every key below it ("group/key"), as QSettings removes them.
    void remove(const QString &key);
    // Every key and value, as the file should hold them (for reading many keys in one pass).
    const Map &current();

    // Writes what is pending now and waits for it; false when the write failed (the changes
    // stay pending and go out with a later write).
    bool writeNow();

    // QSettings waits on "<file>.lock" before it writes and takes an empty one (left by a crash
    // between its creation and its first write) for live for 30 seconds. Such a file holds no
    // process: clear it, waiting at most a moment for a real holder.
    static void clearStaleLock(const QString &settingsFile);

private:
    // One key set, or removed with everything below it (no value).
    struct Change {
        QString key;
        std::optional<QVariant> value;
    };
    // A write for the worker, or done in place: the image, the keys changed in it since the
    // last write (they win over another program's version of the file), and whether to write
    // at all or only to take in another program's changes.
    struct Job {
        Map values;
        QSet<QString> changed;
        bool write = true;
    };
    struct Result {
        bool ok = true;
        QString error;
        // Another program had changed the file: the image merged with its version.
        std::optional<Map> merged;
    };

    bool setNow(const QString &key, const QVariant &value);
    bool removeNow(const QString &key);
    // Applies the changes deferred while the image was shared; unless evenIfShared, only when
    // that costs no copy. False when changes are still waiting.
    bool applyDeferred(bool evenIfShared);
    void defer(Change change);
    bool imageIsOwn() const { return m_values.isEmpty() || m_values.isDetached(); }
    void schedule(int ms);
    void startWrite();
    void collectResult();
    void handleResult(const Result &result);
    // On any thread.
    Result perform(Job job);
    bool changedElsewhere();
    // Takes in a merge with another program's version of the file.
    void adopt(Result &result);
    void remember(const struct stat *written);
    void run();

    Map m_values;
    // Changes made while the image was shared with a write in progress or a load's snapshot,
    // in order. Changing a shared image would copy it whole, twenty thousand keys, on the user
    // interface's thread.
    QList<Change> m_deferred;
    // The same for reading: each key's latest deferred change, and the groups removed.
    QHash<QString, std::optional<QVariant>> m_pending;
    QSet<QString> m_removedGroups;
    // Keys set or removed since the last write began, and those of the write under way.
    QSet<QString> m_unwritten;
    QSet<QString> m_writing;
    int m_postponed = 0; // writes put off in a row because the image was still shared
    QString m_path;
    QTimer m_timer;
    const int m_delay = 1000;
    int m_retryDelay = 1000;
    bool m_dirty = false;
    bool m_failing = false;

    // Shared with the worker.
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_done;
    std::optional<Job> m_job;
    std::optional<Result> m_result;
    bool m_busy = false;
    bool m_stop = false;
    bool m_known = false; // the file existed when last read or written here, as m_seen
    struct stat m_seen {};
    std::thread m_thread;
};
