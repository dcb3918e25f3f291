#pragma once

#include <QObject>

class AppDelegate;

// Measurement hook for the start-up benchmark, on when SWATCHBAR_TIMING is set. Writes
// "swatchbar-timing <what> <value>" lines to stderr: "idle-ns" with the monotonic clock
// when the event loop first goes idle after the launch, and just before it "cpu-us", the
// processor time the process has used so far. With SWATCHBAR_TIMING=popover it then
// opens the popover, writes "popover-ms" once it has been painted, and ends the program. With
// SWATCHBAR_TIMING=pick each screen pick writes "pick-shown-ns" once its overlay is on screen
// and is then cancelled. With SWATCHBAR_TIMING=exit the process ends at once after the idle
// line, for tools that count the whole process (callgrind, strace -c, perf stat).
class StartupTiming : public QObject {
    Q_OBJECT
public:
    static bool isRequested();
    explicit StartupTiming(AppDelegate *delegate);

    // Monotonic clock in nanoseconds, comparable across processes.
    static qint64 monotonicNs();

private:
    void launched();
    void idle();
    void openPopover();

    AppDelegate *m_delegate;
    bool m_withPopover;
};
