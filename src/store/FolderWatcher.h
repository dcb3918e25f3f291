#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// Watches the palettes folder (inotify) and reports, once per burst, the names of palette
// files that appeared, changed, moved or went away. A burst (a checkout of thousands of files,
// a sync client delivering a folder) ends when the folder has been quiet for a moment, or at
// the latest after a second, so that files still being written are read once whole. Sync
// clients replace a file by deleting it and moving a temporary file in: the short wait turns
// that into one change instead of a removal. When the folder itself is removed or replaced,
// watching resumes on the new one.
class FolderWatcher : public QObject {
    Q_OBJECT
public:
    explicit FolderWatcher(const QString &folder, QObject *parent = nullptr);
    ~FolderWatcher() override;

    // Starts watching a folder about to be listed, from any thread. The watcher made for that
    // folder later takes the watch over, with every change made since: a change that lands
    // between the listing and the watcher (the start-up's scan runs while the toolkit starts)
    // is not missed.
    static void watchAhead(const QString &folder);

    // The inotify side: a descriptor with the folder's and its parent's watches.
    struct Watches {
        int fd = -1;
        int folderWatch = -1;
        int parentWatch = -1;
    };

    bool isWatching() const { return m_folderWatch >= 0; }
    QString folder() const { return m_folder; }

    static constexpr int quietMs = 150;
    static constexpr int longestWaitMs = 1000;

signals:
    // File names ("x.json") that may have changed; the folder itself was replaced when
    // folderReplaced is true (every file may have changed).
    void filesChanged(const QSet<QString> &fileNames, bool folderReplaced);

private:
    static Watches openWatches(const QString &folder);
    static Watches takeAhead(const QString &folder);
    void readEvents();
    void arm();
    void note(const QString &name);
    void noteReplaced();
    void schedule();
    void flush();

    QString m_folder;
    QByteArray m_folderName; // its last component, looked for in the parent
    int m_fd = -1;
    int m_folderWatch = -1;
    int m_parentWatch = -1;
    QSocketNotifier *m_notifier = nullptr;
    QTimer m_quiet;
    QElapsedTimer m_burst;
    QSet<QString> m_pending;
    bool m_replaced = false;
};
