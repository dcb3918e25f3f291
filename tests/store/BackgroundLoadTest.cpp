// Loads whose folder scan runs on a worker: they must end exactly where the same steps taken
// one at a time on the calling thread end, and never drop what was written while they ran.
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "model/ColorEdit.h"
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QThread>

namespace {

Palette palette(const QString &name, double red) {
    return Palette{name, {PaletteColor{name + QStringLiteral(" colour"), {red, 0.5, 0.25, {}}}}};
}

void writeRaw(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QStringList names(const PalettesOO &collection) {
    QStringList out;
    for (const Palette &p : collection.palettes())
        out << p.palName;
    return out;
}

// Every position key, as "name=index".
QStringList positionKeys() {
    QStringList out;
    const QString prefix = SettingsKeys::paletteIndexKey(QString());
    const QHash<QString, int> all = Settings::integersWithPrefix(prefix);
    for (auto it = all.cbegin(); it != all.cend(); ++it)
        out << it.key().mid(prefix.size()) + QLatin1Char('=') + QString::number(it.value());
    out.sort();
    return out;
}

QStringList folderFiles(const QString &folder) {
    QStringList out;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        QFile f(folder + QLatin1Char('/') + name);
        out << name + QLatin1Char(':') +
                   QString::number(qHash(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray()));
    }
    return out;
}

bool waitForLoads() {
    return QTest::qWaitFor([] { return !Manager::backgroundLoadsPending(); }, 10000);
}

} // namespace

class BackgroundLoadTest : public QObject {
    Q_OBJECT

    PalettesOO *m_collection = nullptr;
    QString m_folder;

    // A folder with the odd cases a load handles: an unreadable file, a file that is not in
    // its written form, a palette stored under another file's name, a conflict copy.
    void makeFolder() {
        QDir(m_folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder));
        for (int i = 0; i < 40; ++i) {
            const Palette p =
                palette(QStringLiteral("P%1").arg(i, 2, 10, QLatin1Char('0')), i / 40.0);
            writeRaw(m_folder + QLatin1Char('/') + p.palName + QStringLiteral(".json"),
                     PaletteCodec::encode(p).value());
        }
        writeRaw(m_folder + QStringLiteral("/Broken.json"), "{\"palName\": ");
        QByteArray spaced = PaletteCodec::encode(palette(QStringLiteral("Spaced"), 0.3)).value();
        spaced.replace(",", ", ");
        writeRaw(m_folder + QStringLiteral("/Spaced.json"), spaced);
        writeRaw(m_folder + QStringLiteral("/Elsewhere.json"),
                 PaletteCodec::encode(palette(QStringLiteral("Moved"), 0.7)).value());
        writeRaw(m_folder + QStringLiteral("/P03.sync-conflict-20261208-101010-ABCDEFG.json"),
                 PaletteCodec::encode(palette(QStringLiteral("P03"), 0.9)).value());
        for (const QString &key : Settings::keys())
            Settings::remove(key);
    }

    // Delete, rename to a new name, rename to the same name, undo-like restore, reload.
    QStringList runSteps(bool inBackground) {
        QStringList lines;
        // As at start-up: the first load on this thread, later ones as asked.
        lines += capturedLines([] { Manager::loadAllPalettes(); });
        Manager::setBackgroundLoads(inBackground);
        const auto step = [&lines](const std::function<void()> &act) {
            lines += capturedLines([&act] {
                act();
                if (!waitForLoads())
                    qWarning("a background load did not finish");
            });
        };
        step([] { Manager::deletePalette(QStringLiteral("P05")); });
        step([this] {
            const int at = m_collection->indexOf(QStringLiteral("P10"));
            Manager::renamePalette(
                QStringLiteral("P10"),
                Palette{QStringLiteral("Ten"), m_collection->palettes().at(at).palColors});
        });
        step([this] {
            const int at = m_collection->indexOf(QStringLiteral("P20"));
            Manager::renamePalette(QStringLiteral("P20"), m_collection->palettes().at(at));
        });
        step([] { Manager::movePalette(0, 3); });
        step([] {
            Manager::loadAllPalettes([] {
                Settings::setInteger(SettingsKeys::paletteIndexKey(QStringLiteral("P01")), 30);
            });
        });
        step([] { Manager::loadAllPalettes(); });
        Manager::setBackgroundLoads(false);
        return lines;
    }

private slots:
    void init() {
        m_folder = Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        QVERIFY(!m_folder.isEmpty());
        Manager::setTrashFunction(
            [](const QString &path, QString *) { return QFile::remove(path); });
        m_collection = new PalettesOO(this);
        PalettesOO::setShared(m_collection);
    }
    void cleanup() {
        Manager::setKeySliceSteps(0);
        Manager::setBackgroundLoads(false);
        Manager::finishWrites();
        Manager::setTrashFunction(nullptr);
        PalettesOO::setShared(nullptr);
        delete m_collection;
        m_collection = nullptr;
    }

    // The same steps, with the scans on a worker and on this thread, give the same lines,
    // palettes in the same order, the same position keys and the same files.
    void sameOutcomeAsOnTheCallingThread() {
        makeFolder();
        const QStringList syncLines = runSteps(false);
        const QStringList syncNames = names(*m_collection);
        const QStringList syncKeys = positionKeys();
        const QStringList syncFiles = folderFiles(m_folder);
        QVERIFY(syncNames.contains(QStringLiteral("Ten")));
        QVERIFY(!syncNames.contains(QStringLiteral("P05")));

        makeFolder();
        m_collection->setPalettes({});
        const QStringList backgroundLines = runSteps(true);
        QCOMPARE(backgroundLines, syncLines);
        QCOMPARE(names(*m_collection), syncNames);
        QCOMPARE(positionKeys(), syncKeys);
        QCOMPARE(folderFiles(m_folder), syncFiles);
    }

    // Keys set a few per turn of the event loop end exactly as when set at once.
    void keysInSlicesEndAsAtOnce() {
        makeFolder();
        const QStringList syncLines = runSteps(false);
        const QStringList syncNames = names(*m_collection);
        const QStringList syncKeys = positionKeys();
        const QStringList syncFiles = folderFiles(m_folder);

        makeFolder();
        m_collection->setPalettes({});
        Manager::setKeySliceSteps(3);
        const QStringList slicedLines = runSteps(true);
        Manager::setKeySliceSteps(0);
        QCOMPARE(slicedLines, syncLines);
        QCOMPARE(names(*m_collection), syncNames);
        QCOMPARE(positionKeys(), syncKeys);
        QCOMPARE(folderFiles(m_folder), syncFiles);
    }

    // A move made while a rename's keys are still being set finishes them first: no later
    // slice puts back a position from before the move.
    void moveWhileKeysAreSetWins() {
        makeFolder();
        capturedLines([] {
            Manager::loadAllPalettes();
            Manager::loadAllPalettes();
        });
        Manager::setBackgroundLoads(true);
        Manager::setKeySliceSteps(2);
        const QString first = m_collection->palettes().first().palName;
        const QString second = m_collection->palettes().at(1).palName;
        const QString last = m_collection->palettes().last().palName;
        const int lastKey = Settings::integer(SettingsKeys::paletteIndexKey(last));
        capturedLines([&] {
            // Every other palette moves up by one.
            QVERIFY(Manager::renamePalette(first, palette(QStringLiteral("Renamed"), 0.4)));
            QElapsedTimer clock;
            clock.start();
            while (Settings::integer(SettingsKeys::paletteIndexKey(second)) != 0 &&
                   clock.elapsed() < 10000)
                QCoreApplication::processEvents();
        });
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(second)), 0);
        QVERIFY(Manager::backgroundLoadsPending());
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(last)), lastKey);
        // The rename's follow-up (its own key) waits for the others.
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("Renamed"))));

        capturedLines([] { Manager::movePalette(0, 5); });
        QVERIFY(!Manager::backgroundLoadsPending());
        QTest::qWait(50);
        const QStringList order = names(*m_collection);
        QCOMPARE(order.last(), QStringLiteral("Renamed"));
        // A name shown twice keeps the later place.
        QMap<QString, int> place;
        for (int i = 0; i < order.size(); ++i)
            place[order.at(i)] = i;
        QStringList expected;
        for (auto it = place.cbegin(); it != place.cend(); ++it)
            expected << it.key() + QLatin1Char('=') + QString::number(it.value());
        expected.sort();
        QCOMPARE(positionKeys(), expected);
        Manager::setKeySliceSteps(0);
    }

    // A delete and a rename show in the collection before their load runs; the load that
    // follows then finds nothing more to change.
    void deleteAndRenameShowAtOnce() {
        makeFolder();
        // The first load writes "Moved.json" for the palette found in "Elsewhere.json".
        capturedLines([] {
            Manager::loadAllPalettes();
            Manager::loadAllPalettes();
        });
        Manager::setBackgroundLoads(true);
        int changes = 0;
        connect(m_collection, &PalettesOO::palettesChanged, this, [&changes] { ++changes; });
        const QStringList lines = capturedLines([this] {
            Manager::deletePalette(QStringLiteral("P07"));
            QCOMPARE(m_collection->indexOf(QStringLiteral("P07")), -1);
            QVERIFY(!QFile::exists(m_folder + QStringLiteral("/P07.json")));
            Manager::renamePalette(QStringLiteral("P08"), palette(QStringLiteral("Eight"), 0.1));
            QCOMPARE(m_collection->palettes().last().palName, QStringLiteral("Eight"));
            QCOMPARE(m_collection->indexOf(QStringLiteral("P08")), -1);
            QVERIFY(Manager::backgroundLoadsPending());
            QVERIFY(waitForLoads());
        });
        QCOMPARE(changes, 2);
        QCOMPARE(lines.filter(QStringLiteral("Successfully loaded all")).size(), 2);
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(QStringLiteral("Eight"))),
                 m_collection->count() - 1);
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("P07"))));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("P08"))));
    }

    // A palette added after the scan listed the folder, before its result came back: the scan
    // is made again rather than publish a list without it.
    void writeDuringTheScanIsKept() {
        makeFolder();
        // The first load writes "Moved.json" for the palette found in "Elsewhere.json".
        capturedLines([] {
            Manager::loadAllPalettes();
            Manager::loadAllPalettes();
        });
        const int before = m_collection->count();
        Manager::setBackgroundLoads(true);
        capturedLines([this, before] {
            Manager::loadAllPalettes();
            // The scan is done on its worker; its result waits for the event loop.
            QThread::msleep(300);
            QVERIFY(Manager::addPalette(palette(QStringLiteral("Added"), 0.2)));
            QVERIFY(waitForLoads());
        });
        QCOMPARE(m_collection->count(), before + 1);
        QCOMPARE(m_collection->indexOf(QStringLiteral("Added")), before);
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(QStringLiteral("Added"))), before);
    }

    // The start-up load that uses a scan begun before it ends as one that scans for itself;
    // a palette written between the two is not lost to the older listing.
    void scanStartedBeforeTheFirstLoad() {
        const QString firstKey = SettingsKeys::paletteIndexKey(QStringLiteral("P20"));
        makeFolder();
        Settings::setInteger(firstKey, 0);
        const QStringList plainLines = capturedLines([] { Manager::loadAllPalettes(); });
        const QStringList plainNames = names(*m_collection);
        const QStringList plainKeys = positionKeys();
        const QStringList plainFiles = folderFiles(m_folder);
        QVERIFY(plainLines.join(QLatin1Char('\n')).contains(QStringLiteral("Broken.json")));
        QCOMPARE(plainNames.first(), QStringLiteral("P20"));

        makeFolder();
        Settings::setInteger(firstKey, 0);
        m_collection->setPalettes({});
        Manager::startFirstScan();
        QCOMPARE(capturedLines([] { Manager::loadAllPalettes(); }), plainLines);
        QCOMPARE(names(*m_collection), plainNames);
        QCOMPARE(positionKeys(), plainKeys);
        QCOMPARE(folderFiles(m_folder), plainFiles);

        makeFolder();
        m_collection->setPalettes({});
        Manager::startFirstScan();
        QThread::msleep(200); // the early scan is done: its listing lacks what follows
        QVERIFY(Manager::savePalette(palette(QStringLiteral("Late"), 0.4)));
        capturedLines([] { Manager::loadAllPalettes(); });
        QVERIFY(names(*m_collection).contains(QStringLiteral("Late")));
        QCOMPARE(m_collection->count(), plainNames.size() + 1);

        // Used once: a later load reads the folder again.
        QVERIFY(QFile::remove(m_folder + QStringLiteral("/Late.json")));
        capturedLines([] { Manager::loadAllPalettes(); });
        QVERIFY(!names(*m_collection).contains(QStringLiteral("Late")));
    }

    // At quit, or when loads stop running in the background, what was asked is done there and
    // then, follow-ups included.
    void pendingLoadsFinishAtQuit() {
        makeFolder();
        // The first load writes "Moved.json" for the palette found in "Elsewhere.json".
        capturedLines([] {
            Manager::loadAllPalettes();
            Manager::loadAllPalettes();
        });
        Manager::setBackgroundLoads(true);
        const QStringList lines = capturedLines([] {
            Manager::deletePalette(QStringLiteral("P12"));
            Manager::loadAllPalettes();
            Manager::finishWrites();
        });
        QVERIFY(!Manager::backgroundLoadsPending());
        QCOMPARE(lines.filter(QStringLiteral("Successfully loaded all")).size(), 2);
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("P12"))));
        // The scan's result, posted before, finds nothing left to do.
        QTest::qWait(50);
        QVERIFY(!Manager::backgroundLoadsPending());
    }

    // Hand-edited files are written back together; one that another program rewrote after the
    // scan read it, before the load's result came back, keeps that program's bytes.
    void aFileChangedBeforeTheWriteBackStays() {
        QDir(m_folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder));
        for (const QString &key : Settings::keys())
            Settings::remove(key);
        const auto pathOf = [this](const QString &name) {
            return m_folder + QLatin1Char('/') + name + QStringLiteral(".json");
        };
        for (int i = 0; i < 8; ++i) {
            const Palette p = palette(QStringLiteral("H%1").arg(i), i / 8.0);
            writeRaw(pathOf(p.palName), ' ' + PaletteCodec::encode(p).value());
        }
        const QByteArray theirs =
            "  " + PaletteCodec::encode(palette(QStringLiteral("H3"), 0.99)).value();
        Manager::setBackgroundLoads(true);
        const QStringList lines = capturedLines([&] {
            Manager::loadAllPalettes();
            // The scan is done on its worker; its result waits for the event loop.
            QThread::msleep(300);
            writeRaw(pathOf(QStringLiteral("H3")), theirs);
            QVERIFY(waitForLoads());
        });
        QCOMPARE(lines,
                 QStringList({QStringLiteral("Failed to save file H3.json : it was changed "
                                             "by another program since Swatchbar read it"),
                              QStringLiteral("Successfully loaded all(8) color palettes!")}));
        for (int i = 0; i < 8; ++i) {
            const QString name = QStringLiteral("H%1").arg(i);
            QFile f(pathOf(name));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(),
                     i == 3 ? theirs : PaletteCodec::encode(palette(name, i / 8.0)).value());
        }
    }

    // Files a load writes back go to the writer thread: the palettes show at once, the lines
    // and keys follow when the files are written, and an edit made meanwhile lands last.
    void rewritesGoToTheWriterAndAnEditLandsLast() {
        QDir(m_folder).removeRecursively();
        QVERIFY(QDir().mkpath(m_folder));
        for (const QString &key : Settings::keys())
            Settings::remove(key);
        for (int i = 0; i < 60; ++i) {
            const Palette p = palette(QStringLiteral("R%1").arg(i), i / 60.0);
            writeRaw(m_folder + QLatin1Char('/') + p.palName + QStringLiteral(".json"),
                     ' ' + PaletteCodec::encode(p).value());
        }
        Manager::setBackgroundWrites(true);
        const PaletteColor added{QStringLiteral("added"), {0.5, 0.5, 0.5, {}}};
        const QStringList lines = capturedLines([&] {
            Manager::loadAllPalettes();
            QCOMPARE(m_collection->count(), 60);
            // Keys are set once the files are written, which the event loop or a flush reports.
            QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("R0"))));
            const int at = m_collection->indexOf(QStringLiteral("R7"));
            QCOMPARE(Manager::editColors(at, ColorEdit::add(added)), Manager::EditResult::Saved);
            Manager::finishWrites();
        });
        Manager::setBackgroundWrites(false);
        QCOMPARE(lines.filter(QStringLiteral("Successfully loaded all(60)")).size(), 1);
        QCOMPARE(lines.filter(QStringLiteral("Failed")).size(), 0);
        for (int i = 0; i < 60; ++i) {
            const QString name = QStringLiteral("R%1").arg(i);
            QFile f(m_folder + QLatin1Char('/') + name + QStringLiteral(".json"));
            QVERIFY(f.open(QIODevice::ReadOnly));
            const std::optional<Palette> onDisk = PaletteCodec::decode(f.readAll()).palette;
            QVERIFY(onDisk);
            QCOMPARE(onDisk->palColors.size(), i == 7 ? 2 : 1);
            QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(name)),
                     m_collection->indexOf(name));
        }
        // Written by this program: nothing for the watcher's refresh to do.
        const QStringList refresh =
            capturedLines([] { Manager::refreshPalettes({QStringLiteral("R7.json")}, false); });
        QVERIFY(refresh.isEmpty());
    }
};

SWATCHBAR_TEST_CORE_MAIN(BackgroundLoadTest)
#include "BackgroundLoadTest.moc"
