#include "settings/SettingsFile.h"

#include "core/LateRelease.h"
#include "core/Log.h"
#include "core/SafeFile.h"
#include "settings/IniCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <utility>

namespace {

constexpr int longestRetryMs = 60000;
// Times in a row a write waits for the image to be this object's alone before it copies it.
constexpr int maxPostponed = 8;

bool sameFile(const struct stat &a, const struct stat &b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// A settings file kept elsewhere and linked into place (a dotfiles folder) is replaced where
// the link points, as QSettings did; the link itself stays.
QString writeTarget(const QString &path) {
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString target = info.canonicalFilePath();
    return target.isEmpty() ? info.symLinkTarget() : target;
}

// The folder is made on the first write, as QSettings does.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error, struct stat *written) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::write(writeTarget(path), bytes, error, written);
}

// Moves the keys of from into into. After a rename at thousands of palettes both sets hold a
// key per palette, and into is usually empty: then the set itself moves, uncopied.
void moveKeys(QSet<QString> &from, QSet<QString> &into) {
    if (into.isEmpty())
        into = std::exchange(from, {});
    else
        into.unite(std::exchange(from, {}));
}

// The file as it stands at path, through a link: what a write above leaves there.
bool statFile(const QString &path, struct stat *info) {
    return ::stat(QFile::encodeName(path).constData(), info) == 0;
}

// True when the map changed.
bool setIn(SettingsFile::Map &values, const QString &key, const QVariant &value) {
    // One walk down the map where that does not copy it.
    if (values.isDetached()) {
        const auto it = values.find(key);
        if (it == values.end())
            values.insert(key, value);
        else if (it->typeId() == value.typeId() && *it == value)
            return false;
        else
            *it = value;
    } else {
        const auto it = values.constFind(key);
        if (it != values.cend() && it->typeId() == value.typeId() && *it == value)
            return false;
        values.insert(key, value);
    }
    return true;
}

// The key and every key below it, as QSettings removes them.
bool removeIn(SettingsFile::Map &values, const QString &key) {
    const QString below = key + QLatin1Char('/');
    const auto first = values.constFind(key);
    const auto child = std::as_const(values).lowerBound(below);
    if (first == values.cend() && (child == values.cend() || !child.key().startsWith(below)))
        return false;
    values.remove(key);
    for (auto it = values.lowerBound(below); it != values.end() && it.key().startsWith(below);)
        it = values.erase(it);
    return true;
}

// Lays from's version of each of keys over onto: the value, or for a key from no longer has,
// its removal with everything below it and then what was set below it since. True when onto
// changed.
bool overlay(SettingsFile::Map &onto, const SettingsFile::Map &from, const QSet<QString> &keys) {
    bool changed = false;
    for (const QString &key : keys) {
        const auto it = from.constFind(key);
        if (it != from.cend()) {
            changed |= setIn(onto, key, *it);
            continue;
        }
        changed |= removeIn(onto, key);
        const QString below = key + QLatin1Char('/');
        for (auto c = from.lowerBound(below); c != from.cend() && c.key().startsWith(below); ++c)
            changed |= setIn(onto, c.key(), *c);
    }
    return changed;
}

} // namespace

std::optional<SettingsFile::Map> SettingsFile::read(const QString &path, struct stat *info) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (file.exists())
            return std::nullopt;
        *info = {};
        return SettingsFile::Map();
    }
    if (::fstat(file.handle(), info) != 0)
        return std::nullopt;
    return IniCodec::read(file.readAll());
}

void SettingsFile::clearStaleLock(const QString &settingsFile) {
    // Taking the lock syncs a file to disk: only when there is one to clear.
    const QString name = settingsFile + QStringLiteral(".lock");
    struct stat info {};
    if (::lstat(QFile::encodeName(name).constData(), &info) != 0)
        return;
    QLockFile lock(name);
    lock.setStaleLockTime(1000);
    if (lock.tryLock(1500))
        lock.unlock();
}

SettingsFile::SettingsFile(const QString &path, Map values, const struct stat &info)
    : m_values(std::move(values))
    , m_path(path) {
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SettingsFile::startWrite);
    std::lock_guard lock(m_mutex);
    if (info.st_ino != 0)
        remember(&info);
}

SettingsFile::~SettingsFile() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

std::optional<QVariant> SettingsFile::value(const QString &key) const {
    if (!m_pending.isEmpty()) {
        const auto it = m_pending.constFind(key);
        if (it != m_pending.cend())
            return *it;
        // A key below a group removed since counts as gone (those set after are in m_pending).
        for (qsizetype slash = m_removedGroups.isEmpty() ? -1 : key.indexOf(QLatin1Char('/'));
             slash > 0; slash = key.indexOf(QLatin1Char('/'), slash + 1)) {
            if (m_removedGroups.contains(key.left(slash)))
                return std::nullopt;
        }
    }
    const auto it = m_values.constFind(key);
    if (it == m_values.cend())
        return std::nullopt;
    return *it;
}

void SettingsFile::defer(Change change) {
    if (change.value) {
        m_pending.insert(change.key, *change.value);
    } else {
        // What was set below the group before goes with it.
        const QString below = change.key + QLatin1Char('/');
        m_pending.removeIf([&below](const auto &entry) { return entry.key().startsWith(below); });
        m_pending.insert(change.key, std::nullopt);
        m_removedGroups.insert(change.key);
    }
    m_deferred.append(std::move(change));
    schedule(m_delay);
}

void SettingsFile::set(const QString &key, const QVariant &value) {
    m_unwritten.insert(key);
    if (!imageIsOwn()) {
        defer(Change{key, value});
        return;
    }
    applyDeferred(false);
    if (setNow(key, value)) {
        m_dirty = true;
        schedule(m_delay);
    }
}

void SettingsFile::remove(const QString &key) {
    m_unwritten.insert(key);
    if (!imageIsOwn()) {
        defer(Change{key, std::nullopt});
        return;
    }
    applyDeferred(false);
    if (removeNow(key)) {
        m_dirty = true;
        schedule(m_delay);
    }
}

// True when the image changed.
bool SettingsFile::setNow(const QString &key, const QVariant &value) {
    return setIn(m_values, key, value);
}

bool SettingsFile::removeNow(const QString &key) {
    return removeIn(m_values, key);
}

bool SettingsFile::applyDeferred(bool evenIfShared) {
    if (m_deferred.isEmpty())
        return true;
    if (!evenIfShared && !imageIsOwn())
        return false;
    const QList<Change> changes = std::exchange(m_deferred, {});
    m_pending.clear();
    m_removedGroups.clear();
    for (const Change &change : changes)
        if (change.value ? setNow(change.key, *change.value) : removeNow(change.key))
            m_dirty = true;
    return true;
}

const SettingsFile::Map &SettingsFile::current() {
    bool idle = false;
    {
        std::lock_guard lock(m_mutex);
        idle = !m_busy && !m_job;
    }
    // Readers need what another program wrote (a sync client's positions before a load
    // rewrites them): take it in now, and leave the write to the timer. Otherwise the write
    // under way takes it in.
    if (idle && changedElsewhere()) {
        QSet<QString> changed = m_unwritten;
        changed.unite(m_writing);
        Result result = perform(Job{m_values, std::move(changed), false});
        if (result.merged)
            adopt(result);
    }
    // Readers need every change: a copy here is the rare case (a read between a change and the
    // end of the write or load that shares the image).
    applyDeferred(true);
    return m_values;
}

void SettingsFile::schedule(int ms) {
    if (!m_timer.isActive())
        m_timer.start(ms);
}

// From the timer: hands the current image to the worker, unless a write is still running (its
// end schedules the next one).
void SettingsFile::startWrite() {
    collectResult();
    {
        std::lock_guard lock(m_mutex);
        if (m_busy || m_job)
            return;
    }
    // Changes still waiting for a load to let go of the image: try again shortly rather than
    // copy it here, but not for ever.
    if (!applyDeferred(++m_postponed > maxPostponed)) {
        m_timer.start(m_delay / 4);
        return;
    }
    m_postponed = 0;
    if (!m_dirty)
        return;
    m_dirty = false;
    moveKeys(m_unwritten, m_writing);
    std::lock_guard lock(m_mutex);
    m_job = Job{m_values, m_writing, true};
    if (!m_thread.joinable())
        m_thread = std::thread(&SettingsFile::run, this);
    m_wake.notify_all();
}

void SettingsFile::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_job; });
        if (m_stop)
            return;
        Job job = std::move(*m_job);
        m_job.reset();
        m_busy = true;
        lock.unlock();
        // The job's image is let go of inside: the user interface may change it again
        // without a copy as soon as the result arrives.
        Result result = perform(std::move(job));
        lock.lock();
        m_busy = false;
        m_result = std::move(result);
        m_done.notify_all();
        QMetaObject::invokeMethod(this, &SettingsFile::collectResult, Qt::QueuedConnection);
    }
}

// Writes the job's image, or, when another program changed the file since this object last
// read or wrote it, that program's version with the job's changed keys laid over it: its
// changes stay, and so do the ones made here that it has not seen. Merging here keeps reading,
// comparing and rewriting twenty thousand keys off the user interface's thread.
SettingsFile::Result SettingsFile::perform(Job job) {
    Result result;
    bool write = job.write;
    if (changedElsewhere()) {
        struct stat seen {};
        std::optional<Map> disk = read(m_path, &seen);
        // Unreadable: written over as before, the only way the changes made here get out.
        if (disk) {
            const bool ours = overlay(*disk, job.values, job.changed);
            result.merged = std::move(*disk);
            // The file holds every change already: nothing to write.
            write = write && ours;
            if (!write) {
                std::lock_guard lock(m_mutex);
                if (seen.st_ino != 0)
                    remember(&seen);
                else
                    m_known = false;
            }
        }
    }
    if (!write)
        return result;
    const QByteArray bytes = IniCodec::write(result.merged ? *result.merged : job.values);
    job.values = Map();
    struct stat written {};
    result.ok = writeFile(m_path, bytes, &result.error, &written);
    if (result.ok) {
        std::lock_guard lock(m_mutex);
        remember(&written);
    }
    return result;
}

void SettingsFile::collectResult() {
    std::optional<Result> result;
    {
        std::lock_guard lock(m_mutex);
        result = std::exchange(m_result, std::nullopt);
    }
    if (!result)
        return;
    // The worker has let go of the image: changes made meanwhile apply without a copy.
    applyDeferred(false);
    if (result->merged)
        adopt(*result);
    handleResult(*result);
}

// The merge becomes the image, with the changes made here since the job began laid over it.
void SettingsFile::adopt(Result &result) {
    Map merged = std::move(*result.merged);
    result.merged.reset();
    overlay(merged, m_values, m_unwritten);
    for (const Change &change : std::exchange(m_deferred, {})) {
        if (change.value ? setIn(merged, change.key, *change.value) : removeIn(merged, change.key))
            m_dirty = true;
    }
    m_pending.clear();
    m_removedGroups.clear();
    // The old image's twenty thousand keys are freed elsewhere.
    LateRelease::drop(std::exchange(m_values, std::move(merged)));
}

void SettingsFile::handleResult(const Result &result) {
    if (result.ok)
        m_writing.clear();
    else
        moveKeys(m_writing, m_unwritten);
    if (result.ok) {
        m_failing = false;
        m_retryDelay = m_delay;
        if (m_dirty || !m_deferred.isEmpty())
            schedule(m_delay);
        return;
    }
    // Nothing is lost: the image stays and goes out with a later write, tried less and less
    // often while the disk keeps refusing it.
    m_dirty = true;
    if (!m_failing)
        logLine(QStringLiteral("Failed to save file %1 : %2")
                    .arg(QFileInfo(m_path).fileName(), result.error));
    m_failing = true;
    m_timer.start(m_retryDelay);
    m_retryDelay = qMin(m_retryDelay * 2, longestRetryMs);
}

bool SettingsFile::writeNow() {
    m_timer.stop();
    {
        std::unique_lock lock(m_mutex);
        if (m_job) {
            // Not started yet: the newer image below replaces it.
            m_job.reset();
            m_dirty = true;
            moveKeys(m_writing, m_unwritten);
        }
        m_done.wait(lock, [this] { return !m_busy; });
    }
    collectResult();
    applyDeferred(true);
    // Another program's changes are taken in even with nothing of ours to write.
    if (!m_dirty && !changedElsewhere())
        return true;
    m_dirty = false;
    moveKeys(m_unwritten, m_writing);
    Result result = perform(Job{m_values, m_writing, true});
    if (result.merged)
        adopt(result);
    handleResult(result);
    return result.ok;
}

bool SettingsFile::changedElsewhere() {
    struct stat now {};
    const bool exists = statFile(m_path, &now);
    std::lock_guard lock(m_mutex);
    if (!m_known)
        return exists;
    return !exists || !sameFile(now, m_seen);
}

// Called with m_mutex held. Without a status from a write, the file as it stands now.
void SettingsFile::remember(const struct stat *written) {
    if (written) {
        m_seen = *written;
        m_known = true;
        return;
    }
    m_known = statFile(m_path, &m_seen);
}
