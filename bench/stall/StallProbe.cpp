// The UI thread's longest stall while the user acts on a large collection. A 1 ms timer on the
// UI thread records the longest gap between its ticks during each action; the same timer's
// longest gap while nothing happens is the floor. The program's own objects are used: the
// delegate builds the tray item, the popover and the folder watcher as at start-up.
//
// Usage (in an X session with a tray; bench/stall/run.sh provides one):
//   bench_stall [--palettes 20000] [--colors 50] [--big 50000] [--runs 7] [--only NAME]

#include "app/AppDelegate.h"
#include "app/Shell.h"
#include "model/PaletteCodec.h"
#include "platform/PopoverWindow.h"
#include "platform/StatusItem.h"
#include "settings/IniCodec.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"
#include "views/blocks/BoundedScrollArea.h"
#include "views/palette/PaletteColorGridView.h"
#include "views/palette/PaletteModifyColorView.h"
#include "views/palette/PalettePlace.h"
#include "views/palette/PaletteView.h"
#include "views/palette/PaletteWindow.h"
#include "views/popover/MenuItemModifyView.h"
#include "views/popover/MenuItemView.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <thread>
#include <unistd.h>

namespace {

FILE *g_out = stderr;

struct Options {
    int palettes = 20000;
    int colors = 50;
    int big = 50000;
    int runs = 7;
    QString only;
};

// Records the longest gap between ticks of a 1 ms timer on the UI thread.
class Probe : public QObject {
public:
    Probe() {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        connect(&m_timer, &QTimer::timeout, this, [this] { tick(); });
        m_clock.start();
        m_timer.start();
    }
    void reset() {
        m_last = m_clock.nsecsElapsed();
        m_longest = 0;
    }
    // Longest gap since reset, counting the one still open.
    double longestMs() {
        tick();
        return double(m_longest) / 1e6;
    }

private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        m_longest = std::max(m_longest, now - m_last);
        m_last = now;
    }
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

// Runs the event loop for ms milliseconds, or until done() holds (then ms more). A real event
// loop, not a busy one: the probe's timer competes with nothing but the work measured.
bool spin(int ms, const std::function<bool()> &done = {}, int timeoutMs = 10000) {
    QEventLoop loop;
    QTimer poll;
    QElapsedTimer clock;
    clock.start();
    bool finished = !done;
    qint64 settleFrom = finished ? 0 : -1;
    bool ok = true;
    poll.setInterval(2);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (!finished) {
            if (done()) {
                finished = true;
                settleFrom = clock.elapsed();
            } else if (clock.elapsed() > timeoutMs) {
                ok = false;
                loop.quit();
                return;
            }
        }
        if (finished && clock.elapsed() - settleFrom >= ms)
            loop.quit();
    });
    poll.start();
    loop.exec();
    return ok;
}

Palette makePalette(const QString &name, int index, int colors) {
    Palette palette;
    palette.palName = name;
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

void writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::fprintf(stderr, "bench_stall: cannot write %s\n", qPrintable(path));
}

QString folder() {
    return Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
}

// As typed: the editor takes the name from the field's edits; setText alone leaves the old
// name, and a rename would keep it, an add would be refused.
void typeName(const QString &name) {
    QLineEdit *field = menuView->modifyView()->nameField();
    field->setText(name);
    Q_EMIT field->textEdited(name);
}

PalettesOO *collection() {
    return PalettesOO::shared();
}

// The open window showing the palette of that name, if any.
PaletteWindow *windowOf(const QString &name) {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *window = qobject_cast<PaletteWindow *>(widget);
        if (window && window->isVisible() && window->place()->palName() == name)
            return window;
    }
    return nullptr;
}

struct Result {
    QString name;
    QList<double> gaps;
};

double median(QList<double> values) {
    std::sort(values.begin(), values.end());
    const qsizetype n = values.size();
    return n == 0 ? 0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

QString loadAverage() {
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed()
                                          : QStringLiteral("?");
}

long statusKiB(const char *key) {
    QFile file(QStringLiteral("/proc/self/status"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

class Bench {
public:
    explicit Bench(const Options &options)
        : m_options(options) {}

    int run();

private:
    // One measured action: prepare (not measured), act, then the loop runs until done holds
    // and settleMs more; the longest gap of the whole stretch is recorded.
    void measure(const QString &name, const std::function<void(int)> &act,
                 const std::function<void(int)> &prepare = {},
                 const std::function<bool()> &done = {}, int settleMs = 150);
    PaletteWindow *bigWindow();
    PaletteColorGridView *bigGrid() { return bigWindow()->view()->grid(); }
    int indexOf(const QString &name) { return collection()->indexOf(name); }
    bool wanted(const QString &name) const {
        return m_options.only.isEmpty() || name.contains(m_options.only);
    }

    Options m_options;
    Probe *m_probe = nullptr;
    QList<Result> m_results;
    QPointer<PaletteWindow> m_window;
    const QString m_bigName = QStringLiteral("Big palette");
};

void Bench::measure(const QString &name, const std::function<void(int)> &act,
                    const std::function<void(int)> &prepare, const std::function<bool()> &done,
                    int settleMs) {
    if (!wanted(name) && name != QLatin1String("idle (floor)"))
        return;
    Result result{name, {}};
    for (int run = 0; run < m_options.runs; ++run) {
        if (prepare)
            prepare(run);
        spin(100);
        m_probe->reset();
        act(run);
        if (!spin(settleMs, done))
            std::fprintf(g_out, "  %s: run %d did not finish in time\n", qPrintable(name), run);
        result.gaps.append(m_probe->longestMs());
    }
    m_results.append(result);
    std::fprintf(stderr, "[stall] %s done\n", qPrintable(name));
}

PaletteWindow *Bench::bigWindow() {
    if (!m_window) {
        m_window = PaletteWindow::open(collection(), indexOf(m_bigName));
        spin(300);
    }
    return m_window;
}

int Bench::run() {
    const QString palettes = folder();
    {
        QByteArray line;
        for (int i = 0; i < m_options.palettes; ++i) {
            const Palette palette =
                makePalette(QStringLiteral("Palette %1").arg(i), i, m_options.colors);
            writeFile(palettes + QLatin1Char('/') + palette.palName + QStringLiteral(".json"),
                      PaletteCodec::encode(palette).value_or(QByteArray()));
        }
        const Palette big = makePalette(m_bigName, 7, m_options.big);
        writeFile(palettes + QLatin1Char('/') + big.palName + QStringLiteral(".json"),
                  PaletteCodec::encode(big).value_or(QByteArray()));
    }
    const long bareKiB = statusKiB("VmRSS:");

    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    spin(
        300, [] { return statusItem && statusItem->isInstalled(); }, 8000);
    delegate.showPopover();
    if (!spin(
            300, [] { return popover && popover->isShown(); }, 5000)) {
        std::fprintf(g_out, "bench_stall: the popover did not show\n");
        return 1;
    }
    const long popoverKiB = statusKiB("VmRSS:");
    if (!bigWindow()) {
        std::fprintf(g_out, "bench_stall: the big palette did not open\n");
        return 1;
    }
    const long windowKiB = statusKiB("VmRSS:");
    m_probe = new Probe;
    spin(200);

    measure(QStringLiteral("idle (floor)"), [](int) {});

    measure(QStringLiteral("popover scroll to end and back"), [](int) {
        QScrollBar *bar = menuView->gridArea()->verticalScrollBar();
        bar->setValue(bar->value() == bar->maximum() ? 0 : bar->maximum());
    });

    // The views' own share: the collection changes without the store doing anything.
    measure(QStringLiteral("views only: every palette replaced"), [](int run) {
        QList<Palette> all = collection()->palettes();
        all.first().palColors.append(PaletteColor{QStringLiteral("View %1").arg(run), {}});
        collection()->setPalettes(all);
    });
    measure(QStringLiteral("views only: big palette, one colour"), [this](int run) {
        const int at = indexOf(m_bigName);
        Palette big = collection()->palettes().at(at);
        big.palColors[500 + run].colName = QStringLiteral("View %1").arg(run);
        collection()->replace(at, big);
    });
    measure(
        QStringLiteral("popover close and open"),
        [](int) {
            popover->performClose();
            spin(30);
            popover->showRelativeTo(statusItem->geometry());
        },
        {}, [] { return popover->isShown(); });

    // The folder is read on a worker: each action lasts until its load is done.
    const auto loaded = [] {
        return !Manager::backgroundLoadsPending();
    };
    measure(
        QStringLiteral("reload palettes"), [](int) { Manager::loadAllPalettes(); }, {}, loaded);

    measure(
        QStringLiteral("delete a palette"),
        [this](int run) {
            menuView->deletePalette(indexOf(QStringLiteral("Palette %1").arg(100 + run)));
        },
        {}, loaded);

    measure(
        QStringLiteral("rename a palette"),
        [this](int run) {
            menuView->renamePalette(indexOf(QStringLiteral("Palette %1").arg(200 + run)));
            typeName(QStringLiteral("Renamed %1").arg(run));
            menuView->modifyView()->ok();
        },
        {}, loaded);

    measure(QStringLiteral("add a palette"), [](int run) {
        menuView->addPalette();
        typeName(QStringLiteral("Added %1").arg(run));
        menuView->modifyView()->ok();
    });

    measure(
        QStringLiteral("open the big window"),
        [this](int) { m_window = PaletteWindow::open(collection(), indexOf(m_bigName)); },
        [this](int) {
            if (m_window) {
                m_window->close();
                spin(200);
            }
        },
        {}, 300);
    // As the user does it: a click on the palette in the popover, which then gives way.
    measure(
        QStringLiteral("open the big window from the popover"),
        [this](int) {
            menuView->openPalette(indexOf(m_bigName));
            m_window = windowOf(m_bigName);
        },
        [this](int) {
            if (m_window) {
                m_window->close();
                spin(100);
            }
            if (!popover->isShown()) {
                popover->showRelativeTo(statusItem->geometry());
                spin(
                    200, [] { return popover->isShown(); }, 3000);
            }
        },
        {}, 300);
    bigWindow();

    measure(QStringLiteral("big palette: add a colour"), [this](int run) {
        bigGrid()->addColors(
            {PaletteColor{QStringLiteral("Added %1").arg(run), {0.5, 0.25, 1.0, {}}}});
    });

    measure(QStringLiteral("big palette: edit a colour"), [this](int run) {
        PaletteColorGridView *grid = bigGrid();
        grid->startColorEdit(1000 + run);
        grid->editor()->nameField()->setText(QStringLiteral("Edited %1").arg(run));
        grid->editor()->applyColorChange();
    });

    measure(QStringLiteral("big palette: delete a colour"),
            [this](int run) { bigGrid()->deleteColor(2000 + run); });

    // With --only, the window is not open yet: opening it is measured on its own, above.
    const auto openBig = [this](int) {
        bigWindow();
    };
    measure(
        QStringLiteral("move the big window (20 moves)"),
        [this](int run) {
            PaletteWindow *window = bigWindow();
            const QPoint start = window->pos();
            for (int i = 1; i <= 20; ++i) {
                window->move(start + QPoint((run % 2 ? -1 : 1) * i * 3, i * 2));
                spin(4);
            }
        },
        openBig);

    measure(
        QStringLiteral("resize the big window (20 sizes)"),
        [this](int run) {
            PaletteWindow *window = bigWindow();
            const QSize start = window->size();
            for (int i = 1; i <= 20; ++i) {
                window->resize(start +
                               QSize((run % 2 ? -1 : 1) * i * 4, (run % 2 ? -1 : 1) * i * 3));
                spin(4);
            }
        },
        openBig);

    // Another program writes a palette file; the live-folder watcher brings the change in.
    {
        int run = 0;
        std::thread writer;
        const auto changedName = [&run] {
            return QStringLiteral("Outside %1").arg(run);
        };
        measure(
            QStringLiteral("file changed by another program"),
            [&](int r) {
                run = r;
                const QString path = palettes + QStringLiteral("/Palette 300.json");
                const QByteArray bytes =
                    PaletteCodec::encode(
                        Palette{QStringLiteral("Palette 300"),
                                {PaletteColor{changedName(), {0.1, 0.2, 0.3, {}}}}})
                        .value_or(QByteArray());
                writer = std::thread([path, bytes] { writeFile(path, bytes); });
            },
            {},
            [&] {
                if (writer.joinable())
                    writer.join();
                const int at = collection()->indexOf(QStringLiteral("Palette 300"));
                return at >= 0 && !collection()->palettes().at(at).palColors.isEmpty() &&
                       collection()->palettes().at(at).palColors.first().colName == changedName();
            },
            150);
        if (writer.joinable())
            writer.join();
    }

    // Another program edits the settings file (a hand edit, a sync client); a window move then
    // writes the settings, which takes that edit in.
    {
        int edited = 0;
        measure(
            QStringLiteral("settings edited by another program"),
            [this](int run) {
                PaletteWindow *window = bigWindow();
                window->move(window->pos() + QPoint(run % 2 ? -5 : 5, 0));
            },
            [&](int run) {
                openBig(run);
                edited = run + 1;
                // On a thread of its own, so that its freed keys do not land in this thread's
                // heap; before the measure, as another program's work is not this one's.
                std::thread([run] {
                    QFile file(Settings::fileName());
                    if (!file.open(QIODevice::ReadOnly))
                        return;
                    IniCodec::Map values = IniCodec::read(file.readAll());
                    file.close();
                    values.insert(QStringLiteral("other.program"), run + 1);
                    writeFile(Settings::fileName(), IniCodec::write(values));
                }).join();
            },
            [&] { return Settings::integer(QStringLiteral("other.program")) == edited; }, 150);
    }

    // Another program adds a palette file: a new file takes a whole load of the folder.
    {
        std::thread writer;
        QString name;
        measure(
            QStringLiteral("new file from another program"),
            [&](int run) {
                name = QStringLiteral("Arrived %1").arg(run);
                const QByteArray bytes =
                    PaletteCodec::encode(Palette{name, {PaletteColor{name, {0.3, 0.2, 0.1, {}}}}})
                        .value_or(QByteArray());
                writer = std::thread(
                    [path = palettes + QLatin1Char('/') + name + QStringLiteral(".json"), bytes] {
                        writeFile(path, bytes);
                    });
            },
            {},
            [&] {
                if (writer.joinable())
                    writer.join();
                return collection()->indexOf(name) >= 0 && !Manager::backgroundLoadsPending();
            },
            150);
        if (writer.joinable())
            writer.join();
    }

    const long peakKiB = statusKiB("VmHWM:");
    const double floor = m_results.isEmpty() ? 0 : median(m_results.first().gaps);
    std::fprintf(g_out,
                 "\nUI-thread longest gap of a 1 ms timer, ms (%d runs each); %d palettes x %d "
                 "colours + one of %d\n",
                 m_options.runs, m_options.palettes, m_options.colors, m_options.big);
    std::fprintf(g_out, "%-36s %8s %8s %8s %9s\n", "action", "min", "median", "max", "x floor");
    for (const Result &result : std::as_const(m_results)) {
        const auto [lo, hi] = std::minmax_element(result.gaps.begin(), result.gaps.end());
        const double mid = median(result.gaps);
        std::fprintf(g_out, "%-36s %8.1f %8.1f %8.1f %9.1f%s\n", qPrintable(result.name), *lo, mid,
                     *hi, floor > 0 ? mid / floor : 0.0, *hi > 50 ? "  over 50 ms" : "");
    }
    std::fprintf(g_out,
                 "\nmemory: RSS after writing the files %.1f MiB, with the popover shown %.1f "
                 "MiB, with the big window open %.1f MiB, peak %.1f MiB\n",
                 bareKiB / 1024.0, popoverKiB / 1024.0, windowKiB / 1024.0, peakKiB / 1024.0);
    std::fprintf(g_out, "load average: %s\n", qPrintable(loadAverage()));
    std::fflush(g_out);
    return 0;
}

} // namespace

int main(int argc, char **argv) {
    Options options;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray key = argv[i];
        const int value = std::atoi(argv[i + 1]);
        if (key == "--palettes")
            options.palettes = value;
        else if (key == "--colors")
            options.colors = value;
        else if (key == "--big")
            options.big = value;
        else if (key == "--runs")
            options.runs = std::max(1, value);
        else if (key == "--only")
            options.only = QString::fromLocal8Bit(argv[i + 1]);
    }

    // A throw-away home: the store, the settings and the trash live under it.
    QTemporaryDir home;
    QStandardPaths::setTestModeEnabled(true);
    const QByteArray root = home.path().toUtf8();
    qputenv("HOME", root);
    qputenv("XDG_CONFIG_HOME", root + "/config");
    qputenv("XDG_DATA_HOME", root + "/data");
    qputenv("XDG_CACHE_HOME", root + "/cache");

    // The program's lines go nowhere; the figures go to the original stdout.
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, STDOUT_FILENO);
    ::close(null);
    g_out = ::fdopen(saved, "w");

    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Swatchbar"));
    QCoreApplication::setApplicationName(QStringLiteral("Swatchbar"));
    QApplication::setQuitOnLastWindowClosed(false);
    Bench bench(options);
    const int status = bench.run();
    std::fflush(g_out);
    // The shell's objects are left to the process's end, as the program does.
    _exit(status);
}
