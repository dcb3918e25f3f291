// The live folder: how long after another program's write the collection shows it (against
// the watcher's own quiet wait, the floor), and what a burst of 2,000 changed files costs
// against a full load of the same folder, in the same run.
// Usage: bench_livefolder [runs]   (prints min/median/max of each figure)
#include "model/PaletteCodec.h"
#include "store/FolderWatcher.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace {

Palette makePalette(int index, int colours, int round) {
    Palette p{QStringLiteral("Palette %1").arg(index), {}};
    for (int c = 0; c < colours; ++c)
        p.palColors.append({QStringLiteral("Colour %1").arg(c),
                            {(c * 37 % 256) / 255.0, (round % 256) / 255.0, 0.5, 1.0}});
    return p;
}

void writeAll(const QString &folder, int count, int round) {
    for (int i = 0; i < count; ++i) {
        QFile f(folder + QStringLiteral("/Palette %1.json").arg(i));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(*PaletteCodec::encode(makePalette(i, 50, round)));
    }
}

// Runs the event loop until done() or the time runs out; the milliseconds it took.
template <typename Done> double waitFor(Done done, int timeoutMs = 10000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return double(timer.nsecsElapsed()) / 1e6;
}

struct Spread {
    double min, median, max;
};

Spread spread(QList<double> values) {
    std::sort(values.begin(), values.end());
    return {values.first(), values.at(values.size() / 2), values.last()};
}

double loadAverage() {
    double load = 0;
    if (FILE *f = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(f, "%lf", &load) != 1)
            load = 0;
        std::fclose(f);
    }
    return load;
}

} // namespace

int main(int argc, char *argv[]) {
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir home;
    qputenv("HOME", home.path().toUtf8());
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(7, atoi(argv[1])) : 9;
    std::printf("load average at start: %.2f\n", loadAverage());

    const QString folder = Manager::supportSubfolder(QStringLiteral("Palettes"), true).value();
    PalettesOO collection;
    PalettesOO::setShared(&collection);
    writeAll(folder, 2000, 0);
    Manager::loadAllPalettes();
    FolderWatcher watcher(folder);
    int refreshes = 0;
    QObject::connect(&watcher, &FolderWatcher::filesChanged,
                     [&refreshes](const QSet<QString> &names, bool everything) {
                         Manager::refreshPalettes(names, everything);
                         ++refreshes;
                     });

    // One file written by another program, until the collection shows it.
    QList<double> latency;
    for (int run = 0; run < runs; ++run) {
        bool changed = false;
        const auto connection = QObject::connect(&collection, &PalettesOO::palettesChanged,
                                                 [&changed] { changed = true; });
        QFile f(folder + QStringLiteral("/Palette 7.json"));
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(*PaletteCodec::encode(makePalette(7, 50, run + 1)));
        f.close();
        latency.append(waitFor([&changed] { return changed; }));
        QObject::disconnect(connection);
        waitFor([] { return false; }, 300);
    }

    // 2,000 files rewritten at once, against a full load of the same rewritten folder (both
    // must read every file). The refreshes the watcher ran for each burst are counted.
    QList<double> burst, full;
    QList<double> perBurst;
    for (int run = 0; run < runs; ++run) {
        writeAll(folder, 2000, 100 + run);
        QElapsedTimer timer;
        timer.start();
        Manager::loadAllPalettes();
        full.append(double(timer.nsecsElapsed()) / 1e6);
        waitFor([] { return false; }, FolderWatcher::longestWaitMs + 200);

        const int before = refreshes;
        writeAll(folder, 2000, 200 + run);
        timer.restart();
        Manager::refreshPalettes({}, true);
        burst.append(double(timer.nsecsElapsed()) / 1e6);
        waitFor([] { return false; }, FolderWatcher::longestWaitMs + 200);
        perBurst.append(refreshes - before);
    }

    const Spread l = spread(latency), b = spread(burst), f = spread(full);
    std::printf("write to collection (ms): min %.1f median %.1f max %.1f; floor = the quiet "
                "wait %d ms: median %.2fx; target < %d ms\n",
                l.min, l.median, l.max, FolderWatcher::quietMs, l.median / FolderWatcher::quietMs,
                300 + FolderWatcher::quietMs);
    std::printf("full load of 2000x50 (ms): min %.1f median %.1f max %.1f\n", f.min, f.median,
                f.max);
    std::printf("refresh after 2000 changed files (ms): min %.1f median %.1f max %.1f; "
                "median %.2fx the full load\n",
                b.min, b.median, b.max, b.median / f.median);
    const Spread r = spread(perBurst);
    std::printf(
        "refreshes the watcher ran per burst of 2000 files: min %.0f median %.0f max %.0f\n", r.min,
        r.median, r.max);
    std::printf("load average at end: %.2f\n", loadAverage());
    return 0;
}
