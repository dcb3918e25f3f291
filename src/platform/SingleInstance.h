#pragma once

#include <QByteArray>
#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

// One running copy per user. The first process takes a lock file in the runtime folder and
// listens on a Unix socket beside it; a later one finds the lock held and asks the first,
// through the socket, to show itself. A lock left by a process that died is taken over.
// Plain sockets rather than QtNetwork: that library and what it pulls in cost more than a
// megabyte of memory for one line of text.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    // name: the base name of the lock file and socket; folder: where they live (the user's
    // runtime folder when empty).
    explicit SingleInstance(const QString &name, const QString &folder = QString(),
                            QObject *parent = nullptr);
    ~SingleInstance() override;

    // Takes the lock and starts listening. False when another process holds it.
    bool claim();
    // Asks the running process to show itself, waiting up to timeoutMs for it to listen.
    // False when it could not be reached.
    bool notifyRunning(int timeoutMs = 3000);
    // Asks the running process to start the screen picker; otherwise as notifyRunning.
    bool requestPick(int timeoutMs = 3000);
    // Asks the running process to read the palettes folder again; otherwise as notifyRunning.
    bool requestReload(int timeoutMs = 3000);

    QString lockPath() const {
        return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
    }
    QString socketPath() const {
        return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
    }

signals:
    // Another launch asked this process to show itself.
    void activationRequested();
    // Another launch asked this process to pick a colour on screen.
    void pickRequested();
    // Another process changed the palettes folder (an import from the command line).
    void reloadRequested();

private:
    bool listen();
    bool sendRequest(const char *request, int timeoutMs);
    void acceptRequests();
    void readRequest(int fd);
    void dropClient(int fd);
    // 1: taken, 0: held by another process, -1: the file system offers no flock.
    int takeFileLock();

    QString m_name;
    QString m_folder;
    int m_lockFd = -1;
    std::unique_ptr<QLockFile> m_fallbackLock;
    int m_listenFd = -1;
    QSocketNotifier *m_listener = nullptr;
    // Connected clients that have not sent a whole line yet, with what they sent so far.
    struct Client {
        QSocketNotifier *notifier = nullptr;
        QByteArray received;
    };
    QHash<int, Client> m_clients;
};
