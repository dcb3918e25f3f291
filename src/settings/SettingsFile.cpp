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

namespace {

constexpr int longestRetryMs = 60000;

bool sameFile(const struct stat &a, const struct stat &b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
           a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}

// The folder is made on the first write, as QSettings does.
bool writeFile(const QString &path, const QByteArray &bytes, QString *error, struct stat *written) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    return SafeFile::write(path, bytes, error, written);
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
    // One walk down the map where that does not copy it (a write may be holding it): a load
    // may set twenty thousand keys at once.
    if (m_values.isDetached()) {
        const auto it = m_values.find(key);
        if (it == m_values.end())
            m_values.insert(key, value);
        else if (it->typeId() == value.typeId() && *it == value)
            return;
        else
            *it = value;
    } else {
        const auto it = m_values.constFind(key);
        if (it != m_values.cend() && it->typeId() == value.typeId() && *it == value)
            return;
        m_values.insert(key, value);
    }
    m_dirty = true;
    schedule(m_delay);
}

void SettingsFile::remove(const QString &key) {
    const QString below = key + QLatin1Char('/');
    bool removed = m_values.remove(key) > 0;
    for (auto it = m_values.lowerBound(below);
         it != m_values.end() && it.key().startsWith(below);) {
        it = m_values.erase(it);
        removed = true;
    }
    if (!removed)
        return;
    m_dirty = true;
    schedule(m_delay);
}

const SettingsFile::Map &SettingsFile::current() {
    bool busy = false;
    {
        std::lock_guard lock(m_mutex);
        busy = m_busy;
    }
    if (!busy && changedElsewhere())
        takeOverFromSettings();
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
    if (!m_dirty)
        return;
    m_dirty = false;
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
    if (result)
        handleResult(*result);
}

void SettingsFile::handleResult(const Result &result) {
    if (result.ok) {
        m_failing = false;
        m_retryDelay = m_delay;
        if (m_dirty)
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
        }
        m_done.wait(lock, [this] { return !m_busy; });
    }
    collectResult();
    if (changedElsewhere())
        takeOverFromSettings();
    if (!m_dirty)
        return true;
    m_dirty = false;
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
// again and merge this program's changes into it, as it always did, and start from its view.
void SettingsFile::takeOverFromSettings() {
    clearStaleLock(m_path);
    m_settings.sync();
    Map values;
    const QStringList keys = m_settings.allKeys();
    for (const QString &key : keys)
        values.insert(key, m_settings.value(key));
    m_values = values;
    m_dirty = m_settings.status() != QSettings::NoError;
    std::lock_guard lock(m_mutex);
    remember(nullptr);
}

bool SettingsFile::changedElsewhere() {
    struct stat now {};
    const bool exists = ::lstat(QFile::encodeName(m_path).constData(), &now) == 0;
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
    m_known = ::lstat(QFile::encodeName(m_path).constData(), &m_seen) == 0;
}
