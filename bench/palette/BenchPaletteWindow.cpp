// Opening a palette window and copying a swatch, for palettes of 50 and 5,000 colours.
// Run with QT_QPA_PLATFORM=offscreen (or under xvfb-run). Peak memory is the process's
// maximum resident set size after the benchmark, in MiB.

#include "core/Log.h"
#include "settings/Settings.h"
#include "store/PalettesOO.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PaletteView.h"
#include "views/palette/PaletteWindow.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace {

PalettesOO *collection = nullptr;

Palette makePalette(int colors) {
    Palette palette{QStringLiteral("Bench%1").arg(colors), {}};
    palette.palColors.reserve(colors);
    for (int i = 0; i < colors; ++i) {
        palette.palColors.append({QStringLiteral("Color %1").arg(i),
                                  {(i % 256) / 255.0, ((i / 256) % 256) / 255.0, 0.5, 1.0}});
    }
    return palette;
}

int paletteIndex(int colors) {
    const QString name = QStringLiteral("Bench%1").arg(colors);
    for (int i = 0; i < collection->count(); ++i) {
        if (collection->palettes().at(i).palName == name)
            return i;
    }
    collection->append(makePalette(colors));
    return collection->count() - 1;
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void clickAt(QWidget *target, const QPoint &pos) {
    const QPointF local(pos);
    const QPointF global(target->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

// New window, shown and painted once.
void BM_OpenWindow(benchmark::State &state) {
    const int index = paletteIndex(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        PaletteWindow *window = PaletteWindow::open(collection, index);
        // Pending layout and expose events, then one full paint.
        QCoreApplication::processEvents();
        window->repaint();
        state.PauseTiming();
        delete window;
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_OpenWindow)->Arg(50)->Arg(5000)->Unit(benchmark::kMillisecond);

// A click on a swatch until the clipboard holds its text.
void BM_CopyClick(benchmark::State &state) {
    const int colors = static_cast<int>(state.range(0));
    PaletteWindow *window = PaletteWindow::open(collection, paletteIndex(colors));
    window->view()->storeFormatIdx(5);
    PaletteColorGridView *grid = window->view()->grid();
    QWidget *viewport = grid->viewport();
    int item = 0;
    for (auto _ : state) {
        clickAt(viewport, grid->cellRect(item).center());
        const QMimeData *mime = QGuiApplication::clipboard()->mimeData();
        benchmark::DoNotOptimize(mime->text());
        item = (item + 7) % qMin(colors, 60);
    }
    state.counters["peak_MiB"] = peakMiB();
    delete window;
}
BENCHMARK(BM_CopyClick)->Arg(50)->Arg(5000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    QTemporaryDir home;
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    QApplication app(argc, argv);
    Settings::storeMissingDefaults();
    PalettesOO palettes;
    collection = &palettes;
    PalettesOO::setShared(&palettes);

    // The "Copied: " lines would drown the results: stdout goes to /dev/null, results to the
    // original stdout.
    std::fflush(stdout);
    const int results = ::dup(STDOUT_FILENO);
    const int devNull = ::open("/dev/null", O_WRONLY);
    ::dup2(devNull, STDOUT_FILENO);
    std::ofstream out("/proc/self/fd/" + std::to_string(results));

    benchmark::Initialize(&argc, argv);
    benchmark::ConsoleReporter reporter(benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&out);
    reporter.SetErrorStream(&out);
    out << "peak before any window: " << peakMiB() << " MiB\n";
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
