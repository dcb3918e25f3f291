// Loading the palettes folder against the bare cost of listing it and reading every file.
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct DataSet {
    const char *label;
    int palettes;
    int colors;
    QString home; // HOME of this set; the palettes folder lives under it
};

DataSet g_sets[] = {
    {"2000x50", 2000, 50, {}}, {"20000x50", 20000, 50, {}}, {"20x5000", 20, 5000, {}}};

Palette makePalette(int index, int colors) {
    Palette palette;
    palette.palName = QStringLiteral("Palette %1").arg(index);
    palette.palColors.reserve(colors);
    for (int c = 0; c < colors; ++c) {
        PaletteColor color;
        SerializableColor components;
        color.colName = QStringLiteral("Colour %1").arg(c);
        components.red = (c * 37 % 256) / 255.0;
        components.green = (c * 91 % 256) / 255.0;
        components.blue = (index * 13 % 256) / 255.0;
        if (c % 2 == 0)
            components.alpha = (c % 100) / 100.0;
        color.colColor = components;
        palette.palColors.append(color);
    }
    return palette;
}

QString palettesFolder() {
    return Manager::supportSubfolder(QStringLiteral("Palettes"), true).value();
}

// Selects a data set: the store finds its folder under HOME (QStandardPaths test mode).
void use(const DataSet &set) {
    qputenv("HOME", set.home.toUtf8());
}

void generate(DataSet &set, const QString &root) {
    set.home = root + QLatin1Char('/') + QString::fromLatin1(set.label);
    QDir().mkpath(set.home);
    use(set);
    const QString folder = palettesFolder();
    for (int i = 0; i < set.palettes; ++i) {
        const Palette palette = makePalette(i, set.colors);
        QFile file(folder + QLatin1Char('/') + palette.palName + QStringLiteral(".json"));
        file.open(QIODevice::WriteOnly);
        file.write(PaletteCodec::encode(palette).value());
    }
}

// Runs a load with its summary line sent to /dev/null.
void quietLoad() {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    Manager::loadAllPalettes();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(null);
    ::close(saved);
}

struct Stamp {
    ino_t inode;
    timespec mtime;
};

QList<Stamp> stamps(const QString &folder) {
    QList<Stamp> out;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        struct stat info {};
        ::stat(QFile::encodeName(folder + QLatin1Char('/') + name).constData(), &info);
        out.append({info.st_ino, info.st_mtim});
    }
    return out;
}

int changedFiles(const QList<Stamp> &before, const QList<Stamp> &after) {
    if (before.size() != after.size())
        return -1;
    int changed = 0;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i].inode != after[i].inode || before[i].mtime.tv_sec != after[i].mtime.tv_sec ||
            before[i].mtime.tv_nsec != after[i].mtime.tv_nsec)
            ++changed;
    }
    return changed;
}

// Stage 0: list and read; 1: and decode; 2: and encode again and compare with the bytes read.
// Returns the bytes read; counts the files whose encoding matched them in same.
int64_t readFolder(const QByteArray &folder, int stages, int64_t &same) {
    int64_t bytes = 0;
    DIR *dir = ::opendir(folder.constData());
    while (const dirent *entry = ::readdir(dir)) {
        const size_t length = std::strlen(entry->d_name);
        if (length < 5 || std::strcmp(entry->d_name + length - 5, ".json") != 0)
            continue;
        const QByteArray path = folder + '/' + entry->d_name;
        const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        ::fstat(fd, &info);
        QByteArray content(static_cast<qsizetype>(info.st_size), Qt::Uninitialized);
        const ssize_t n = ::read(fd, content.data(), static_cast<size_t>(content.size()));
        ::close(fd);
        bytes += n;
        benchmark::DoNotOptimize(content.data());
        if (stages >= 1) {
            const PaletteCodec::DecodeResult decoded = PaletteCodec::decode(content);
            if (stages >= 2 && decoded.palette)
                same += PaletteCodec::encode(*decoded.palette) == content;
        }
    }
    ::closedir(dir);
    return bytes;
}

void listAndRead(benchmark::State &state, int stages) {
    const DataSet &set = g_sets[state.range(0)];
    use(set);
    const QByteArray folder = QFile::encodeName(palettesFolder());
    int64_t bytes = 0;
    int64_t same = 0;
    for (auto _ : state)
        bytes += readFolder(folder, stages, same);
    state.SetBytesProcessed(bytes);
    if (stages >= 2)
        state.counters["unchanged"] =
            benchmark::Counter(double(same), benchmark::Counter::kAvgIterations);
    state.SetLabel(set.label);
}

void BM_ListAndRead(benchmark::State &state) {
    listAndRead(state, 0);
}
void BM_ReadAndDecode(benchmark::State &state) {
    listAndRead(state, 1);
}
void BM_ReadDecodeEncode(benchmark::State &state) {
    listAndRead(state, 2);
}

void BM_LoadNothingToRewrite(benchmark::State &state) {
    const DataSet &set = g_sets[state.range(0)];
    use(set);
    PalettesOO collection;
    PalettesOO::setShared(&collection);
    quietLoad(); // settles files and position keys
    const QString folder = palettesFolder();
    const QList<Stamp> before = stamps(folder);
    for (auto _ : state)
        quietLoad();
    state.counters["files_written"] = changedFiles(before, stamps(folder));
    state.counters["palettes"] = collection.count();
    state.SetLabel(set.label);
    PalettesOO::setShared(nullptr);
}

void BM_LoadEverythingRewritten(benchmark::State &state) {
    const DataSet &set = g_sets[state.range(0)];
    use(set);
    PalettesOO collection;
    PalettesOO::setShared(&collection);
    quietLoad();
    const QString folder = palettesFolder();
    // The same palettes with a leading space: every file decodes the same but must be rewritten.
    QList<QPair<QString, QByteArray>> padded;
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile file(folder + QLatin1Char('/') + name);
        file.open(QIODevice::ReadOnly);
        padded.append({file.fileName(), ' ' + file.readAll()});
    }
    int64_t written = 0;
    for (auto _ : state) {
        state.PauseTiming();
        for (const auto &[path, bytes] : padded) {
            QFile file(path);
            file.open(QIODevice::WriteOnly | QIODevice::Truncate);
            file.write(bytes);
        }
        const QList<Stamp> before = stamps(folder);
        state.ResumeTiming();
        quietLoad();
        state.PauseTiming();
        written += changedFiles(before, stamps(folder));
        state.ResumeTiming();
    }
    state.counters["files_written"] =
        benchmark::Counter(double(written), benchmark::Counter::kAvgIterations);
    state.SetLabel(set.label);
    PalettesOO::setShared(nullptr);
}

BENCHMARK(BM_ListAndRead)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadAndDecode)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDecodeEncode)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadNothingToRewrite)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);
// The first load of a run, as at start-up, against the floor measured the same way: each
// runs in a new process (this program started again with kChildFlag), so no buffer, cache or
// heap is warm. The time reported is the wall-clock time that process spent in the load or
// the listing and reading (the load may use both cores).
constexpr char kChildFlag[] = "--first-run-child";

QList<double> childNumbers(const DataSet &set, const char *mode) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0)
        return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    char self[] = "/proc/self/exe";
    QByteArray flag(kChildFlag);
    QByteArray modeArg(mode);
    QByteArray home = set.home.toUtf8();
    char *argv[] = {self, flag.data(), modeArg.data(), home.data(), nullptr};
    pid_t pid = 0;
    const int spawned = ::posix_spawn(&pid, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeEnds[1]);
    QByteArray output;
    char chunk[256];
    ssize_t n = 0;
    while ((n = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0)
        output.append(chunk, n);
    ::close(pipeEnds[0]);
    if (spawned != 0)
        return {};
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    QList<double> numbers;
    for (const QByteArray &part : output.trimmed().split(' ')) {
        bool ok = false;
        numbers.append(part.toDouble(&ok));
        if (!ok)
            return {};
    }
    return numbers;
}

double childSeconds(const DataSet &set, const char *mode) {
    const QList<double> numbers = childNumbers(set, mode);
    return numbers.isEmpty() ? -1 : numbers.first();
}

double monotonicSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

long statusKb(const char *field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// In the new process: "load" opens the settings first, as the application does before its
// first load, then times one load (wall clock: the load may use both cores), then a second
// load and a reload that finds nothing changed in the same process; "read" times one listing
// and reading of every file; "peak" and "bare" print the peak memory in kB after a load, or
// without one; "settle" loads once and saves the settings, so later loads find their keys.
int runChild(const char *mode, const char *home) {
    qputenv("HOME", home);
    QStandardPaths::setTestModeEnabled(true);
    int argc = 1;
    char name[] = "bench_store";
    char *argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    PalettesOO collection;
    PalettesOO::setShared(&collection);
    Settings::contains(QStringLiteral("palettes"));
    const QByteArray folder = QFile::encodeName(palettesFolder());
    if (std::strcmp(mode, "settle") == 0) {
        quietLoad();
        Settings::sync();
        PalettesOO::setShared(nullptr);
        std::printf("0\n");
        return 0;
    }
    if (std::strcmp(mode, "peak") == 0 || std::strcmp(mode, "bare") == 0) {
        if (std::strcmp(mode, "peak") == 0)
            quietLoad();
        std::printf("%ld\n", peakKb());
        if (qEnvironmentVariableIsSet("BENCH_STORE_RSS"))
            std::fprintf(stderr, "VmHWM %ld kB, VmRSS %ld kB\n", peakKb(), statusKb("VmRSS:"));
        PalettesOO::setShared(nullptr);
        return 0;
    }
    const bool load = std::strcmp(mode, "load") == 0;
    int64_t same = 0;
    double start = monotonicSeconds();
    if (load)
        quietLoad();
    else
        readFolder(folder, 0, same);
    const double first = monotonicSeconds() - start;
    if (load) {
        start = monotonicSeconds();
        quietLoad();
        const double again = monotonicSeconds() - start;
        start = monotonicSeconds();
        std::fflush(stdout);
        const int saved = ::dup(STDOUT_FILENO);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        Manager::refreshPalettes({}, true);
        std::fflush(stdout);
        ::dup2(saved, STDOUT_FILENO);
        ::close(null);
        ::close(saved);
        const double reload = monotonicSeconds() - start;
        std::printf("%.9f %.9f %.9f\n", first, again, reload);
    } else {
        std::printf("%.9f\n", first);
    }
    PalettesOO::setShared(nullptr);
    return load && collection.count() == 0 ? 1 : 0;
}

void firstRun(benchmark::State &state, const char *mode) {
    const DataSet &set = g_sets[state.range(0)];
    use(set);
    childSeconds(set, "settle"); // files and position keys, with the set's own settings
    const QString folder = palettesFolder();
    const QList<Stamp> before = stamps(folder);
    for (auto _ : state) {
        const double seconds = childSeconds(set, mode);
        if (seconds < 0) {
            state.SkipWithError("the run in a new process failed");
            break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["files_written"] = changedFiles(before, stamps(folder));
    state.SetLabel(set.label);
}

void BM_FirstListAndRead(benchmark::State &state) {
    firstRun(state, "read");
}
void BM_FirstLoadNothingToRewrite(benchmark::State &state) {
    firstRun(state, "load");
}

BENCHMARK(BM_FirstListAndRead)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK(BM_FirstLoadNothingToRewrite)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime();
BENCHMARK(BM_LoadEverythingRewritten)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// The figures of a scale check in one run: each the min/median/max of runs new processes,
// beside its floor measured in the same run, with the load average.
struct Spread {
    double min = 0, median = 0, max = 0;
};

Spread spread(QList<double> values) {
    std::sort(values.begin(), values.end());
    if (values.isEmpty())
        return {};
    return {values.first(), values.at(values.size() / 2), values.last()};
}

void printRow(const char *what, const Spread &value, const Spread &floor, const char *floorName) {
    std::printf("  %-44s %9.1f %9.1f %9.1f ms   %5.2fx %s (median/median)\n", what, value.min * 1e3,
                value.median * 1e3, value.max * 1e3,
                floor.median > 0 ? value.median / floor.median : 0.0, floorName);
}

void printLoadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    if (file.open(QIODevice::ReadOnly))
        std::printf("load average: %s", file.readAll().constData());
}

// Every palette file of the set padded with a leading space, then the file system synced: a
// folder of hand-edited files, each to be rewritten in written form.
void padFiles(const DataSet &set) {
    use(set);
    const QString folder = palettesFolder();
    for (const QString &name : QDir(folder).entryList({QStringLiteral("*.json")}, QDir::Files)) {
        QFile file(folder + QLatin1Char('/') + name);
        if (!file.open(QIODevice::ReadWrite))
            continue;
        QByteArray bytes = file.readAll();
        if (bytes.startsWith(' '))
            continue;
        file.seek(0);
        file.write(' ' + bytes);
    }
    ::sync();
}

int report(int runs) {
    printLoadAverage();
    std::printf("runs per figure: %d; times are wall clock in new processes\n", runs);
    for (int s = 0; s < 2; ++s) {
        DataSet &set = g_sets[s];
        // Settles files and position keys, in a process of its own: settings opened here would
        // stay with the first set's file.
        if (childSeconds(set, "settle") < 0) {
            std::printf("settling the data set failed\n");
            return 1;
        }
        QList<double> floor, first, again, reload;
        for (int r = 0; r < runs; ++r) {
            floor.append(childSeconds(set, "read"));
            const QList<double> load = childNumbers(set, "load");
            if (load.size() != 3) {
                std::printf("the load in a new process failed\n");
                return 1;
            }
            first.append(load.at(0));
            again.append(load.at(1));
            reload.append(load.at(2));
        }
        const Spread floorSpread = spread(floor);
        const Spread firstSpread = spread(first);
        std::printf("%s:\n", set.label);
        printRow("list and read every file (floor)", floorSpread, floorSpread, "floor");
        printRow("first load, new process", firstSpread, floorSpread, "floor");
        printRow("load again, same process", spread(again), floorSpread, "floor");
        printRow("reload, nothing changed", spread(reload), firstSpread, "first load");
        if (s == 0) {
            QList<double> rewrite;
            for (int r = 0; r < runs; ++r) {
                padFiles(set);
                rewrite.append(childSeconds(set, "load"));
            }
            printRow("first load, every file to rewrite", spread(rewrite), firstSpread,
                     "first load");
        }
        if (s == 1) {
            QList<double> peak, bare;
            for (int r = 0; r < std::min(runs, 3); ++r) {
                peak.append(childSeconds(set, "peak"));
                bare.append(childSeconds(set, "bare"));
            }
            const Spread p = spread(peak), b = spread(bare);
            std::printf("  peak memory (VmHWM) after the load: %.1f MB, bare process %.1f MB: "
                        "+%.1f MB (%.1f bytes per colour)\n",
                        p.median / 1024, b.median / 1024, (p.median - b.median) / 1024,
                        (p.median - b.median) * 1024 / (set.palettes * double(set.colors)));
        }
    }
    printLoadAverage();
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    if (argc == 4 && std::strcmp(argv[1], kChildFlag) == 0)
        return runChild(argv[2], argv[3]);
    // BENCH_STORE_ROOT keeps the data sets in a folder of one's choosing, to profile a run.
    const QString chosen = qEnvironmentVariable("BENCH_STORE_ROOT");
    QTemporaryDir root(chosen.isEmpty() ? QDir::tempPath() + QStringLiteral("/bench_store-XXXXXX")
                                        : chosen + QStringLiteral("/XXXXXX"));
    root.setAutoRemove(chosen.isEmpty());
    // Never touch the real home: every path the store and settings use hangs off HOME.
    qputenv("HOME", root.path().toUtf8());
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication app(argc, argv);
    const bool reportOnly = argc >= 2 && std::strcmp(argv[1], "--report") == 0;
    for (DataSet &set : g_sets)
        generate(set, root.path());
    if (reportOnly)
        return report(argc >= 3 ? std::atoi(argv[2]) : 7);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
