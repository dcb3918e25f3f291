// The yardstick for the program's start-up: a Qt program that shows a tray icon and nothing
// else. With SWATCHBAR_TIMING set it writes "swatchbar-timing idle-ns <monotonic ns>" to
// stderr when its event loop first goes idle after the icon is shown, and before it
// "swatchbar-timing cpu-us <processor time so far>".
#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sys/resource.h>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    QSystemTrayIcon tray;
    QMetaObject::invokeMethod(
        &app,
        [&tray] {
            QPixmap pixmap(64, 64);
            pixmap.fill(Qt::transparent);
            QPainter(&pixmap).fillRect(8, 8, 48, 48, Qt::blue);
            tray.setIcon(QIcon(pixmap));
            tray.show();
            if (!qEnvironmentVariableIsSet("SWATCHBAR_TIMING"))
                return;
            auto *dispatcher = QAbstractEventDispatcher::instance();
            QObject::connect(
                dispatcher, &QAbstractEventDispatcher::aboutToBlock, &tray,
                [] {
                    timespec now{};
                    clock_gettime(CLOCK_MONOTONIC, &now);
                    rusage usage{};
                    getrusage(RUSAGE_SELF, &usage);
                    std::fprintf(
                        stderr, "swatchbar-timing cpu-us %lld\n",
                        (static_cast<long long>(usage.ru_utime.tv_sec) + usage.ru_stime.tv_sec) *
                                1000000 +
                            usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
                    // Its own peak (VmHWM), not the rusage its parent would see; before the
                    // idle line, after which it is ended.
                    if (FILE *status = std::fopen("/proc/self/status", "r")) {
                        char line[256];
                        long long kb = 0;
                        while (std::fgets(line, sizeof line, status))
                            if (std::sscanf(line, "VmHWM: %lld", &kb) == 1)
                                std::fprintf(stderr, "swatchbar-timing peak-kb %lld\n", kb);
                        std::fclose(status);
                    }
                    // Last: the benchmark ends the program when it reads this line.
                    std::fprintf(stderr, "swatchbar-timing idle-ns %lld\n",
                                 static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                    std::fflush(stderr);
                    // For counting tools: nothing after the idle point is counted.
                    if (qEnvironmentVariable("SWATCHBAR_TIMING") == QLatin1String("exit"))
                        std::_Exit(0);
                },
                Qt::SingleShotConnection);
        },
        Qt::QueuedConnection);
    return QApplication::exec();
}
