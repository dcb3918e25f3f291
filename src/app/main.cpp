#include "app/AppDelegate.h"
#include "app/CommandLine.h"
#include "app/DataCommands.h"
#include "app/Shell.h"
#include "app/Translations.h"
#include "platform/SingleInstance.h"
#include "store/Manager.h"

#include <QApplication>
#include <QSocketNotifier>
#include <clocale>
#include <csignal>
#include <cstdio>
#include <memory>
#include <optional>
#ifdef __GLIBC__
#include <malloc.h>
#endif
#include <sys/socket.h>
#include <unistd.h>

#ifdef SWATCHBAR_STARTUP_TIMING
#include "StartupTiming.h"
#endif

namespace {
// Without a display the toolkit would abort with a message about platform plugins; say what
// is wrong instead.
bool hasGraphicalSession() {
    return qEnvironmentVariableIsSet("QT_QPA_PLATFORM") ||
           !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

int g_signalPipe[2] = {-1, -1};

// Settings changes wait up to a second before they are written: a polite end (logging out,
// kill, Ctrl+C) writes them first. A second signal, or an event loop that does not come round
// within a few seconds, ends the process the old way.
void onEndSignal(int signal) {
    std::signal(signal, SIG_DFL);
    ::alarm(5);
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void quitOnEndSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { quitApplication(); });
    std::signal(SIGTERM, onEndSignal);
    std::signal(SIGINT, onEndSignal);
}

} // namespace

int main(int argc, char *argv[]) {
    // A closed stdout (swatchbar | head -n1) must not kill the program at its next line, and a
    // file-size limit must fail the write that hits it (the old file stays) rather than end
    // the process.
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
#ifdef __GLIBC__
    // A load's large temporary tables (one entry per palette) are handed back to the system
    // when freed. By default glibc raises this threshold after the first such free, and the
    // later ones stay resident as holes in the heap: megabytes with thousands of palettes.
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
#endif

    // A plain launch (the menu, autostart) has nothing to parse, and building the parser's
    // options and texts is a noticeable part of a start-up that is otherwise a few system
    // calls before the toolkit.
    std::optional<CommandLine> commandLine;
    if (argc > 1) {
        commandLine.emplace();
        if (const std::optional<int> status = commandLine->parse(argc, argv))
            return *status;
        if (commandLine->dataCommand() != CommandLine::DataCommand::None) {
            QCoreApplication app(argc, argv);
            QCoreApplication::setOrganizationName(QStringLiteral("Swatchbar"));
            QCoreApplication::setApplicationName(QStringLiteral("Swatchbar"));
            return DataCommands::run(*commandLine);
        }
    }
    const bool pickRequested = commandLine && commandLine->pickRequested();

    // A running copy is asked at once, before a toolkit starts here: a keyboard shortcut's
    // "--pick" then costs a socket round trip, not a program start.
    if (pickRequested) {
        SingleInstance running(QStringLiteral("swatchbar"));
        switch (running.askOnce(QByteArrayLiteral("pick"))) {
        case SingleInstance::Reach::Answered:
            return 0;
        case SingleInstance::Reach::NoAnswer:
            std::fputs("swatchbar: another Swatchbar is running but did not start its picker\n",
                       stderr);
            return 1;
        case SingleInstance::Reach::NotListening:
            break;
        }
    }

    if (!hasGraphicalSession()) {
        std::fprintf(stderr,
                     "swatchbar: no graphical session (neither DISPLAY nor WAYLAND_DISPLAY is "
                     "set); to try it without one, install xvfb and run: xvfb-run -a %s\n",
                     argv[0]);
        return 2;
    }

    // Whether this is the one running copy is settled before a toolkit starts: a second launch
    // then hands over without one.
    auto instance = std::make_unique<SingleInstance>(QStringLiteral("swatchbar"));
    const SingleInstance::Claim claim = instance->takeLock();
    switch (claim) {
    case SingleInstance::Claim::Taken:
        break;
    case SingleInstance::Claim::HeldElsewhere:
        if (pickRequested) {
            if (instance->notifyRunning(QByteArrayLiteral("pick")))
                return 0;
            std::fputs("swatchbar: another Swatchbar is running but did not start its picker\n",
                       stderr);
            return 1;
        }
        if (instance->notifyRunning())
            return 0;
        std::fputs("swatchbar: another Swatchbar is running but did not open its popup\n", stderr);
        return 1;
    case SingleInstance::Claim::Unavailable:
        std::fprintf(
            stderr, "swatchbar: not checking for another running copy: %s is unsafe (%s)\n",
            qUtf8Printable(instance->lockPath()), qUtf8Printable(instance->unavailableReason()));
        break;
    }
    QCoreApplication::setOrganizationName(QStringLiteral("Swatchbar"));
    QCoreApplication::setApplicationName(QStringLiteral("Swatchbar"));
    // The folder is read while the toolkit connects to the display and loads its plugins,
    // which is mostly waiting. The toolkit sets the locale from the environment as it starts;
    // set here first, the reading thread never sees it change.
    std::setlocale(LC_ALL, "");
    Manager::startFirstScan();
    QApplication app(argc, argv);
    QCoreApplication::setApplicationVersion(QStringLiteral(SWATCHBAR_VERSION));
    QGuiApplication::setDesktopFileName(QStringLiteral("swatchbar"));
    // Windows, menus and --help in the user's language; the lines on stdout stay English.
    Translations::install();
    // The program lives in the tray: closing its windows never ends it.
    QApplication::setQuitOnLastWindowClosed(false);

    quitOnEndSignals();
    AppDelegate delegate;
    // The socket for later launches (and the lock's description of its holder) come once the
    // launch has settled, as the popover does: the tray icon does not wait for them, and a
    // launch in between waits for the socket as it would for any copy still starting. Not on
    // a thread: one (its stack, its malloc arena, its exit) costs more than it saves.
    if (claim == SingleInstance::Claim::Taken)
        delegate.afterLaunch([&instance] {
            instance->prepareListening();
            instance->startAccepting();
        });
    QObject::connect(instance.get(), &SingleInstance::activationRequested, &delegate,
                     &AppDelegate::showPopover);
    QObject::connect(instance.get(), &SingleInstance::requestReceived, &delegate,
                     [&delegate](const QByteArray &request) {
                         if (request == "pick")
                             delegate.pickColor();
                         else if (request == "reload")
                             Manager::loadAllPalettes();
                     });
    if (pickRequested)
        QObject::connect(&delegate, &AppDelegate::launched, &delegate, &AppDelegate::pickColor,
                         Qt::QueuedConnection);
#ifdef SWATCHBAR_STARTUP_TIMING
    // Only in the start-up benchmark's build of the program.
    if (StartupTiming::isRequested())
        new StartupTiming(&delegate);
#endif
    QMetaObject::invokeMethod(&delegate, &AppDelegate::applicationDidFinishLaunching,
                              Qt::QueuedConnection);
    QApplication::exec();
    delegate.applicationWillTerminate();
    // Its notifiers go while the application they belong to is still there.
    instance.reset();
    return 0;
}
