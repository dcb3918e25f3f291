// The settings store at 20,000 position keys (one per palette): what moving a window costs on
// the UI thread, how often the file is rewritten, one write of the file, and reading it at
// start-up, each beside a floor measured in the same run. Ratios to the floors are printed at
// the end, from the medians of the repetitions:
//   bench_settings --benchmark_repetitions=9
#include "core/SafeFile.h"
#include "settings/IniCodec.h"
#include "settings/Settings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kPalettes = 20000;
constexpr int kMoves = 40;
constexpr auto kMoveGap = std::chrono::milliseconds(16); // a drag at about 60 moves a second

double minOf(const std::vector<double> &v) {
    return *std::min_element(v.begin(), v.end());
}
double maxOf(const std::vector<double> &v) {
    return *std::max_element(v.begin(), v.end());
}

// Min and max of the repetitions beside the median.
void spread(benchmark::internal::Benchmark *b) {
    b->ComputeStatistics("min", minOf)->ComputeStatistics("max", maxOf);
}

std::atomic<int> g_writeCalls{0};

ssize_t countingWrite(int fd, const void *data, size_t size) {
    ++g_writeCalls;
    return ::write(fd, data, size);
}

QString positionKey(int i) {
    return SettingsKeys::paletteIndexKey(QStringLiteral("Palette %1").arg(i));
}

QByteArray fileBytes() {
    QFile file(Settings::fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

IniCodec::Map fileMap() {
    return IniCodec::read(fileBytes());
}

double seconds(const QElapsedTimer &timer) {
    return double(timer.nsecsElapsed()) * 1e-9;
}

// Runs the event loop for a while, timing each turn: the longest turn is the worst stall.
double idleFor(std::chrono::milliseconds span) {
    double longest = 0;
    QElapsedTimer total;
    total.start();
    while (total.elapsed() < span.count()) {
        QElapsedTimer turn;
        turn.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        longest = std::max(longest, seconds(turn));
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return longest;
}

// One run: a drag of `moves` moves, 16 ms apart, then the second and a half in which the
// gathered write happens. Iteration time: the median UI-thread cost of a move (set the frame,
// run the event loop once). Counters: the longest move, the longest event-loop turn afterwards
// and the file writes the run caused.
void drag(benchmark::State &state, int moves) {
    int run = 0;
    for (auto _ : state) {
        Settings::sync();
        const int before = g_writeCalls;
        std::vector<double> costs;
        for (int i = 0; i < moves; ++i) {
            std::this_thread::sleep_for(kMoveGap);
            const QByteArray frame = QByteArray::number(run) + ':' + QByteArray::number(i);
            QElapsedTimer timer;
            timer.start();
            Settings::setWindowFrame(QStringLiteral("Viewing: Palette 7"), frame);
            QCoreApplication::processEvents(QEventLoop::AllEvents);
            costs.push_back(seconds(timer));
        }
        const double afterwards = idleFor(std::chrono::milliseconds(1500));
        std::sort(costs.begin(), costs.end());
        state.SetIterationTime(costs[costs.size() / 2]);
        state.counters["move_max_ms"] = costs.back() * 1e3;
        state.counters["turn_after_max_ms"] = afterwards * 1e3;
        state.counters["rewrites"] = g_writeCalls - before;
        ++run;
    }
}

// 40 moves in about 0.65 s.
void BM_WindowMove(benchmark::State &state) {
    drag(state, kMoves);
}
BENCHMARK(BM_WindowMove)
    ->Apply(spread)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// 200 moves in about 3.3 s: writes are handed over while the drag goes on.
void BM_LongDrag(benchmark::State &state) {
    drag(state, 200);
}
BENCHMARK(BM_LongDrag)
    ->Apply(spread)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Floor of a move: one turn of an event loop with nothing to do.
void BM_EmptyTurn(benchmark::State &state) {
    for (auto _ : state)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}
BENCHMARK(BM_EmptyTurn)->Apply(spread)->Unit(benchmark::kMicrosecond);

// One change written now (as at quit): the whole file serialised and replaced with fdatasync.
void BM_SyncOneChange(benchmark::State &state) {
    int i = 0;
    for (auto _ : state) {
        Settings::setWindowFrame(QStringLiteral("Viewing: Palette 7"), QByteArray::number(++i));
        Settings::sync();
    }
}
BENCHMARK(BM_SyncOneChange)->Apply(spread)->Unit(benchmark::kMillisecond);

// Its parts: serialising 20,000 keys, and writing the bytes through SafeFile.
void BM_Serialise(benchmark::State &state) {
    const IniCodec::Map map = fileMap();
    for (auto _ : state)
        benchmark::DoNotOptimize(IniCodec::write(map));
}
BENCHMARK(BM_Serialise)->Apply(spread)->Unit(benchmark::kMillisecond);

void BM_SafeFileWrite(benchmark::State &state) {
    const QByteArray bytes = fileBytes();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("copy.conf"));
    for (auto _ : state)
        SafeFile::write(path, bytes);
}
BENCHMARK(BM_SafeFileWrite)->Apply(spread)->Unit(benchmark::kMillisecond);

// Floor of a write: the same bytes into a file with QFile, no sync.
void BM_PlainWrite(benchmark::State &state) {
    const QByteArray bytes = fileBytes();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plain.conf"));
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(bytes);
    }
}
BENCHMARK(BM_PlainWrite)->Apply(spread)->Unit(benchmark::kMillisecond);

// Start-up: parsing the file, against the floor of reading its bytes.
void BM_ReadAtStartup(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(IniCodec::read(fileBytes()));
}
BENCHMARK(BM_ReadAtStartup)->Apply(spread)->Unit(benchmark::kMillisecond);

void BM_ReadBytes(benchmark::State &state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(fileBytes());
}
BENCHMARK(BM_ReadBytes)->Apply(spread)->Unit(benchmark::kMillisecond);

// The load's look-up of every palette's position: one key at a time, or in one pass.
QStringList g_keys;

void BM_ContainsAndIntegerPerKey(benchmark::State &state) {
    for (auto _ : state) {
        qint64 sum = 0;
        for (const QString &key : g_keys)
            sum += Settings::contains(key) ? Settings::integer(key) : 0;
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_ContainsAndIntegerPerKey)->Apply(spread)->Unit(benchmark::kMillisecond);

void BM_IntegersWithPrefix(benchmark::State &state) {
    for (auto _ : state) {
        const QHash<QString, int> all =
            Settings::integersWithPrefix(SettingsKeys::paletteIndexKey(QString()));
        qint64 sum = 0;
        for (const QString &key : g_keys)
            sum += all.value(key);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_IntegersWithPrefix)->Apply(spread)->Unit(benchmark::kMillisecond);

// What a delete near the top costs in keys: every later palette's position moves by one.
void BM_ShiftEveryPosition(benchmark::State &state) {
    int shift = 0;
    for (auto _ : state) {
        ++shift;
        for (int i = 0; i < g_keys.size(); ++i)
            Settings::setInteger(g_keys.at(i), i + shift);
    }
}
BENCHMARK(BM_ShiftEveryPosition)->Apply(spread)->Unit(benchmark::kMillisecond);

// Floor of the look-up: the same keys in a QHash built beforehand.
void BM_HashLookup(benchmark::State &state) {
    QHash<QString, int> hash;
    for (int i = 0; i < g_keys.size(); ++i)
        hash.insert(g_keys.at(i), i);
    for (auto _ : state) {
        qint64 sum = 0;
        for (const QString &key : g_keys)
            sum += hash.value(key);
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_HashLookup)->Apply(spread)->Unit(benchmark::kMillisecond);

// Another program rewrites the file (a hand edit, a sync client) and a window moves: the
// gathered write merges that program's version in. Iteration time: the longest event-loop
// turn from the move until the merge is written and read back, which is the UI thread's
// stall. everyKey: the other program changed every position (another machine's order), else
// one key.
int g_mergeRun = 0;

// The other program's edit, made on a thread of its own: made here, its twenty thousand freed
// keys would sit in this thread's heap and the UI thread's next allocation would pay for
// tidying them, a cost no real other program puts on this one.
void editAsAnotherProgram(int run, bool everyKey) {
    std::thread([run, everyKey] {
        IniCodec::Map values = fileMap();
        values.insert(QStringLiteral("other.program"), run);
        if (everyKey)
            for (int i = 0; i < g_keys.size(); ++i)
                values.insert(g_keys.at(i), (i + run) % g_keys.size());
        QFile file(Settings::fileName());
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(IniCodec::write(values));
    }).join();
}

void mergeAfter(benchmark::State &state, bool otherProgram, bool everyKey) {
    for (auto _ : state) {
        const int run = ++g_mergeRun;
        Settings::sync();
        if (otherProgram)
            editAsAnotherProgram(run, everyKey);
        const int before = g_writeCalls;
        QElapsedTimer timer;
        timer.start();
        Settings::setWindowFrame(QStringLiteral("Viewing: Palette 8"), QByteArray::number(run));
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        double longest = seconds(timer);
        longest = std::max(longest, idleFor(std::chrono::milliseconds(1500)));
        state.SetIterationTime(longest);
        state.counters["rewrites"] = g_writeCalls - before;
        if (otherProgram && (Settings::integer(QStringLiteral("other.program")) != run ||
                             (everyKey && Settings::integer(g_keys.at(0)) != run % g_keys.size())))
            state.SkipWithError("the other program's change was not taken in");
    }
}

void BM_MergeOneKeyChangedElsewhere(benchmark::State &state) {
    mergeAfter(state, true, false);
}
BENCHMARK(BM_MergeOneKeyChangedElsewhere)
    ->Apply(spread)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

void BM_MergeEveryKeyChangedElsewhere(benchmark::State &state) {
    mergeAfter(state, true, true);
}
BENCHMARK(BM_MergeEveryKeyChangedElsewhere)
    ->Apply(spread)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Floor of the two above: the same move and write with no other program.
void BM_WriteNothingChangedElsewhere(benchmark::State &state) {
    mergeAfter(state, false, false);
}
BENCHMARK(BM_WriteNothingChangedElsewhere)
    ->Apply(spread)
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// A load right after another program's edit: reading every position takes the edit in at
// once, on the UI thread. Floor: the same read with nothing changed (BM_IntegersWithPrefix).
void BM_ReadAfterChangedElsewhere(benchmark::State &state) {
    for (auto _ : state) {
        state.PauseTiming();
        Settings::sync();
        editAsAnotherProgram(++g_mergeRun, false);
        state.ResumeTiming();
        benchmark::DoNotOptimize(
            Settings::integersWithPrefix(SettingsKeys::paletteIndexKey(QString())));
    }
    if (Settings::integer(QStringLiteral("other.program")) != g_mergeRun)
        state.SkipWithError("the other program's change was not taken in");
}
BENCHMARK(BM_ReadAfterChangedElsewhere)->Apply(spread)->Unit(benchmark::kMillisecond);

// Prints the usual table and, at the end, each figure's median as a ratio to its floor.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                m_medians[run.run_name.function_name] =
                    run.GetAdjustedRealTime() * multiplier(run.time_unit);
        }
    }
    void printRatios() const {
        const std::pair<const char *, const char *> pairs[] = {
            {"BM_WindowMove", "BM_EmptyTurn"},
            {"BM_MergeOneKeyChangedElsewhere", "BM_WriteNothingChangedElsewhere"},
            {"BM_MergeEveryKeyChangedElsewhere", "BM_WriteNothingChangedElsewhere"},
            {"BM_SyncOneChange", "BM_PlainWrite"},
            {"BM_Serialise", "BM_PlainWrite"},
            {"BM_SafeFileWrite", "BM_PlainWrite"},
            {"BM_ReadAtStartup", "BM_ReadBytes"},
            {"BM_ContainsAndIntegerPerKey", "BM_HashLookup"},
            {"BM_IntegersWithPrefix", "BM_HashLookup"},
            {"BM_ReadAfterChangedElsewhere", "BM_IntegersWithPrefix"}};
        std::printf("\nMedians as ratios to their floors (same run):\n");
        for (const auto &[figure, floor] : pairs) {
            const auto f = m_medians.find(figure);
            const auto b = m_medians.find(floor);
            if (f == m_medians.end() || b == m_medians.end() || b->second <= 0)
                continue;
            std::printf("  %-30s %10.3f ms / %-14s %8.3f ms = %8.1fx\n", figure, f->second * 1e3,
                        floor, b->second * 1e3, f->second / b->second);
        }
    }

private:
    static double multiplier(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1e-9;
        case benchmark::kMicrosecond:
            return 1e-6;
        case benchmark::kMillisecond:
            return 1e-3;
        default:
            return 1.0;
        }
    }
    std::map<std::string, double> m_medians;
};

} // namespace

int main(int argc, char **argv) {
    QTemporaryDir home;
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    QCoreApplication app(argc, argv);
    SafeFile::setWriteFunction(countingWrite);

    Settings::storeMissingDefaults();
    for (int i = 0; i < kPalettes; ++i) {
        g_keys.append(positionKey(i));
        Settings::setInteger(g_keys.last(), i);
    }
    for (int i = 0; i < 10; ++i)
        Settings::setWindowFrame(QStringLiteral("Viewing: Palette %1").arg(i),
                                 QByteArray(66, char(i)));
    Settings::sync();

    double load[3] = {};
    if (getloadavg(load, 3) == 3)
        std::printf("load average: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    std::printf("settings file: %lld bytes, %d position keys\n",
                static_cast<long long>(fileBytes().size()), kPalettes);
    std::fflush(stdout);

    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printRatios();
    if (getloadavg(load, 3) == 3)
        std::printf("load average at the end: %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    benchmark::Shutdown();
    return 0;
}
