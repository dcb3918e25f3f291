#include "StartupTiming.h"
#include "ProcessorTime.h"

#include "app/AppDelegate.h"
#include "app/Shell.h"
#include "platform/PopoverWindow.h"
#include "platform/ScreenPicker.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <sys/resource.h>

namespace {
void report(const char *what, long long value) {
    std::fprintf(stderr, "swatchbar-timing %s %lld\n", what, value);
    std::fflush(stderr);
}

// The process's own peak resident size in kB (VmHWM): a parent's rusage would count the pages
// the child shared with it before exec.
long long peakKb() {
    long long kb = -1;
    if (FILE *status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            if (std::sscanf(line, "VmHWM: %lld", &kb) == 1)
                break;
        std::fclose(status);
    }
    return kb;
}

// Runs once, the next time the event loop has nothing left to do.
void whenIdle(QObject *context, std::function<void()> action) {
    auto *dispatcher = QAbstractEventDispatcher::instance();
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, context,
                                   [connection, action] {
                                       QObject::disconnect(*connection);
                                       action();
                                   });
}
} // namespace

bool StartupTiming::isRequested() {
    return qEnvironmentVariableIsSet("SWATCHBAR_TIMING");
}

StartupTiming::StartupTiming(AppDelegate *delegate)
    : QObject(delegate)
    , m_delegate(delegate)
    , m_withPopover(qEnvironmentVariable("SWATCHBAR_TIMING") == QLatin1String("popover")) {
    connect(delegate, &AppDelegate::launched, this, &StartupTiming::launched);
}

qint64 StartupTiming::monotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<qint64>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

void StartupTiming::launched() {
    whenIdle(this, [this] { idle(); });
    if (qEnvironmentVariable("SWATCHBAR_TIMING") != QLatin1String("pick"))
        return;
    // Every pick reports when its overlay is on screen and then ends, ready for the next.
    ScreenPicker *picker = m_delegate->screenPicker();
    connect(picker, &ScreenPicker::overlayShown, this, [this, picker] {
        whenIdle(this, [picker] {
            report("pick-shown-ns", monotonicNs());
            picker->cancel();
        });
    });
}

void StartupTiming::idle() {
    const qint64 now = monotonicNs();
    report("cpu-us", cpuUs());
    report("idle-ns", now);
    // For counting tools (callgrind, strace -c): nothing after the idle point is counted.
    if (qEnvironmentVariable("SWATCHBAR_TIMING") == QLatin1String("exit"))
        std::_Exit(0);
    if (m_withPopover)
        // Let the tray settle first, as it would have long before anyone clicks.
        QTimer::singleShot(500, this, &StartupTiming::openPopover);
}

void StartupTiming::openPopover() {
    if (!popover)
        return;
    auto clock = std::make_shared<QElapsedTimer>();
    connect(
        popover.get(), &PopoverWindow::painted, this,
        [this, clock] {
            // Painting and the flush to the screen finish before the loop waits again.
            whenIdle(this, [clock] {
                report("popover-us", clock->nsecsElapsed() / 1000);
                report("peak-kb", peakKb());
                quitApplication();
            });
        },
        Qt::SingleShotConnection);
    clock->start();
    m_delegate->togglePopover();
}
