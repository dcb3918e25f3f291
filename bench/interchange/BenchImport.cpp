// Importing 1,000 GIMP palettes of 256 colours each, against the floor of reading the same
// bytes. Run with --benchmark_repetitions=7 for min/median/max; compare each figure with
// BM_ReadBytes of the same run.
#include "core/Log.h"
#include "interchange/PaletteFile.h"
#include "store/Manager.h"
#include "store/PaletteTransfer.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kFiles = 1000;
constexpr int kColors = 256;
QStringList g_files;

void generate(const QString &folder) {
    for (int f = 0; f < kFiles; ++f) {
        QByteArray text = "GIMP Palette\nName: Imported " + QByteArray::number(f) +
                          "\nColumns: 16\n# generated\n";
        for (int c = 0; c < kColors; ++c)
            text += QByteArray::number(c) + ' ' + QByteArray::number((c * 7 + f) % 256) + ' ' +
                    QByteArray::number((c * 13) % 256) + "\tColour " + QByteArray::number(c) + '\n';
        const QString path = folder + QStringLiteral("/p%1.gpl").arg(f);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            qFatal("cannot write %s", qPrintable(path));
        g_files << path;
    }
}

// The floor: open and read every file whole.
void BM_ReadBytes(benchmark::State &state) {
    for (auto _ : state) {
        qint64 total = 0;
        for (const QString &path : std::as_const(g_files)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read");
            total += file.readAll().size();
        }
        benchmark::DoNotOptimize(total);
    }
}

// Reading and decoding every file into a palette.
void BM_ReadAndDecode(benchmark::State &state) {
    for (auto _ : state) {
        qsizetype colors = 0;
        for (const QString &path : std::as_const(g_files))
            colors += PaletteFile::read(path).palette->palColors.size();
        benchmark::DoNotOptimize(colors);
    }
}

// The whole import: decode, a free name, the palette file written safely (synced) and the
// palette added to the collection. The palettes folder is emptied between rounds.
void BM_Import(benchmark::State &state) {
    PalettesOO palettes;
    PalettesOO::setShared(&palettes);
    const QString folder = *Manager::supportSubfolder(QStringLiteral("Palettes"), true);
    for (auto _ : state) {
        state.PauseTiming();
        QDir(folder).removeRecursively();
        QDir().mkpath(folder);
        palettes.setPalettes({});
        state.ResumeTiming();
        for (const QString &path : std::as_const(g_files))
            if (!PaletteTransfer::importFile(path))
                state.SkipWithError("import failed");
    }
    PalettesOO::setShared(nullptr);
}

} // namespace

BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv) {
    QTemporaryDir root;
    // Never touch the real home: every path the store and settings use hangs off HOME.
    qputenv("HOME", root.path().toUtf8());
    qputenv("XDG_DATA_HOME", (root.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root.path() + QStringLiteral("/config")).toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    QDir().mkpath(root.path() + QStringLiteral("/files"));
    generate(root.path() + QStringLiteral("/files"));
    benchmark::Initialize(&argc, argv);
    // The import prints a line per file; those go to stderr, out of the figures' way.
    setLogToStandardError(true);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
