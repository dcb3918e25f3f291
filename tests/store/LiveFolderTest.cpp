// The palettes folder stays live: what other programs do to it shows within a second, once
// per burst, never half-written, and the program's own writes cause no reload.
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "model/PaletteCodec.h"
#include "store/FolderWatcher.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/time.h>

namespace {
Palette palette(const QString &name, int colours = 2) {
    Palette p{name, {}};
    for (int i = 0; i < colours; ++i)
        p.palColors.append({QStringLiteral("c%1").arg(i), {0.1 * i, 0.5, 0.25, 1.0}});
    return p;
}

QByteArray encoded(const Palette &p) {
    return PaletteCodec::encode(p).value();
}
} // namespace

class LiveFolderTest : public QObject {
    Q_OBJECT

    PalettesOO *m_collection = nullptr;
    FolderWatcher *m_watcher = nullptr;
    QString m_folder;
    QStringList m_lines;       // what the refreshes printed
    QList<QStringList> m_seen; // the names in the collection after every change

    QString path(const QString &name) const { return m_folder + '/' + name; }
    void put(const QString &name, const QByteArray &bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QStringList names() const {
        QStringList out;
        for (const Palette &p : m_collection->palettes())
            out.append(p.palName);
        return out;
    }
    int refreshes() const {
        return int(m_lines.filter(QStringLiteral("Successfully loaded all")).size());
    }
    // Runs the event loop for a while (the watcher waits for a quiet moment).
    void settle(int ms = 1500) { QTest::qWait(ms); }

private slots:
    void init() {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QDir(base + "/Swatchbar").removeRecursively();
        m_folder = Manager::supportSubfolder("Palettes", true).value_or(QString());
        QVERIFY(!m_folder.isEmpty());
        delete m_collection;
        m_collection = new PalettesOO(this);
        PalettesOO::setShared(m_collection);
        m_seen.clear();
        connect(m_collection, &PalettesOO::palettesChanged, this,
                [this] { m_seen.append(names()); });
        put("Calm.json", encoded(palette("Calm")));
        put("Warm.json", encoded(palette("Warm")));
        capturedLines([] { Manager::loadAllPalettes(); });
        delete m_watcher;
        m_watcher = new FolderWatcher(m_folder, this);
        QVERIFY(m_watcher->isWatching());
        m_lines.clear();
        connect(m_watcher, &FolderWatcher::filesChanged, this,
                [this](const QSet<QString> &files, bool everything) {
                    m_lines += capturedLines([&] { Manager::refreshPalettes(files, everything); });
                });
        m_seen.clear();
    }

    void outsideChangesShowWithinASecond() {
        // Created.
        put("New.json", encoded(palette("New")));
        QTRY_VERIFY_WITH_TIMEOUT(names().contains("New"), 1000);
        // Changed in place: only that palette is replaced, the others stay the same objects.
        m_seen.clear();
        put("Calm.json", encoded(palette("Calm", 5)));
        QTRY_COMPARE_WITH_TIMEOUT(
            m_collection->palettes().at(names().indexOf("Calm")).palColors.size(), 5, 1000);
        QCOMPARE(m_seen.size(), 1);
        // Renamed by another program: the palette (named by its content) stays, read from its
        // new file; the load writes it back under its own name, as any load does.
        QVERIFY(QFile::rename(path("New.json"), path("Renamed.json")));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path("New.json")), 1500);
        QCOMPARE(names().count("New"), 1);
        // Removed.
        QVERIFY(QFile::remove(path("Warm.json")));
        QTRY_VERIFY_WITH_TIMEOUT(!names().contains("Warm"), 1000);
        // Only palette files count.
        const int before = refreshes();
        put("notes.txt", "x");
        put("Calm.json~", "x");
        put(".syncthing.Calm.json.tmp", "x");
        settle(600);
        QCOMPARE(refreshes(), before);
    }

    // A file changed in place is read alone and its palette replaced where it stands; a file
    // that now holds another palette, or is not in written form, takes the whole load.
    void inPlaceChangesKeepTheOrder() {
        const QStringList order = names();
        const int warm = int(order.indexOf("Warm"));
        put("Warm.json", encoded(palette("Warm", 7)));
        QTRY_COMPARE_WITH_TIMEOUT(m_collection->palettes().at(warm).palColors.size(), 7, 1500);
        QCOMPARE(names(), order);
        QCOMPARE(m_lines, QStringList{"Successfully loaded all(2) color palettes!"});

        put("Warm.json", " " + encoded(palette("Warm", 2)));
        QTRY_COMPARE_WITH_TIMEOUT(m_collection->palettes().at(warm).palColors.size(), 2, 1500);
        // The whole load rewrites it in written form.
        QTRY_COMPARE_WITH_TIMEOUT(QFile(path("Warm.json")).size(),
                                  qint64(encoded(palette("Warm", 2)).size()), 1500);

        put("Warm.json", encoded(palette("Other")));
        QTRY_VERIFY_WITH_TIMEOUT(names().contains("Other"), 1500);
        QVERIFY(!names().contains("Warm"));
    }

    void ownWritesDoNotReload() {
        Palette calm = palette("Calm", 3);
        QVERIFY(Manager::savePalette(calm));
        Manager::addPalette(palette("Added"));
        QCOMPARE(Manager::editColors(0, ColorEdit::add({"x", {0, 0, 0, 1.0}})),
                 Manager::EditResult::Saved);
        m_seen.clear();
        settle();
        QCOMPARE(refreshes(), 0);
        QCOMPARE(m_seen.size(), 0);
    }

    // A sync client replaces a file by deleting it and moving a temporary file in: the
    // palette never leaves the collection, and it is read once, whole.
    void replacedFilesNeverVanish() {
        const QByteArray next = encoded(palette("Calm", 4));
        put(".syncthing.Calm.json.tmp", next.left(10));
        QTest::qWait(20);
        put(".syncthing.Calm.json.tmp", next);
        QVERIFY(QFile::remove(path("Calm.json")));
        QVERIFY(QFile::rename(path(".syncthing.Calm.json.tmp"), path("Calm.json")));
        QTRY_COMPARE_WITH_TIMEOUT(
            m_collection->palettes().at(names().indexOf("Calm")).palColors.size(), 4, 1500);
        for (const QStringList &seen : std::as_const(m_seen))
            QVERIFY(seen.contains("Calm"));
        // A file written in two steps is read once, whole.
        const QByteArray whole = encoded(palette("Slow", 30));
        put("Slow.json", whole.left(whole.size() / 2));
        QTest::qWait(40);
        put("Slow.json", whole);
        QTRY_VERIFY_WITH_TIMEOUT(names().contains("Slow"), 1500);
        QVERIFY(m_lines.filter("Failed to decode").isEmpty());
    }

    void burstsCoalesce() {
        for (int i = 0; i < 300; ++i)
            put(QString("B%1.json").arg(i), encoded(palette(QString("B%1").arg(i))));
        QTRY_COMPARE_WITH_TIMEOUT(m_collection->count(), 302, 3000);
        settle(400);
        QVERIFY2(refreshes() <= 2, qPrintable(QString::number(refreshes())));
    }

    // A rewrite of the same size whose modification time is set back still counts: the
    // status-change time moves whatever a program does.
    void sameSizeSameTimeRewriteIsSeen() {
        struct stat before {};
        QCOMPARE(::stat(QFile::encodeName(path("Calm.json")).constData(), &before), 0);
        Palette other = palette("Calm");
        other.palColors[0].colName = "zz";
        QCOMPARE(encoded(other).size(), qsizetype(before.st_size));
        put("Calm.json", encoded(other));
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path("Calm.json")).constData(), times, 0),
                 0);
        QTRY_COMPARE_WITH_TIMEOUT(
            m_collection->palettes().at(names().indexOf("Calm")).palColors.at(0).colName,
            QString("zz"), 1500);
    }

    // The program's own write of a large palette, reported while its time stamp is still
    // within the clock tick, is told apart by its content (hashed a piece at a time as it is
    // read, against the hash of the bytes written): nothing is read into the collection again.
    void ownLargeWriteWithinTheTickChangesNothing() {
        QVERIFY(Manager::savePalette(palette("Calm", 6000)));
        settle(0);
        const qsizetype seen = m_seen.size();
        const QStringList lines =
            capturedLines([] { Manager::refreshPalettes({QStringLiteral("Calm.json")}, false); });
        QCOMPARE(lines, QStringList());
        QCOMPARE(m_seen.size(), seen);
        settle(500); // the watcher's report of the same write
        QCOMPARE(refreshes(), 0);
        QCOMPARE(m_seen.size(), seen);
        // Saved by itself, not through the collection: had the file been taken for another
        // program's, the collection would now hold its 6,000 colours.
        QCOMPARE(m_collection->palettes().at(names().indexOf("Calm")).palColors.size(), 2);
    }

    // A sync client's conflict copy shows as a palette of its own, named after its file,
    // and never replaces the palette it conflicts with.
    void conflictCopiesStandApart() {
        const QByteArray calm = encoded(palette("Calm"));
        const QString copy = "Calm.sync-conflict-20261208-140312-ABCDEF7";
        put(copy + ".json", encoded(palette("Calm", 5)));
        QTRY_VERIFY_WITH_TIMEOUT(names().contains(copy), 1500);
        QCOMPARE(names().count("Calm"), 1);
        QFile original(path("Calm.json"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), calm);
        settle(300);
        QCOMPARE(PaletteCodec::decode([&] {
                     QFile f(path(copy + ".json"));
                     return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
                 }())
                     .palette->palName,
                 copy);
        // It can be deleted like any palette; the original stays.
        capturedLines([&] { Manager::deletePalette(copy); });
        QVERIFY(!QFile::exists(path(copy + ".json")));
        QVERIFY(QFile::exists(path("Calm.json")));
        // Names that only look alike are ordinary palettes.
        put("Calm.sync-conflict-soon.json", encoded(palette("Other")));
        QTRY_VERIFY_WITH_TIMEOUT(names().contains("Other"), 1500);
    }

    void replacedFolderIsWatchedAgain() {
        const QString moved = m_folder + ".old";
        QVERIFY(QDir().rename(m_folder, moved));
        QVERIFY(QDir().mkdir(m_folder));
        put("Fresh.json", encoded(palette("Fresh")));
        QTRY_VERIFY_WITH_TIMEOUT(names().contains("Fresh"), 2000);
        QCOMPARE(names(), QStringList{"Fresh"});
        // And the new folder is live too.
        put("Later.json", encoded(palette("Later")));
        QTRY_VERIFY_WITH_TIMEOUT(names().contains("Later"), 1500);
        QDir(moved).removeRecursively();
    }
};

SWATCHBAR_TEST_CORE_MAIN(LiveFolderTest)
#include "LiveFolderTest.moc"
