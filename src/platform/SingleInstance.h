#pragma once

#include <QByteArray>
#include <QHash>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <memory>

class QSocketNotifier;

// One running copy per user. The first process takes a lock file in a private folder and
// listens on a Unix socket beside it; a later one finds the lock held and sends the first a
// request word through the socket ("show", ...), which the first answers once it has acted on
// it. A lock left by a process that died is taken over. The folder must be the user's own
// and closed to others: in a shared one another user could plant the lock or the socket.
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

    enum class Claim {
        Taken,         // this is the one instance
        HeldElsewhere, // another process holds the lock
        Unavailable,   // no safe folder or lock file: run alone, without the check
    };
    // Takes the lock and starts listening: takeLock(), then, when taken, prepareListening()
    // and startAccepting().
    Claim claim();
    // claim() in steps, so that a launch can find out at once whether it is the one instance
    // before its toolkit starts. takeLock() and prepareListening() need no application object;
    // startAccepting() runs on the thread of the event loop once the application exists.
    Claim takeLock();
    void prepareListening();
    void startAccepting();
    // Sends a request word to the running process and waits up to timeoutMs for its answer.
    // False when it could not be reached or did not answer.
    bool notifyRunning(const QByteArray &request = QByteArrayLiteral("show"), int timeoutMs = 3000);
    enum class Reach {
        Answered,     // the running process acted on the request
        NoAnswer,     // it took the request but did not answer in time (do not ask again)
        NotListening, // nobody listens (yet): nothing was sent
    };
    // One attempt at once, without waiting for a process that is still starting: needs no
    // application object, so a running copy is asked before this one starts a toolkit.
    Reach askOnce(const QByteArray &request, int timeoutMs = 3000);
    // Why claim() found no safe folder or lock file; empty otherwise.
    QString unavailableReason() const { return m_unavailable; }
    // Whether folder can hold the lock: a real folder of this user's, closed to others.
    static QString unsafeFolderReason(const QString &folder);

    QString lockPath() const {
        return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".lock");
    }
    QString socketPath() const {
        return m_folder + QLatin1Char('/') + m_name + QStringLiteral(".socket");
    }

signals:
    // Another launch asked this process to show itself ("show").
    void activationRequested();
    // Any other request word another launch sent.
    void requestReceived(const QByteArray &request);

private:
    bool listen();
    void writeLockInfo();
    void acceptRequests();
    void readRequest(int fd);
    void dropClient(int fd);
    // 1: taken, 0: held by another process, -1: the file system offers no flock, -2: the
    // lock file cannot be opened (m_unavailable says why).
    int takeFileLock();

    QString m_name;
    QString m_folder;
    QString m_unavailable;
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
    QList<int> m_clientOrder; // oldest first: the first to go when the table is full
};
