#include "settings/SettingsFile.h"

#include "core/Log.h"
#include "core/SafeFile.h"
#include "settings/IniCodec.h"

#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSettings>
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

} // namespace

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

SettingsFile::Map SettingsFile::ownValues(QSettings &settings) {
    settings.setFallbacksEnabled(false);
    Map values;
    const QStringList keys = settings.allKeys();
    for (const QString &key : keys)
        values.insert(key, settings.value(key));
    settings.setFallbacksEnabled(true);
    return values;
}

SettingsFile::SettingsFile(QSettings &settings, Map values)
    : m_settings(settings)
    , m_values(std::move(values))
    , m_path(settings.fileName()) {
    // QSettings posts itself a request to write everything after each change: drop it.
    m_settings.installEventFilter(this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &SettingsFile::startWrite);
    std::lock_guard lock(m_mutex);
    remember(nullptr);
}

SettingsFile::~SettingsFile() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    m_settings.removeEventFilter(this);
}

bool SettingsFile::eventFilter(QObject *watched, QEvent *event) {
    return watched == &m_settings && event->type() == QEvent::UpdateRequest;
}

void SettingsFile::set(const QString &key, const QVariant &value) {
    m_unwritten.insert(key);
    if (!imageIsOwn()) {
        m_deferred.append(Change{key, value});
        schedule(m_delay);
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
        m_deferred.append(Change{key, std::nullopt});
        schedule(m_delay);
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
    // One walk down the map where that does not copy it.
    if (m_values.isDetached()) {
        const auto it = m_values.find(key);
        if (it == m_values.end())
            m_values.insert(key, value);
        else if (it->typeId() == value.typeId() && *it == value)
            return false;
        else
            *it = value;
    } else {
        const auto it = m_values.constFind(key);
        if (it != m_values.cend() && it->typeId() == value.typeId() && *it == value)
            return false;
        m_values.insert(key, value);
    }
    return true;
}

bool SettingsFile::removeNow(const QString &key) {
    const QString below = key + QLatin1Char('/');
    const auto first = m_values.constFind(key);
    const auto child = std::as_const(m_values).lowerBound(below);
    if (first == m_values.cend() && (child == m_values.cend() || !child.key().startsWith(below)))
        return false;
    m_values.remove(key);
    for (auto it = m_values.lowerBound(below); it != m_values.end() && it.key().startsWith(below);)
        it = m_values.erase(it);
    return true;
}

bool SettingsFile::applyDeferred(bool evenIfShared) {
    if (m_deferred.isEmpty())
        return true;
    if (!evenIfShared && !imageIsOwn())
        return false;
    const QList<Change> changes = std::exchange(m_deferred, {});
    for (const Change &change : changes)
        if (change.value ? setNow(change.key, *change.value) : removeNow(change.key))
            m_dirty = true;
    return true;
}

const SettingsFile::Map &SettingsFile::current() {
    bool busy = false;
    {
        std::lock_guard lock(m_mutex);
        busy = m_busy;
    }
    if (!busy && changedElsewhere())
        takeOverFromSettings();
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
    if (changedElsewhere())
        takeOverFromSettings();
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
    m_job = m_values;
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
        Map values = std::move(*m_job);
        m_job.reset();
        m_busy = true;
        lock.unlock();
        const QByteArray bytes = IniCodec::write(values);
        values = Map();
        Result result;
        struct stat written {};
        result.ok = writeFile(m_path, bytes, &result.error, &written);
        lock.lock();
        m_busy = false;
        if (result.ok)
            remember(&written);
        m_result = result;
        m_done.notify_all();
        QMetaObject::invokeMethod(this, &SettingsFile::collectResult, Qt::QueuedConnection);
    }
}

void SettingsFile::collectResult() {
    std::optional<Result> result;
    {
        std::lock_guard lock(m_mutex);
        result.swap(m_result);
    }
    if (!result)
        return;
    // The worker has let go of the image: changes made meanwhile apply without a copy.
    applyDeferred(false);
    handleResult(*result);
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
    if (changedElsewhere())
        takeOverFromSettings();
    applyDeferred(true);
    if (!m_dirty)
        return true;
    m_dirty = false;
    moveKeys(m_unwritten, m_writing);
    Result result;
    struct stat written {};
    result.ok = writeFile(m_path, IniCodec::write(m_values), &result.error, &written);
    if (result.ok) {
        std::lock_guard lock(m_mutex);
        remember(&written);
    }
    handleResult(result);
    return result.ok;
}

// Someone else wrote the file (by hand, or another QSettings on it): let QSettings read it
// again and merge into it the changes this program has not written yet, and start from its
// view.
void SettingsFile::takeOverFromSettings() {
    clearStaleLock(m_path);
    keepLaterChangesFromDisk();
    m_settings.sync();
    m_values = ownValues(m_settings);
    // QSettings had every change, deferred ones too: they are in what it read back.
    m_deferred.clear();
    m_dirty = m_settings.status() != QSettings::NoError;
    if (!m_dirty)
        m_unwritten.clear();
    std::lock_guard lock(m_mutex);
    remember(nullptr);
}

bool SettingsFile::unwritten(const QString &key) const {
    if (m_unwritten.contains(key) || m_writing.contains(key))
        return true;
    // A removed group takes every key below it.
    for (qsizetype slash = key.indexOf(QLatin1Char('/')); slash > 0;
         slash = key.indexOf(QLatin1Char('/'), slash + 1)) {
        const QString group = key.left(slash);
        if (m_unwritten.contains(group) || m_writing.contains(group))
            return true;
    }
    return false;
}

// QSettings lays every change it was handed since it last wrote the file itself (here: since
// the start, or the last time another program wrote the file) over what it reads back. Most
// of them reached the disk long ago through this object's own writes, and the other program
// may have changed those keys since: QSettings is told what the file holds now for every key
// that has no change of this program still unwritten, so only those changes win.
void SettingsFile::keepLaterChangesFromDisk() {
    QFile file(m_path);
    Map disk;
    if (file.open(QIODevice::ReadOnly))
        disk = IniCodec::read(file.readAll());
    else if (file.exists())
        return; // unreadable now: QSettings' own merge, as before
    m_settings.setFallbacksEnabled(false);
    QStringList keys = m_settings.allKeys();
    for (auto it = disk.cbegin(); it != disk.cend(); ++it)
        keys.append(it.key());
    keys.sort();
    keys.removeDuplicates();
    for (const QString &key : std::as_const(keys)) {
        if (unwritten(key))
            continue;
        const auto onDisk = disk.constFind(key);
        if (onDisk == disk.cend()) {
            if (m_settings.contains(key))
                m_settings.remove(key);
        } else if (!m_settings.contains(key) || m_settings.value(key) != *onDisk) {
            m_settings.setValue(key, *onDisk);
        }
    }
    m_settings.setFallbacksEnabled(true);
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
