// The popover's grid with 2,000 palettes of 50 colours: first show painted, a repaint after the
// collection changed, and a repaint after scrolling to the other end. Painting is measured by
// rendering the visible part of the scroll area into an image. Run with
// QT_QPA_PLATFORM=offscreen (or under xvfb-run).

#include "settings/Settings.h"
#include "store/PalettesOO.h"
#include "views/popover/MenuItemView.h"
#include "views/popover/PaletteGridView.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>
#include <sys/resource.h>

namespace {

QList<Palette> makePalettes(int count, int colors) {
    QList<Palette> palettes;
    palettes.reserve(count);
    for (int p = 0; p < count; ++p) {
        Palette palette{QStringLiteral("Palette %1").arg(p), {}};
        for (int i = 0; i < colors; ++i)
            palette.palColors.append({QStringLiteral("Color %1").arg(i),
                                      {(i * 5 % 256) / 255.0, (p % 256) / 255.0, 0.5, 1.0}});
        palettes.append(palette);
    }
    return palettes;
}

const QList<Palette> &benchPalettes() {
    static const QList<Palette> palettes = makePalettes(2000, 50);
    return palettes;
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// The popover as the shell hosts it: the view in a scroll area of at most a screen's height.
struct Popover {
    QScrollArea area;
    MenuItemView *view;
    Popover()
        : view(new MenuItemView) {
        PalettesOO::setShared(view->palettesOO());
        area.setWidget(view);
        area.resize(view->width() + 20, 760);
    }
};

void BM_FirstShowPainted(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        auto popover = std::make_unique<Popover>();
        popover->view->palettesOO()->setPalettes(benchPalettes());
        state.ResumeTiming();
        popover->area.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(popover->area.grab());
        state.PauseTiming();
        popover.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["peak_MiB"] = peakMiB();
}
BENCHMARK(BM_FirstShowPainted)->Unit(benchmark::kMillisecond);

void BM_ReloadRepaint(benchmark::State &state) {
    Popover popover;
    popover.area.show();
    for (auto _ : state) {
        popover.view->palettesOO()->setPalettes({});
        popover.view->palettesOO()->setPalettes(benchPalettes());
        benchmark::DoNotOptimize(popover.area.grab());
    }
}
BENCHMARK(BM_ReloadRepaint)->Unit(benchmark::kMillisecond);

void BM_ScrollToEndRepaint(benchmark::State &state) {
    Popover popover;
    popover.view->palettesOO()->setPalettes(benchPalettes());
    popover.area.show();
    QScrollBar *bar = popover.area.verticalScrollBar();
    for (auto _ : state) {
        bar->setValue(bar->value() == bar->maximum() ? 0 : bar->maximum());
        benchmark::DoNotOptimize(popover.area.grab());
    }
}
BENCHMARK(BM_ScrollToEndRepaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication app(argc, argv);
    Settings::storeMissingDefaults();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
