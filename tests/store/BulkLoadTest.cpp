// Loading a large folder: files are read on more than one thread and rewritten together, with
// the same outcome, lines and crash guarantee as one file at a time.
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "core/SafeFile.h"
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

Palette palette(const QString &name, int colors, int seed) {
    Palette p{name, {}};
    for (int c = 0; c < colors; ++c)
        p.palColors.append({QStringLiteral("c%1").arg(c),
                            {(c * 7 % 256) / 255.0, (seed % 256) / 255.0, 0.5, 1.0 / (c + 2)}});
    return p;
}

QByteArray encoded(const Palette &p) {
    return PaletteCodec::encode(p).value();
}

QMap<QString, QByteArray> snapshot(const QString &root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::Files | QDir::Hidden | QDir::System);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        out.insert(it.fileName(), f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("?"));
    }
    return out;
}

QMap<QString, int> positionKeys() {
    QMap<QString, int> out;
    for (const QString &key : Settings::keys()) {
        if (key.startsWith(QLatin1String("palettes.indicies.")))
            out.insert(key, Settings::integer(key));
    }
    return out;
}

void clearSettings() {
    for (const QString &key : Settings::keys())
        Settings::remove(key);
}

struct Outcome {
    QStringList lines;
    QList<Palette> palettes;
    QMap<QString, QByteArray> files;
    QMap<QString, int> keys;
};

} // namespace

class BulkLoadTest : public QObject {
    Q_OBJECT

    PalettesOO *m_collection = nullptr;
    QString m_folder;

    QString file(const QString &name) const { return m_folder + QLatin1Char('/') + name; }
    void put(const QString &name, const QByteArray &bytes) const {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }

    void freshFolder() {
        QDir(m_folder).removeRecursively();
        m_folder = Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        QVERIFY(!m_folder.isEmpty());
        clearSettings();
    }

    // A few hundred files of every kind a load treats differently.
    void fillMixedFolder() {
        for (int i = 0; i < 320; ++i) {
            const QString name = QStringLiteral("Pal %1").arg(i);
            const QByteArray compact = encoded(palette(name, 3 + i % 40, i));
            switch (i % 10) {
            case 0: // decodes, but not in written form
                put(name + ".json", "  " + compact);
                break;
            case 1: // cannot be decoded
                put(name + ".json", compact.left(compact.size() / 2));
                break;
            case 2: // a sync client's conflict copy of the palette before it
                put(QStringLiteral("Pal %1.sync-conflict-20260101-120000-ABCDEFG.json").arg(i - 1),
                    encoded(palette(QStringLiteral("Pal %1").arg(i - 1), 5, i)));
                break;
            case 3: // holds a palette named other than its file
                put(QStringLiteral("file %1.json").arg(i),
                    "\n" + encoded(palette(QStringLiteral("moved %1").arg(i), 4, i)));
                break;
            case 4: // holds the palette of another file
                put(QStringLiteral("dup %1.json").arg(i),
                    encoded(palette(QStringLiteral("Pal %1").arg(i - 4), 2, i)));
                break;
            case 5: // a name no file can have
                put(name + ".json", encoded(palette(QStringLiteral("a/b %1").arg(i), 2, i)));
                break;
            default:
                put(name + ".json", compact);
            }
        }
        put("notes.txt", "not a palette");
        QVERIFY(QDir(m_folder).mkdir("folder.json"));
        // Stored positions for some, one of them out of range and one shared.
        Settings::setInteger("palettes.indicies.Pal 7", 2);
        Settings::setInteger("palettes.indicies.Pal 18", 0);
        Settings::setInteger("palettes.indicies.Pal 29", 2);
        Settings::setInteger("palettes.indicies.Pal 300", 100000);
    }

    Outcome loadWithThreads(int threads) {
        Manager::setLoadThreads(threads);
        Outcome out;
        out.lines = capturedLines([] { Manager::loadAllPalettes(); });
        Manager::setLoadThreads(0);
        out.palettes = m_collection->palettes();
        out.files = snapshot(m_folder);
        out.keys = positionKeys();
        return out;
    }

private slots:
    void init() {
        m_folder = Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        freshFolder();
        m_collection = new PalettesOO(this);
        PalettesOO::setShared(m_collection);
    }
    void cleanup() {
        SafeFile::setWriteFunction(nullptr);
        Manager::setLoadThreads(0);
        PalettesOO::setShared(nullptr);
        delete m_collection;
        m_collection = nullptr;
    }

    void twoThreadsLoadAsOneDoes() {
        fillMixedFolder();
        const QMap<QString, QByteArray> before = snapshot(m_folder);
        const Outcome one = loadWithThreads(1);
        QVERIFY(one.palettes.size() > 200);
        QVERIFY(one.lines.size() > 60);
        QCOMPARE(
            one.lines.last(),
            QStringLiteral("Successfully loaded all(%1) color palettes!").arg(one.palettes.size()));
        QVERIFY(one.files != before); // something was rewritten

        freshFolder();
        fillMixedFolder();
        QCOMPARE(snapshot(m_folder), before);
        const Outcome two = loadWithThreads(2);
        QCOMPARE(two.lines, one.lines);
        QCOMPARE(two.palettes, one.palettes);
        QCOMPARE(two.files, one.files);
        QCOMPARE(two.keys, one.keys);

        // Loaded again (now with the palettes written under their own names), nothing more
        // is written, and a third load, from the cache, gives the same as the second.
        const Outcome again = loadWithThreads(2);
        QVERIFY(again.palettes.size() > one.palettes.size());
        QCOMPARE(again.files, one.files);
        const Outcome third = loadWithThreads(2);
        QCOMPARE(third.lines, again.lines);
        QCOMPARE(third.palettes, again.palettes);
        QCOMPARE(third.files, one.files);
        QCOMPARE(third.keys, again.keys);
    }

    // The load rewrites its files together; a file that cannot be written says so on its own
    // line, keeps its bytes and gets no position key, and the others are written.
    void failedRewritesAreEachReported() {
        for (int i = 0; i < 60; ++i) {
            const QString name = QStringLiteral("Pal %1").arg(i);
            put(name + ".json", " " + encoded(palette(name, 10, i)));
        }
        SafeFile::setWriteFunction([](int fd, const void *data, size_t size) -> ssize_t {
            const QByteArrayView bytes(static_cast<const char *>(data), qsizetype(size));
            if (bytes.contains("\"palName\":\"Pal 1") && bytes.size() > 20) {
                errno = ENOSPC;
                return -1;
            }
            return ::write(fd, data, size);
        });
        const QMap<QString, QByteArray> before = snapshot(m_folder);
        const QStringList lines = capturedLines([] { Manager::loadAllPalettes(); });
        SafeFile::setWriteFunction(nullptr);
        // "Pal 1" and "Pal 10" to "Pal 19" fail, in the collection's order.
        QStringList failed;
        for (const Palette &p : m_collection->palettes()) {
            if (p.palName == "Pal 1" || (p.palName.startsWith("Pal 1") && p.palName.size() == 6))
                failed.append(
                    QStringLiteral("Failed to save file %1.json : No space left on device")
                        .arg(p.palName));
        }
        QCOMPARE(failed.size(), 11);
        failed.append(QStringLiteral("Successfully loaded all(60) color palettes!"));
        QCOMPARE(lines, failed);
        const QMap<QString, QByteArray> after = snapshot(m_folder);
        QCOMPARE(after.size(), 60); // no temporary file left behind
        const QMap<QString, int> keys = positionKeys();
        for (int i = 0; i < 60; ++i) {
            const QString name = QStringLiteral("Pal %1").arg(i);
            const bool fails = i == 1 || (i >= 10 && i < 20);
            const QByteArray compact = encoded(palette(name, 10, i));
            QCOMPARE(after.value(name + ".json"), fails ? before.value(name + ".json") : compact);
            QCOMPARE(keys.contains("palettes.indicies." + name), !fails);
        }
    }

    // Another program rewrites a hand-edited file after the load looked at it, while the
    // batch is still being made durable: its version stays, and the load says so.
    void aFileChangedWhileTheBatchIsWrittenStays() {
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("Pal %1").arg(i);
            put(name + ".json", " " + encoded(palette(name, 10, i)));
        }
        static QByteArray target;
        target = QFile::encodeName(file("Pal 3.json"));
        static const QByteArray theirs = "  " + encoded(palette("Pal 3", 2, 99));
        SafeFile::setWriteFunction([](int fd, const void *data, size_t size) -> ssize_t {
            if (!target.isEmpty()) {
                // In place, as an editor that keeps the file's inode would.
                const int other = ::open(target.constData(), O_WRONLY | O_TRUNC);
                if (other >= 0) {
                    [[maybe_unused]] const ssize_t n = ::write(other, theirs.data(), theirs.size());
                    ::close(other);
                }
                target.clear();
            }
            return ::write(fd, data, size);
        });
        const QStringList lines = capturedLines([] { Manager::loadAllPalettes(); });
        SafeFile::setWriteFunction(nullptr);
        QCOMPARE(lines, QStringList({"Failed to save file Pal 3.json : it was changed by another "
                                     "program since Swatchbar read it",
                                     "Successfully loaded all(20) color palettes!"}));
        const QMap<QString, QByteArray> after = snapshot(m_folder);
        QCOMPARE(after.size(), 20); // no temporary file left behind
        for (int i = 0; i < 20; ++i) {
            const QString name = QStringLiteral("Pal %1").arg(i);
            QCOMPARE(after.value(name + ".json"), i == 3 ? theirs : encoded(palette(name, 10, i)));
        }
    }

    // A reload skips files whose stamp is unchanged, yet still sees a rewrite of the same size
    // made at once after it read the file, with the modification time put back.
    void reloadSeesSameSizeRewriteRightAfterTheRead() {
        for (int i = 0; i < 40; ++i) {
            const QString name = QStringLiteral("Pal %1").arg(i);
            put(name + ".json", encoded(palette(name, 5, i)));
        }
        capturedLines([] { Manager::loadAllPalettes(); });
        const QString path = file("Pal 7.json");
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &before), 0);
        Palette changed = palette("Pal 7", 5, 7);
        changed.palColors[0].colName = "zz";
        QCOMPARE(encoded(changed).size(), qsizetype(before.st_size));
        put("Pal 7.json", encoded(changed));
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        capturedLines([] { Manager::refreshPalettes({QStringLiteral("Pal 7.json")}, false); });
        const QList<Palette> now = m_collection->palettes();
        const auto found = std::find_if(now.cbegin(), now.cend(),
                                        [](const Palette &p) { return p.palName == "Pal 7"; });
        QVERIFY(found != now.cend());
        QCOMPARE(found->palColors.at(0).colName, QStringLiteral("zz"));
        // A full reload of the unchanged rest keeps everything else as it was.
        capturedLines([] { Manager::refreshPalettes({}, true); });
        QCOMPARE(m_collection->palettes(), now);
    }

    // Killed at any moment of a load that rewrites many files, every file holds its old or
    // its new bytes.
    void killedWhileRewritingLeavesWholeFiles() {
        constexpr int count = 120;
        QList<QByteArray> loose;
        QList<QByteArray> compact;
        for (int i = 0; i < count; ++i) {
            const Palette p = palette(QStringLiteral("P%1").arg(i), 150, i);
            compact.append(encoded(p));
            loose.append("\n" + compact.last() + "\n");
        }
        const auto putLoose = [&] {
            for (int i = 0; i < count; ++i)
                put(QStringLiteral("P%1.json").arg(i), loose.at(i));
        };
        // How long a whole load takes here: the kills fall within it.
        qint64 loadMs = 0;
        {
            putLoose();
            QProcess child;
            child.setProgram(QStringLiteral(SAVE_LOOP_HELPER));
            child.setArguments({QStringLiteral("load")});
            child.setReadChannel(QProcess::StandardError);
            child.start();
            QVERIFY(child.waitForReadyRead(10000));
            QElapsedTimer timer;
            timer.start();
            while (!child.readAll().contains("loaded") && timer.elapsed() < 20000)
                child.waitForReadyRead(100);
            loadMs = timer.elapsed();
            child.kill();
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(snapshot(m_folder).value("P0.json"), compact.at(0));
        }
        QRandomGenerator random(20261209);
        int partly = 0;
        int some = 0;
        // A load slowed by other work on the machine (a test beside this one syncing its
        // files) outlasts the first one: kills that all come before any rename move later,
        // and ones that all come after the last move earlier.
        double scale = 1.0;
        for (int round = 0; round < 12; ++round) {
            putLoose();
            QProcess child;
            child.setProgram(QStringLiteral(SAVE_LOOP_HELPER));
            child.setArguments({QStringLiteral("load")});
            child.setReadChannel(QProcess::StandardError);
            child.start();
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForReadyRead(10000)); // the load has begun
            // Rewrites come at the load's end: most kills fall in its second half (or just
            // after it), where they can catch files part-way.
            QThread::usleep(
                random.bounded(int(loadMs * 500 * scale), int(loadMs * 1300 * scale) + 1000));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
            int rewritten = 0;
            const QMap<QString, QByteArray> files = snapshot(m_folder);
            for (int i = 0; i < count; ++i) {
                const QByteArray bytes = files.value(QStringLiteral("P%1.json").arg(i));
                QVERIFY2(bytes == loose.at(i) || bytes == compact.at(i),
                         qPrintable(QString::number(i)));
                rewritten += bytes == compact.at(i);
            }
            if (rewritten > 0 && rewritten < count)
                ++partly;
            if (rewritten == 0)
                scale *= 1.3;
            else if (rewritten == count)
                scale = qMax(0.5, scale / 1.15);
            some += rewritten > 0 ? 1 : 0;
            // Temporary files a kill leaves are hidden and never taken for palettes.
            for (const QString &name : files.keys())
                QVERIFY(name.startsWith(QLatin1Char('.')) || name.startsWith(QLatin1Char('P')));
        }
        qInfo("load %lld ms; rounds with files rewritten: %d, part-way: %d; last scale %.2f",
              loadMs, some, partly, scale);
        QVERIFY(some > 0);
        const QStringList lines = capturedLines([] { Manager::loadAllPalettes(); });
        QCOMPARE(lines.last(),
                 QStringLiteral("Successfully loaded all(%1) color palettes!").arg(count));
    }
};

SWATCHBAR_TEST_CORE_MAIN(BulkLoadTest)
#include "BulkLoadTest.moc"
