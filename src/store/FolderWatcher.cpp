#include "store/FolderWatcher.h"

#include <QFile>
#include <QSocketNotifier>
#include <algorithm>
#include <cerrno>
#include <mutex>
#include <sys/inotify.h>
#include <unistd.h>
#include <utility>

namespace {
constexpr uint32_t folderEvents = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE |
                                  IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                                  IN_ONLYDIR;
constexpr uint32_t parentEvents = IN_CREATE | IN_MOVED_TO | IN_ONLYDIR;

// A watch set up ahead, until its watcher takes it.
struct Ahead {
    std::mutex mutex;
    QString folder;
    FolderWatcher::Watches watches;
};

Ahead &ahead() {
    static Ahead watch;
    return watch;
}
} // namespace

FolderWatcher::Watches FolderWatcher::openWatches(const QString &folder) {
    Watches watches;
    watches.fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watches.fd < 0)
        return watches;
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    const QByteArray parentPath = QFile::encodeName(slash > 0 ? folder.left(slash) : folder);
    watches.parentWatch = ::inotify_add_watch(watches.fd, parentPath.constData(), parentEvents);
    watches.folderWatch =
        ::inotify_add_watch(watches.fd, QFile::encodeName(folder).constData(), folderEvents);
    return watches;
}

void FolderWatcher::watchAhead(const QString &folder) {
    const Watches watches = openWatches(folder);
    Ahead &slot = ahead();
    const std::lock_guard lock(slot.mutex);
    if (slot.watches.fd >= 0)
        ::close(slot.watches.fd);
    slot.folder = folder;
    slot.watches = watches;
}

FolderWatcher::Watches FolderWatcher::takeAhead(const QString &folder) {
    Ahead &slot = ahead();
    const std::lock_guard lock(slot.mutex);
    Watches watches = std::exchange(slot.watches, Watches());
    if (watches.fd >= 0 && slot.folder != folder) {
        ::close(watches.fd); // set up for another folder: of no use here
        watches = Watches();
    }
    return watches;
}

FolderWatcher::FolderWatcher(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder) {
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    m_folderName = QFile::encodeName(folder.mid(slash + 1));
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(quietMs);
    connect(&m_quiet, &QTimer::timeout, this, &FolderWatcher::flush);
    Watches watches = takeAhead(folder);
    if (watches.fd < 0)
        watches = openWatches(folder);
    m_fd = watches.fd;
    if (m_fd < 0)
        return;
    m_folderWatch = watches.folderWatch;
    m_parentWatch = watches.parentWatch;
    // Changes already waiting (those since a watch set up ahead) are read at the loop's next
    // turn.
    m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatcher::readEvents);
}

FolderWatcher::~FolderWatcher() {
    if (m_fd >= 0)
        ::close(m_fd);
}

void FolderWatcher::arm() {
    if (m_fd < 0)
        return;
    m_folderWatch =
        ::inotify_add_watch(m_fd, QFile::encodeName(m_folder).constData(), folderEvents);
}

void FolderWatcher::note(const QString &name) {
    if (!name.endsWith(QLatin1String(".json")))
        return; // temporary and partial files of every tool: only palette names count
    m_pending.insert(name);
    schedule();
}

void FolderWatcher::noteReplaced() {
    m_replaced = true;
    schedule();
}

void FolderWatcher::schedule() {
    if (!m_burst.isValid())
        m_burst.start();
    // Quiet for a moment, but a steady stream of changes still ends within a second.
    const qint64 left = longestWaitMs - m_burst.elapsed();
    m_quiet.start(int(std::clamp<qint64>(left, 0, quietMs)));
}

void FolderWatcher::readEvents() {
    alignas(inotify_event) char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(m_fd, buffer, sizeof buffer);
        if (length <= 0) {
            if (length < 0 && errno == EINTR)
                continue;
            return;
        }
        for (ssize_t at = 0; at < length;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            at += ssize_t(sizeof(inotify_event) + event->len);
            const QByteArray name = event->len ? QByteArray(event->name) : QByteArray();
            if (event->mask & IN_Q_OVERFLOW) {
                // Events were lost: everything may have changed.
                noteReplaced();
            } else if (event->wd == m_folderWatch) {
                if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                    ::inotify_rm_watch(m_fd, m_folderWatch);
                    m_folderWatch = -1;
                    noteReplaced();
                } else if (!name.isEmpty()) {
                    note(QFile::decodeName(name));
                }
            } else if (event->wd == m_parentWatch && name == m_folderName) {
                // The folder is back (a checkout of another branch, a sync client): watch the
                // new one and look at everything in it.
                if (m_folderWatch >= 0)
                    ::inotify_rm_watch(m_fd, m_folderWatch);
                arm();
                noteReplaced();
            }
        }
    }
}

void FolderWatcher::flush() {
    m_burst.invalidate();
    if (m_folderWatch < 0)
        arm(); // it may have come back without the parent telling (a rename over it)
    QSet<QString> names;
    names.swap(m_pending);
    const bool replaced = m_replaced;
    m_replaced = false;
    emit filesChanged(names, replaced);
}
