// The desktop adapters on their own: autostart entries, one instance per user and where the
// popover goes on screen.
#include "TestSupport.h"

#include "platform/Autostart.h"
#include "platform/PopoverWindow.h"
#include "platform/SingleInstance.h"
#include "platform/SwayIpc.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <future>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {
// A raw client of the running instance's socket; -1 when it cannot connect.
int connectTo(const QString &path) {
    const QByteArray bytes = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

using Claim = SingleInstance::Claim;

// The sender waits for the answer, which the listener in this same thread can only give while
// the event loop runs: send from another thread and keep the loop going.
bool notifyFromThread(SingleInstance &sender, const QByteArray &request = "show",
                      int timeoutMs = 2000) {
    std::future<bool> result = std::async(std::launch::async, [&sender, request, timeoutMs] {
        return sender.notifyRunning(request, timeoutMs);
    });
    const bool finished = QTest::qWaitFor(
        [&result] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
        timeoutMs + 2000);
    return finished && result.get();
}

// Runs the event loop until the server has hung up on fd.
bool hungUp(int fd) {
    return QTest::qWaitFor(
        [fd] {
            char byte = 0;
            return ::recv(fd, &byte, 1, MSG_DONTWAIT) == 0;
        },
        5000);
}
// A compositor's IPC socket that answers each request with reply(type, payload), or not at
// all when that gives nothing; every request is recorded.
class FakeCompositor {
public:
    using Reply = std::function<QByteArray(quint32, const QByteArray &)>;
    FakeCompositor(const QString &path, Reply reply)
        : m_reply(std::move(reply)) {
        const QByteArray bytes = QFile::encodeName(path);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, bytes.constData(), size_t(bytes.size()));
        m_fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::bind(m_fd, reinterpret_cast<const sockaddr *>(&address), sizeof address);
        ::listen(m_fd, 8);
        m_thread = std::thread([this] { serve(); });
    }
    ~FakeCompositor() {
        ::shutdown(m_fd, SHUT_RDWR);
        m_thread.join();
        ::close(m_fd);
    }
    QList<QPair<quint32, QByteArray>> requests;

private:
    void serve() {
        for (;;) {
            const int client = ::accept(m_fd, nullptr, nullptr);
            if (client < 0)
                return;
            char head[14];
            quint32 fields[2] = {0, 0};
            QByteArray payload;
            if (::recv(client, head, sizeof head, MSG_WAITALL) == sizeof head) {
                std::memcpy(fields, head + 6, sizeof fields);
                payload.resize(qsizetype(fields[0]));
                if (fields[0] > 0)
                    ::recv(client, payload.data(), fields[0], MSG_WAITALL);
                requests.append({fields[1], payload});
            }
            const QByteArray body = m_reply(fields[1], payload);
            if (!body.isNull()) {
                QByteArray message("i3-ipc", 6);
                const quint32 out[2] = {quint32(body.size()), fields[1]};
                message.append(reinterpret_cast<const char *>(out), sizeof out);
                message.append(body);
                ::send(client, message.constData(), size_t(message.size()), MSG_NOSIGNAL);
            } else {
                // Say nothing until the client gives up.
                char byte;
                ::recv(client, &byte, 1, 0);
            }
            ::close(client);
        }
    }
    Reply m_reply;
    int m_fd = -1;
    std::thread m_thread;
};
} // namespace

class PlatformTest : public QObject {
    Q_OBJECT

private slots:
    void autostartEntryFollowsXdgConfigHome() {
        const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", "/somewhere/config");
        QCOMPARE(Autostart::entryPath(),
                 QStringLiteral("/somewhere/config/autostart/swatchbar.desktop"));
        // A relative value is not valid and falls back to ~/.config.
        qputenv("XDG_CONFIG_HOME", "relative/config");
        QCOMPARE(Autostart::entryPath(),
                 QDir::homePath() + QStringLiteral("/.config/autostart/swatchbar.desktop"));
        qunsetenv("XDG_CONFIG_HOME");
        QCOMPARE(Autostart::entryPath(),
                 QDir::homePath() + QStringLiteral("/.config/autostart/swatchbar.desktop"));
        qputenv("XDG_CONFIG_HOME", saved);
    }

    void autostartExecIsQuotedForOddPaths_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain") << "/usr/bin/swatchbar"
                               << "/usr/bin/swatchbar";
        QTest::newRow("space") << "/opt/My Apps/swatchbar"
                               << "\"/opt/My Apps/swatchbar\"";
        QTest::newRow("dollar and quote") << "/opt/a$b\"c/swatchbar"
                                          << "\"/opt/a\\\\$b\\\\\"c/swatchbar\"";
        QTest::newRow("backslash") << "/opt/a\\b"
                                   << "\"/opt/a\\\\\\\\b\"";
        QTest::newRow("percent") << "/opt/100%/swatchbar"
                                 << "/opt/100%%/swatchbar";
    }
    void autostartExecIsQuotedForOddPaths() {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(Autostart::execValue(path), exec);
    }

    void autostartWritesRemovesAndHonoursHidden() {
        const QString entry = Autostart::entryPath();
        QFile::remove(entry);
        QVERIFY(!Autostart::isEnabled());
        QVERIFY(Autostart::setEnabled(true, QStringLiteral("/usr/bin/swatchbar")));
        QVERIFY(Autostart::isEnabled());
        QFile file(entry);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        file.close();
        QVERIFY(text.startsWith("[Desktop Entry]\n"));
        QVERIFY(text.contains("\nType=Application\n"));
        QVERIFY(text.contains("\nExec=/usr/bin/swatchbar\n"));

        // Switched off by the desktop's own settings: not enabled.
        QVERIFY(file.open(QIODevice::Append));
        file.write("Hidden = true\n");
        file.close();
        QVERIFY(!Autostart::isEnabled());

        QVERIFY(Autostart::setEnabled(false, QString()));
        QVERIFY(!QFile::exists(entry));
        QVERIFY(Autostart::setEnabled(false, QString())); // already off
        // A program path that cannot go in an entry is refused, not written broken.
        QVERIFY(!Autostart::setEnabled(true, QStringLiteral("relative/swatchbar")));
        QVERIFY(!Autostart::setEnabled(true, QStringLiteral("/opt/a\nb")));
        QVERIFY(!QFile::exists(entry));
    }

    void secondInstanceAsksTheFirstToShowItself() {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(first.claim(), Claim::Taken);
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        QSignalSpy other(&first, &SingleInstance::requestReceived);
        SingleInstance second(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(second.claim(), Claim::HeldElsewhere);
        QVERIFY(notifyFromThread(second));
        QCOMPARE(asked.size(), 1);
        QVERIFY(notifyFromThread(second, "reload"));
        QCOMPARE(other.size(), 1);
        QCOMPARE(other.at(0).at(0).toByteArray(), QByteArray("reload"));
        QCOMPARE(asked.size(), 1);
        // Another name is another program.
        SingleInstance another(QStringLiteral("other"), dir.path());
        QCOMPARE(another.claim(), Claim::Taken);
    }

    // The launch's order: the lock first, then the socket before the toolkit starts, requests
    // answered once the event loop can. A later launch in between hands over
    // as soon as the first accepts, and the lock file says who holds it.
    void claimInStepsHandsOverOnceAccepting() {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(first.takeLock(), Claim::Taken);
        SingleInstance second(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(second.takeLock(), Claim::HeldElsewhere);
        QVERIFY(!second.notifyRunning("show", 200)); // nobody listens yet

        first.prepareListening();
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        std::future<bool> handedOver = std::async(
            std::launch::async, [&second] { return second.notifyRunning("show", 4000); });
        QTest::qWait(150);
        QCOMPARE(asked.size(), 0);
        first.startAccepting();
        first.startAccepting(); // once is enough
        QVERIFY(QTest::qWaitFor(
            [&handedOver] {
                return handedOver.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            6000));
        QVERIFY(handedOver.get());
        QCOMPARE(asked.size(), 1);

        QFile lock(first.lockPath());
        QVERIFY(lock.open(QIODevice::ReadOnly));
        const QList<QByteArray> info = lock.readAll().split('\n');
        QVERIFY(info.size() >= 3);
        QCOMPARE(info.at(0), QByteArray::number(QCoreApplication::applicationPid()));
        QCOMPARE(info.at(1),
                 QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8());
    }

    // Sixteen connections that never say anything must not stop a real request, and a
    // listener that never answers is a failure for the sender, not a success.
    void idleClientsDoNotBlockARequest() {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(first.claim(), Claim::Taken);
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        QList<int> idle;
        // One at a time, so that each is accepted before the next (a full backlog blocks).
        for (int i = 0; i < 20; ++i) {
            idle.append(connectTo(first.socketPath()));
            QTest::qWait(5);
        }
        SingleInstance second(QStringLiteral("swatchbar"), dir.path());
        QVERIFY(notifyFromThread(second));
        QCOMPARE(asked.size(), 1);
        for (int fd : std::as_const(idle))
            ::close(fd);

        // A process that holds the socket but never reads from it.
        QTemporaryDir deaf;
        const QString path = deaf.path() + QStringLiteral("/swatchbar.socket");
        const QByteArray native = QFile::encodeName(path);
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        QCOMPARE(::bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        QCOMPARE(::listen(listener, 4), 0);
        SingleInstance sender(QStringLiteral("swatchbar"), deaf.path());
        QVERIFY(!sender.notifyRunning("show", 300));
        ::close(listener);
    }

    // The lock and socket live only in a folder of the user's own that others cannot enter;
    // anything else means running without the check rather than trusting a planted file.
    void unsafeFoldersAreRefused() {
        QTemporaryDir dir;
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ReadOther |
                                                      QFile::WriteOther | QFile::ExeOther));
        SingleInstance open(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(open.claim(), Claim::Unavailable);
        QVERIFY(!open.unavailableReason().isEmpty());
        QVERIFY(!QFile::exists(open.lockPath()));

        QTemporaryDir base;
        const QString link = base.path() + QStringLiteral("/link");
        QVERIFY(QFile::link(base.path(), link));
        SingleInstance linked(QStringLiteral("swatchbar"), link);
        QCOMPARE(linked.claim(), Claim::Unavailable);

        // A planted lock that is a link to another file is not followed.
        QTemporaryDir safe;
        const QString victim = base.path() + QStringLiteral("/victim");
        QFile file(victim);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();
        QVERIFY(QFile::link(victim, safe.path() + QStringLiteral("/swatchbar.lock")));
        SingleInstance planted(QStringLiteral("swatchbar"), safe.path());
        QVERIFY(planted.claim() != Claim::Taken);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));
    }

    // Without a folder of its own, the session's runtime folder: taken as it is when it is
    // safe, and never used for the lock while it is open to others (Qt mends or replaces it).
    void sessionRuntimeFolderIsUsedOnlyWhenSafe() {
        const QByteArray saved = qgetenv("XDG_RUNTIME_DIR");
        QTemporaryDir runtime;
        QVERIFY(QFile::setPermissions(runtime.path(),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        {
            SingleInstance session(QStringLiteral("swatchbar-session"));
            QCOMPARE(QFileInfo(session.lockPath()).path(), runtime.path());
            QCOMPARE(session.claim(), Claim::Taken);
        }
        QVERIFY(::chmod(QFile::encodeName(runtime.path()).constData(), 0755) == 0);
        {
            SingleInstance open(QStringLiteral("swatchbar-session"));
            if (open.claim() == Claim::Taken) {
                struct stat info {};
                const QByteArray folder = QFile::encodeName(QFileInfo(open.lockPath()).path());
                QCOMPARE(::lstat(folder.constData(), &info), 0);
                QCOMPARE(info.st_mode & 077, 0u);
            }
        }
        qputenv("XDG_RUNTIME_DIR", saved);
    }

    void strayConnectionsDoNotActivate() {
        QTemporaryDir dir;
        SingleInstance first(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(first.claim(), Claim::Taken);
        // Nobody else may even connect.
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(first.socketPath()).constData(), &info), 0);
        QVERIFY(S_ISSOCK(info.st_mode));
        QCOMPARE(info.st_mode & 0777, 0600u);
        QSignalSpy asked(&first, &SingleInstance::activationRequested);

        const int wrongLine = connectTo(first.socketPath());
        const int endless = connectTo(first.socketPath());
        const int silent = connectTo(first.socketPath());
        const int halfThenGone = connectTo(first.socketPath());
        QVERIFY(wrongLine >= 0 && endless >= 0 && silent >= 0 && halfThenGone >= 0);
        QCOMPARE(::write(wrongLine, "hello there\n", 12), 12);
        const QByteArray flood(200, 's');
        QCOMPARE(::write(endless, flood.constData(), size_t(flood.size())), 200);
        QCOMPARE(::write(halfThenGone, "sho", 3), 3);
        ::close(halfThenGone);
        // The server hangs up on each of them.
        QVERIFY(hungUp(wrongLine));
        QVERIFY(hungUp(endless));
        QCOMPARE(asked.size(), 0);

        // A real request still gets through while a silent client hangs on, and a request
        // split across writes counts once whole.
        const int split = connectTo(first.socketPath());
        QCOMPARE(::write(split, "sh", 2), 2);
        QTest::qWait(50);
        QCOMPARE(::write(split, "ow\n", 3), 3);
        QTRY_COMPARE(asked.size(), 1);
        // The silent one is let go after a while.
        QVERIFY(hungUp(silent));
        for (int fd : {wrongLine, endless, silent, split})
            ::close(fd);
        QCOMPARE(asked.size(), 1);
    }

    void lockOfADeadProcessIsTakenOver() {
        QTemporaryDir dir;
        const QString lockPath = dir.path() + QStringLiteral("/swatchbar.lock");
        const pid_t child = fork();
        if (child == 0) {
            // Takes the lock and dies without letting go, as a crash would.
            QLockFile lock(lockPath);
            _exit(lock.tryLock(0) ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        QVERIFY(QFile::exists(lockPath));
        // Its socket file is left behind too.
        QFile stale(dir.path() + QStringLiteral("/swatchbar.socket"));
        QVERIFY(stale.open(QIODevice::WriteOnly));
        stale.close();

        SingleInstance next(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(next.claim(), Claim::Taken);
        QSignalSpy asked(&next, &SingleInstance::activationRequested);
        SingleInstance later(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(later.claim(), Claim::HeldElsewhere);
        QVERIFY(notifyFromThread(later));
        QCOMPARE(asked.size(), 1);
    }

    // A lock file that cannot be opened is nobody's lock: the launch runs without the check
    // and says why, rather than waiting on a running copy that does not exist and giving up.
    void lockThatCannotBeOpenedIsNotHeldElsewhere() {
        QTemporaryDir dir;
        const QString lockPath = dir.path() + QStringLiteral("/swatchbar.lock");
        const QString nowhere = dir.path() + QStringLiteral("/nowhere");
        QVERIFY(QFile::link(nowhere, lockPath));
        SingleInstance linked(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(linked.claim(), Claim::Unavailable);
        QVERIFY2(linked.unavailableReason().contains(QStringLiteral("symbolic link")),
                 qPrintable(linked.unavailableReason()));
        QVERIFY(QFileInfo(lockPath).isSymLink());
        QVERIFY(!QFileInfo::exists(nowhere));
        QVERIFY(!QFile::exists(linked.socketPath()));

        QVERIFY(QFile::remove(lockPath));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("swatchbar.lock")));
        SingleInstance folder(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(folder.claim(), Claim::Unavailable);
        QVERIFY(!folder.unavailableReason().isEmpty());
    }

    void nobodyToNotifyIsAFailure() {
        QTemporaryDir dir;
        SingleInstance lonely(QStringLiteral("swatchbar"), dir.path());
        QVERIFY(!lonely.notifyRunning("show", 200));
    }

    // "--pick" asks a running copy once, before any toolkit: no listener is no wait, a
    // listener that takes the word but never answers is not asked twice.
    void askOnceTellsTheThreeOutcomesApart() {
        QTemporaryDir dir;
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        SingleInstance client(QStringLiteral("swatchbar"), dir.path());
        QElapsedTimer clock;
        clock.start();
        QCOMPARE(client.askOnce("pick", 2000), SingleInstance::Reach::NotListening);
        QVERIFY(clock.elapsed() < 500);

        SingleInstance first(QStringLiteral("swatchbar"), dir.path());
        QCOMPARE(first.claim(), SingleInstance::Claim::Taken);
        QSignalSpy requests(&first, &SingleInstance::requestReceived);
        std::future<SingleInstance::Reach> reach =
            std::async(std::launch::async, [&client] { return client.askOnce("pick", 2000); });
        QVERIFY(QTest::qWaitFor(
            [&reach] {
                return reach.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            4000));
        QCOMPARE(reach.get(), SingleInstance::Reach::Answered);
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.at(0).at(0).toByteArray(), QByteArray("pick"));

        // Held, but nobody reads: sent, not answered.
        QTemporaryDir deaf;
        QFile::setPermissions(deaf.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QByteArray native =
            QFile::encodeName(deaf.path() + QStringLiteral("/swatchbar.socket"));
        const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
        QCOMPARE(::bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address), 0);
        QCOMPARE(::listen(listener, 4), 0);
        SingleInstance sender(QStringLiteral("swatchbar"), deaf.path());
        QCOMPARE(sender.askOnce("pick", 300), SingleInstance::Reach::NoAnswer);
        ::close(listener);
    }

    void popoverPlacement_data() {
        QTest::addColumn<QRect>("anchor");
        QTest::addColumn<QRect>("expected");
        const QSize size(400, 300);
        // Screen 0,0 1000x800 with a 30-pixel panel at the top or bottom.
        QTest::newRow("below a top tray icon, centred")
            << QRect(480, 4, 24, 24) << QRect(QPoint(291, 28), size);
        QTest::newRow("kept inside the right edge")
            << QRect(970, 4, 24, 24) << QRect(QPoint(600, 28), size);
        QTest::newRow("kept inside the left edge")
            << QRect(2, 4, 24, 24) << QRect(QPoint(0, 28), size);
        QTest::newRow("above a bottom tray icon")
            << QRect(480, 774, 24, 24) << QRect(QPoint(291, 474), size);
    }
    void popoverPlacement() {
        QFETCH(QRect, anchor);
        QFETCH(QRect, expected);
        const QRect available(0, 0, 1000, 800);
        const QRect placed = PopoverWindow::placement(anchor, QSize(400, 300), available);
        QCOMPARE(placed, expected);
        QVERIFY(available.contains(placed));
    }

    void popoverByPanel_data() {
        QTest::addColumn<QRect>("usable");
        QTest::addColumn<QRect>("expected");
        const QSize size(400, 300);
        // Output 0,0 1280x800; the gap to the panel and the edges is 4 pixels.
        QTest::newRow("top panel: under it, at its right end")
            << QRect(0, 30, 1280, 770) << QRect(QPoint(876, 34), size);
        QTest::newRow("bottom panel: above it, at its right end")
            << QRect(0, 0, 1280, 770) << QRect(QPoint(876, 466), size);
        QTest::newRow("left panel: beside it, at its bottom end")
            << QRect(48, 0, 1232, 800) << QRect(QPoint(52, 496), size);
        QTest::newRow("right panel: beside it, at its bottom end")
            << QRect(0, 0, 1232, 800) << QRect(QPoint(828, 496), size);
        QTest::newRow("no panel: top right corner")
            << QRect(0, 0, 1280, 800) << QRect(QPoint(876, 4), size);
        QTest::newRow("usable area unknown: top right corner")
            << QRect() << QRect(QPoint(876, 4), size);
    }
    void popoverByPanel() {
        QFETCH(QRect, usable);
        QFETCH(QRect, expected);
        const QRect output(0, 0, 1280, 800);
        const QRect placed = PopoverWindow::placementByPanel(output, usable, QSize(400, 300));
        QCOMPARE(placed, expected);
        QVERIFY(output.contains(placed));
    }

    void popoverByPanelLargerThanTheFreeAreaStaysInIt() {
        const QRect usable(0, 30, 1280, 370);
        const QRect placed =
            PopoverWindow::placementByPanel(QRect(0, 0, 1280, 400), usable, QSize(500, 600));
        QCOMPARE(placed.top(), 30);
        QVERIFY(placed.right() <= usable.right());
    }

    void swayIpcFindsTheFocusedOutputsFreeArea() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ipc.sock"));
        FakeCompositor sway(path, [](quint32 type, const QByteArray &) -> QByteArray {
            if (type == SwayIpc::GetWorkspaces)
                return "[{\"name\":\"1\",\"focused\":false,\"output\":\"A\",\"rect\":{\"x\":0,"
                       "\"y\":0,\"width\":10,\"height\":10}},"
                       "{\"name\":\"2\",\"focused\":true,\"output\":\"B\",\"rect\":{\"x\":1280,"
                       "\"y\":30,\"width\":1920,\"height\":1050}}]";
            if (type == SwayIpc::GetOutputs)
                return "[{\"name\":\"A\",\"rect\":{\"x\":0,\"y\":0,\"width\":1280,\"height\":800}},"
                       "{\"name\":\"B\",\"rect\":{\"x\":1280,\"y\":0,\"width\":1920,\"height\":"
                       "1080}}]";
            return "[{\"success\":true},{\"success\":true}]";
        });
        const SwayIpc ipc(path);
        QVERIFY(ipc.isAvailable());
        const std::optional<SwayIpc::Area> area = ipc.focusedArea();
        QVERIFY(area.has_value());
        QCOMPARE(area->output, QRect(1280, 0, 1920, 1080));
        QCOMPARE(area->usable, QRect(1280, 30, 1920, 1050));
        QVERIFY(ipc.runCommand(QStringLiteral("[pid=1] move absolute position 1 2")));
        QCOMPARE(sway.requests.last().first, quint32(SwayIpc::RunCommand));
        QCOMPARE(sway.requests.last().second, QByteArray("[pid=1] move absolute position 1 2"));
    }

    void swayIpcFailuresAreFalseNotHangs() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ipc.sock"));
        QVERIFY(!SwayIpc(path).runCommand(QStringLiteral("nop"))); // nobody listening
        QVERIFY(!SwayIpc(QString()).isAvailable());
        {
            FakeCompositor refusing(path, [](quint32, const QByteArray &) -> QByteArray {
                return "[{\"success\":true},{\"success\":false,\"error\":\"No matching node\"}]";
            });
            QVERIFY(!SwayIpc(path).runCommand(QStringLiteral("a, b")));
            QVERIFY(!SwayIpc(path).focusedArea().has_value());
        }
        QFile::remove(path);
        FakeCompositor silent(path, [](quint32, const QByteArray &) { return QByteArray(); });
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!SwayIpc(path).runCommand(QStringLiteral("nop")));
        QVERIFY2(timer.elapsed() < 3000, "a silent compositor held the caller");
    }

    void swayIpcQuotesCriteria() {
        QCOMPARE(SwayIpc::quoted(QStringLiteral("a \"b\" \\c")),
                 QStringLiteral("\"a \\\"b\\\" \\\\c\""));
    }

    void popoverTallerThanTheScreenStaysOnIt() {
        const QRect available(0, 30, 1000, 770);
        const QRect placed =
            PopoverWindow::placement(QRect(480, 4, 24, 24), QSize(400, 770), available);
        QVERIFY(available.contains(placed));
    }
};

SWATCHBAR_TEST_GUI_MAIN(PlatformTest)
#include "PlatformTest.moc"
