#include "store/Manager.h"
#include "SaveLoopPalette.h"
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/PalettesOO.h"
#include "store/UndoStack.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

namespace {

Palette palette(const QString &name, int colors = 1) {
    Palette p;
    p.palName = name;
    for (int i = 0; i < colors; ++i)
        p.palColors.append({QStringLiteral("c%1").arg(i), {0.25 * i, 0.5, 1.0, 0.75}});
    return p;
}

QByteArray encoded(const Palette &p) {
    return PaletteCodec::encode(p).value();
}

QStringList names(const PalettesOO &collection) {
    QStringList out;
    for (const Palette &p : collection.palettes())
        out.append(p.palName);
    return out;
}

// Everything under a folder: relative path -> bytes (directories map to "<dir>").
QMap<QString, QByteArray> snapshot(const QString &root) {
    QMap<QString, QByteArray> out;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString rel = QDir(root).relativeFilePath(path);
        if (it.fileInfo().isDir()) {
            out.insert(rel, "<dir>");
        } else {
            QFile f(path);
            out.insert(rel, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>"));
        }
    }
    return out;
}

struct FileId {
    ino_t inode = 0;
    qint64 mtime = 0;
    bool operator==(const FileId &) const = default;
};

FileId fileId(const QString &path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {info.st_ino, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec};
}

void ageFile(const QString &path) {
    const timeval times[2] = {{1000000000, 0}, {1000000000, 0}};
    ::utimes(QFile::encodeName(path).constData(), times);
}

} // namespace

class ManagerTest : public QObject {
    Q_OBJECT

    PalettesOO *m_collection = nullptr;
    QString m_folder;

    QString file(const QString &name) const { return m_folder + QLatin1Char('/') + name; }

    void put(const QString &name, const QByteArray &bytes) const {
        QFile f(file(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    QByteArray read(const QString &name) const {
        QFile f(file(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString supportDir() const {
        return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
               QStringLiteral("/Swatchbar");
    }
    QStringList loadAll() const {
        return capturedLines([] { Manager::loadAllPalettes(); });
    }

    static QByteArray readAt(const QString &path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private slots:
    void init() {
        QDir(supportDir()).removeRecursively();
        QFile::remove(supportDir());
        m_folder = Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        QVERIFY(!m_folder.isEmpty());
        QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Swatchbar"),
                  QStringLiteral("Swatchbar"))
            .clear();
        m_collection = new PalettesOO(this);
        PalettesOO::setShared(m_collection);
        Manager::setFileViewer({});
    }
    void cleanup() {
        PalettesOO::setShared(nullptr);
        delete m_collection;
        m_collection = nullptr;
        QFile::setPermissions(supportDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void folderIsPalettesInsideSupportDirectory() {
        QCOMPARE(m_folder, supportDir() + QStringLiteral("/Palettes"));
        QVERIFY(QFileInfo(m_folder).isDir());
        QDir(m_folder).removeRecursively();
        QCOMPARE(Manager::supportSubfolder(QStringLiteral("Palettes"), false), std::nullopt);
        QVERIFY(!QFileInfo::exists(m_folder));
        QCOMPARE(Manager::supportSubfolder(QStringLiteral("Palettes"), true), m_folder);
        QVERIFY(QFileInfo(m_folder).isDir());
    }

    void loadsOnlyExactJsonSuffix() {
        put(QStringLiteral("a.json"), encoded(palette(QStringLiteral("a"))));
        put(QStringLiteral("notes.txt"), "hello");
        put(QStringLiteral("B.JSON"), encoded(palette(QStringLiteral("B"))));
        put(QStringLiteral("c.json.bak"), encoded(palette(QStringLiteral("c"))));
        const QStringList lines = loadAll();
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(1) color palettes!")});
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("a")});
        QCOMPARE(read(QStringLiteral("notes.txt")), QByteArray("hello"));
    }

    void everyJsonOccurrenceIsStripped() {
        put(QStringLiteral("x.json.json"), encoded(palette(QStringLiteral("inner"))));
        QStringList lines = loadAll();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0),
                 QStringLiteral("Failed to load file x.json : No such file or directory"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("Failed to decode file x.json : ")));
        QCOMPARE(lines.at(2), QStringLiteral("Successfully loaded all(0) color palettes!"));
        QCOMPARE(m_collection->count(), 0);
        QCOMPARE(read(QStringLiteral("x.json.json")), encoded(palette(QStringLiteral("inner"))));

        // With x.json present, both entries read that one file.
        put(QStringLiteral("x.json"), encoded(palette(QStringLiteral("x"))));
        lines = loadAll();
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(2) color palettes!")});
        QCOMPARE(names(*m_collection), (QStringList{QStringLiteral("x"), QStringLiteral("x")}));
    }

    void hiddenJsonFileIsThePaletteWithEmptyName() {
        Manager::savePalette(palette(QString()));
        QVERIFY(QFileInfo::exists(file(QStringLiteral(".json"))));
        QCOMPARE(loadAll().last(), QStringLiteral("Successfully loaded all(1) color palettes!"));
        QCOMPARE(names(*m_collection), QStringList{QString()});
        QCOMPARE(Settings::integer(QStringLiteral("palettes.indicies.")), 0);
    }

    void emptyFolder() {
        QSignalSpy changed(m_collection, &PalettesOO::palettesChanged);
        m_collection->append(palette(QStringLiteral("stale")));
        QCOMPARE(loadAll(),
                 QStringList{QStringLiteral("Successfully loaded all(0) color palettes!")});
        QCOMPARE(m_collection->count(), 0);
        QVERIFY(changed.count() >= 2);
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                           QStringLiteral("Swatchbar"), QStringLiteral("Swatchbar"));
        QVERIFY(settings.allKeys().isEmpty());
    }

    void positionKeysFollowListingOrder() {
        for (const char *name : {"one", "two", "three", "four"})
            put(QString::fromLatin1(name) + QStringLiteral(".json"),
                encoded(palette(QString::fromLatin1(name), 2)));
        loadAll();
        const QStringList order = names(*m_collection);
        QCOMPARE(order.size(), 4);
        for (int i = 0; i < order.size(); ++i)
            QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(order.at(i))), i);
        // Listing order, not sorted: the order of the raw directory listing.
        QStringList listed;
        for (const QString &entry :
             QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Unsorted))
            listed.append(entry.chopped(5));
        QCOMPARE(order, listed);
    }

    QList<int> storedPositions() const {
        QList<int> out;
        for (const Palette &p : m_collection->palettes())
            out.append(Settings::contains(SettingsKeys::paletteIndexKey(p.palName))
                           ? Settings::integer(SettingsKeys::paletteIndexKey(p.palName))
                           : -1);
        return out;
    }

    // Stored positions order a load, palettes without one follow in listing order; a delete
    // and a move keep everyone else where they were. A "\\" in a name stands otherwise in
    // its key, and a name that begins another's finds its own.
    void orderComesFromStoredPositions() {
        for (const char *name : {"one", "tw\\o", "three", "thre", "f\u00fcnf"})
            put(QString::fromUtf8(name) + QStringLiteral(".json"),
                encoded(palette(QString::fromUtf8(name))));
        loadAll();
        const QStringList listed = names(*m_collection);
        const auto key = [](const QString &name) {
            return SettingsKeys::paletteIndexKey(name);
        };
        Settings::setInteger(key(listed.at(0)), 7);
        Settings::setInteger(key(listed.at(1)), 0);
        Settings::setInteger(key(listed.at(2)), 3);
        Settings::remove(key(listed.at(3)));
        Settings::remove(key(listed.at(4)));
        QVERIFY(key(QStringLiteral("tw\\o")).endsWith(QStringLiteral("tw%5Co")));
        loadAll();
        const QStringList ordered{listed.at(1), listed.at(2), listed.at(0), listed.at(3),
                                  listed.at(4)};
        QCOMPARE(names(*m_collection), ordered);
        QCOMPARE(storedPositions(), (QList<int>{0, 1, 2, 3, 4}));

        capturedLines([&] { Manager::deletePalette(ordered.at(1)); });
        QCOMPARE(names(*m_collection),
                 (QStringList{ordered.at(0), ordered.at(2), ordered.at(3), ordered.at(4)}));
        QCOMPARE(storedPositions(), (QList<int>{0, 1, 2, 3}));

        Manager::movePalette(3, 0);
        const QStringList moved{ordered.at(4), ordered.at(0), ordered.at(2), ordered.at(3)};
        QCOMPARE(names(*m_collection), moved);
        QCOMPARE(storedPositions(), (QList<int>{0, 1, 2, 3}));
        loadAll();
        QCOMPARE(names(*m_collection), moved);
        // Out of range: nothing moves.
        Manager::movePalette(0, 4);
        Manager::movePalette(-1, 0);
        QCOMPARE(names(*m_collection), moved);
    }

    // Renaming among nine: a delete then an add, the new file written first and counted once.
    void renameEndStateIsDeleteThenAdd() {
        for (int i = 0; i < 9; ++i)
            put(QStringLiteral("p%1.json").arg(i),
                encoded(palette(QStringLiteral("p%1").arg(i), i + 1)));
        loadAll();
        QStringList order = names(*m_collection);
        const QString old = order.at(3);
        const Palette renamed{QStringLiteral("Renamed"), m_collection->palettes().at(3).palColors};
        QSignalSpy followed(m_collection, &PalettesOO::paletteRenamed);
        QStringList lines;
        bool ok = false;
        lines = capturedLines([&] { ok = Manager::renamePalette(old, renamed); });
        QVERIFY(ok);
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(8) color palettes!")});
        order.removeAt(3);
        order.append(renamed.palName);
        QCOMPARE(names(*m_collection), order);
        QCOMPARE(storedPositions(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(old)));
        QVERIFY(!QFile::exists(file(old + QStringLiteral(".json"))));
        QCOMPARE(read(QStringLiteral("Renamed.json")), encoded(renamed));
        QCOMPARE(followed.count(), 1);
        QCOMPARE(followed.at(0).at(0).toString(), old);

        // Its own name: the same steps, the file survives, the palette goes last.
        const Palette first = m_collection->palettes().at(0);
        lines = capturedLines([&] { ok = Manager::renamePalette(first.palName, first); });
        QVERIFY(ok);
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(8) color palettes!")});
        order.removeAt(0);
        order.append(first.palName);
        QCOMPARE(names(*m_collection), order);
        QCOMPARE(storedPositions(), (QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
        QCOMPARE(read(first.palName + QStringLiteral(".json")), encoded(first));
        // And the next load keeps that order.
        loadAll();
        QCOMPARE(names(*m_collection), order);
    }

    void contentNameDecidesTheFileWritten() {
        put(QStringLiteral("Old.json"), encoded(palette(QStringLiteral("New"), 3)));
        QCOMPARE(loadAll().last(), QStringLiteral("Successfully loaded all(1) color palettes!"));
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("New")});
        QCOMPARE(read(QStringLiteral("New.json")), encoded(palette(QStringLiteral("New"), 3)));
        QCOMPARE(read(QStringLiteral("Old.json")), encoded(palette(QStringLiteral("New"), 3)));

        // Next load: both files carry "New". New.json was read as itself, so Old.json's copy
        // must not be written over it.
        put(QStringLiteral("New.json"), encoded(palette(QStringLiteral("New"), 5)));
        const QStringList lines = loadAll();
        QCOMPARE(names(*m_collection), (QStringList{QStringLiteral("New"), QStringLiteral("New")}));
        QCOMPARE(read(QStringLiteral("New.json")), encoded(palette(QStringLiteral("New"), 5)));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).startsWith(
            QStringLiteral("Not saving palette \"New\" from Old.json over New.json")));
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(QStringLiteral("New"))), 1);
    }

    void duplicateContentNamesNeverOverwriteEachOther() {
        put(QStringLiteral("a.json"), encoded(palette(QStringLiteral("Same"), 1)));
        put(QStringLiteral("b.json"), encoded(palette(QStringLiteral("Same"), 2)));
        const QStringList lines = loadAll();
        QCOMPARE(names(*m_collection),
                 (QStringList{QStringLiteral("Same"), QStringLiteral("Same")}));
        // The first one listed creates Same.json; the second is kept off it.
        QCOMPARE(read(QStringLiteral("Same.json")), encoded(m_collection->palettes().at(0)));
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).contains(QStringLiteral("written earlier in this load")));
        QCOMPARE(read(QStringLiteral("a.json")), encoded(palette(QStringLiteral("Same"), 1)));
        QCOMPARE(read(QStringLiteral("b.json")), encoded(palette(QStringLiteral("Same"), 2)));
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(QStringLiteral("Same"))), 1);
    }

    void undecodableFileIsNotReplacedByAnotherPalette() {
        put(QStringLiteral("Bad.json"), "{\"palName\":\"Bad\",\"palColors\":[");
        put(QStringLiteral("Other.json"), encoded(palette(QStringLiteral("Bad"))));
        const QStringList lines = loadAll();
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("Bad")});
        QCOMPARE(read(QStringLiteral("Bad.json")),
                 QByteArray("{\"palName\":\"Bad\",\"palColors\":["));
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.contains(QStringLiteral(
            "Not saving palette \"Bad\" from Other.json over Bad.json : it is a file that could "
            "not be loaded")));
    }

    void prettyFileIsRewrittenCompactly() {
        put(QStringLiteral("p.json"), "{\n  \"palColors\": [ { \"colColor\": { \"blue\": 0, "
                                      "\"green\": 0.5, \"red\": 1, \"alpha\": null, \"x\": 1 },\n"
                                      "  \"colName\": \"Orange\", \"y\": [] } ],\n"
                                      "  \"palName\": \"p\", \"version\": 2\n}\n");
        loadAll();
        QCOMPARE(read(QStringLiteral("p.json")),
                 QByteArray("{\"palName\":\"p\",\"palColors\":[{\"colName\":\"Orange\","
                            "\"colColor\":{\"red\":1,\"green\":0.5,\"blue\":0}}]}"));
    }

    void loadWithNothingToRewriteWritesNoFile() {
        for (const char *name : {"a", "b", "c"}) {
            const QString fileName = QString::fromLatin1(name) + QStringLiteral(".json");
            put(fileName, encoded(palette(QString::fromLatin1(name), 4)));
            ageFile(file(fileName));
        }
        QMap<QString, FileId> before;
        for (const QString &name : QDir(m_folder).entryList(QDir::Files))
            before.insert(name, fileId(file(name)));
        loadAll();
        loadAll();
        QMap<QString, FileId> after;
        for (const QString &name : QDir(m_folder).entryList(QDir::Files | QDir::Hidden))
            after.insert(name, fileId(file(name)));
        QCOMPARE(after, before);

        // A file edited by hand after a load is still put back in its compact form.
        put(QStringLiteral("b.json"), ' ' + encoded(palette(QStringLiteral("b"), 4)) + '\n');
        loadAll();
        QCOMPARE(read(QStringLiteral("b.json")), encoded(palette(QStringLiteral("b"), 4)));
        QCOMPARE(fileId(file(QStringLiteral("a.json"))), before.value(QStringLiteral("a.json")));
    }

    void deletingAMissingFileStillReloads() {
        put(QStringLiteral("keep.json"), encoded(palette(QStringLiteral("keep"))));
        Settings::setInteger(SettingsKeys::paletteIndexKey(QStringLiteral("gone")), 3);
        const QStringList lines =
            capturedLines([] { Manager::deletePalette(QStringLiteral("gone")); });
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("Error: No such file or directory"),
                              QStringLiteral("Successfully loaded all(1) color palettes!")}));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("gone"))));
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("keep")});
    }

    void deleteRemovesFileAndKey() {
        put(QStringLiteral("only.json"), encoded(palette(QStringLiteral("only"))));
        loadAll();
        QVERIFY(Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("only"))));
        const QStringList lines =
            capturedLines([] { Manager::deletePalette(QStringLiteral("only")); });
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(0) color palettes!")});
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("only.json"))));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("only"))));
        QCOMPARE(m_collection->count(), 0);
    }

    void deleteByNameHeldInTheCollection() {
        // The name passed in lives in the list that the reload replaces.
        put(QStringLiteral("held.json"), encoded(palette(QStringLiteral("held"))));
        loadAll();
        capturedLines([this] { Manager::deletePalette(m_collection->palettes().at(0).palName); });
        QVERIFY(!QFileInfo::exists(file(QStringLiteral("held.json"))));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(QStringLiteral("held"))));
    }

    // A rename asked for by undo or redo, after another program (an import from the command
    // line, a sync client) brought back a file under the new name: that file is kept, and
    // nothing changes.
    void renameNeverReplacesAnotherPalettesFile() {
        put(QStringLiteral("A.json"), encoded(palette(QStringLiteral("A"), 2)));
        put(QStringLiteral("B.json"), encoded(palette(QStringLiteral("B"), 5)));
        loadAll();
        const QStringList before = names(*m_collection);
        const QMap<QString, QByteArray> files = snapshot(m_folder);
        const Palette renamed{QStringLiteral("B"), m_collection->palettes().at(0).palColors};
        bool ok = true;
        const QStringList lines = capturedLines([&] { ok = Manager::renamePalette("A", renamed); });
        QVERIFY(!ok);
        QCOMPARE(lines, QStringList{QStringLiteral(
                            "Not renaming palette \"A\" to \"B\" : the file B.json exists")});
        QCOMPARE(snapshot(m_folder), files);
        QCOMPARE(names(*m_collection), before);
    }

    // A palette's colour history goes with it: a palette that takes the name later (a new
    // one, one renamed to it) never gets an undo made for colours it does not have. A delete
    // that keeps the file keeps the history too.
    void colourHistoryEndsWithThePalette() {
        for (const char *name : {"Old", "Moved", "Kept"})
            put(QString::fromLatin1(name) + QStringLiteral(".json"),
                encoded(palette(QString::fromLatin1(name), 3)));
        loadAll();
        const auto done = [] {
            return true;
        };
        const UndoStack::Command step{QStringLiteral("Delete color"), done, done};
        const auto withHistory = [&step](const QString &name) {
            UndoStack *stack = UndoStack::forPalette(name);
            stack->clear();
            stack->push(step);
            return stack;
        };
        UndoStack *old = withHistory(QStringLiteral("Old"));
        UndoStack *moved = withHistory(QStringLiteral("Moved"));
        UndoStack *kept = withHistory(QStringLiteral("Kept"));
        const QStringList lines = capturedLines([&] {
            Manager::deletePalette(QStringLiteral("Old"));
            QVERIFY(Manager::renamePalette(QStringLiteral("Moved"),
                                           palette(QStringLiteral("Elsewhere"), 3)));
            // Changed by another program since it was read: the delete keeps it.
            put(QStringLiteral("Kept.json"), encoded(palette(QStringLiteral("Kept"), 4)));
            Manager::deletePalette(QStringLiteral("Kept"));
            Manager::addPalette(palette(QStringLiteral("Old"), 1));
        });
        QVERIFY(lines.contains(QStringLiteral("Not deleting file Kept.json : it was changed by "
                                              "another program since Swatchbar read it")));
        QStringList shown = names(*m_collection);
        shown.sort();
        QCOMPARE(shown, QStringList({"Elsewhere", "Kept", "Old"}));
        QVERIFY(!old->canUndo());
        QVERIFY(!moved->canUndo());
        QVERIFY(kept->canUndo());
        kept->clear();
    }

    void renameMovesPaletteToTheEnd() {
        for (const char *name : {"A", "B", "C"})
            put(QString::fromLatin1(name) + QStringLiteral(".json"),
                encoded(palette(QString::fromLatin1(name), 2)));
        loadAll();
        const QStringList before = names(*m_collection);
        Palette renamed = m_collection->palettes().at(0);
        const QString oldName = renamed.palName;
        renamed.palName = QStringLiteral("Z");
        const QStringList lines = capturedLines([&] {
            Manager::deletePalette(oldName);
            Manager::addPalette(renamed);
        });
        QCOMPARE(lines, QStringList{QStringLiteral("Successfully loaded all(2) color palettes!")});
        QStringList expected = before.mid(1);
        expected.append(QStringLiteral("Z"));
        QCOMPARE(names(*m_collection), expected);
        QVERIFY(!QFileInfo::exists(file(oldName + QStringLiteral(".json"))));
        QCOMPARE(read(QStringLiteral("Z.json")), encoded(renamed));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(oldName)));
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(QStringLiteral("Z"))), 2);
    }

    void addPaletteAppendsSetsKeyAndSaves() {
        m_collection->append(palette(QStringLiteral("first")));
        QSignalSpy changed(m_collection, &PalettesOO::palettesChanged);
        const QStringList lines =
            capturedLines([] { Manager::addPalette(palette(QStringLiteral("second"), 2)); });
        QVERIFY(lines.isEmpty());
        QCOMPARE(changed.count(), 1);
        QCOMPARE(names(*m_collection),
                 (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
        QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(QStringLiteral("second"))), 1);
        QCOMPARE(read(QStringLiteral("second.json")),
                 encoded(palette(QStringLiteral("second"), 2)));
    }

    void loadPaletteFailures() {
        QStringList lines;
        std::optional<Palette> result;
        lines = capturedLines([&] { result = Manager::loadPalette(QStringLiteral("missing")); });
        QVERIFY(!result);
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(0),
                 QStringLiteral("Failed to load file missing.json : No such file or directory"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("Failed to decode file missing.json : ")));

        put(QStringLiteral("broken.json"), "{\"palName\":\"broken\"}");
        lines = capturedLines([&] { result = Manager::loadPalette(QStringLiteral("broken")); });
        QVERIFY(!result);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Failed to decode file broken.json : ")));
        QVERIFY(lines.at(0).contains(QStringLiteral("palColors")));

        put(QStringLiteral("file.json"), encoded(palette(QStringLiteral("content"))));
        lines = capturedLines([&] { result = Manager::loadPalette(QStringLiteral("file")); });
        QVERIFY(lines.isEmpty());
        QCOMPARE(result, palette(QStringLiteral("content")));
    }

    void unreadableFileIsReportedAndSkipped() {
        QVERIFY(QDir(m_folder).mkdir(QStringLiteral("dir.json")));
        put(QStringLiteral("ok.json"), encoded(palette(QStringLiteral("ok"))));
        QStringList lines = loadAll();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QStringLiteral("Failed to load file dir.json : Is a directory"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("Failed to decode file dir.json : ")));
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("ok")});

        QVERIFY(::mkfifo(QFile::encodeName(file(QStringLiteral("fifo.json"))).constData(), 0600) ==
                0);
        lines = loadAll(); // must not block on the pipe
        QVERIFY(
            lines.contains(QStringLiteral("Failed to load file fifo.json : Not a regular file")));
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("ok")});
    }

    void unreadablePermissions() {
        if (::geteuid() == 0)
            QSKIP("permissions do not apply to root");
        put(QStringLiteral("locked.json"), encoded(palette(QStringLiteral("locked"))));
        QFile::setPermissions(file(QStringLiteral("locked.json")), {});
        const QStringList lines = loadAll();
        QCOMPARE(lines.at(0),
                 QStringLiteral("Failed to load file locked.json : Permission denied"));
        QCOMPARE(lines.size(), 3);
        QFile::setPermissions(file(QStringLiteral("locked.json")),
                              QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(read(QStringLiteral("locked.json")), encoded(palette(QStringLiteral("locked"))));
    }

    void linksLeadingOutOfTheFolderAreNeverFollowed() {
        QTemporaryDir outside;
        const QString target = outside.filePath(QStringLiteral("target.json"));
        const QByteArray pretty = "{ \"palName\": \"link\", \"palColors\": [] }";
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(pretty);
        }
        QVERIFY(QFile::link(target, file(QStringLiteral("link.json"))));
        const QStringList lines = loadAll();
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(0).startsWith(
            QStringLiteral("Failed to load file link.json : it is a symbolic link")));
        QCOMPARE(m_collection->count(), 0);
        QCOMPARE(readAt(target), pretty);

        // A dangling link: saving must not create its target.
        const QString missing = outside.filePath(QStringLiteral("created.json"));
        QVERIFY(QFile::link(missing, file(QStringLiteral("dangling.json"))));
        bool written = true;
        const QStringList saved = capturedLines(
            [&] { written = Manager::savePalette(palette(QStringLiteral("dangling"))); });
        QVERIFY(!written);
        QCOMPARE(saved.size(), 1);
        QVERIFY(saved.at(0).startsWith(QStringLiteral("Failed to save file dangling.json : ")));
        QVERIFY(!QFileInfo::exists(missing));

        // A link holds no palette of this program's: deleting leaves it and its target alone.
        const QStringList deleted =
            capturedLines([] { Manager::deletePalette(QStringLiteral("link")); });
        QVERIFY(deleted.first().startsWith(QStringLiteral("Not deleting file link.json : ")));
        QVERIFY(QFileInfo(file(QStringLiteral("link.json"))).isSymLink());
        QCOMPARE(readAt(target), pretty);
    }

    void oversizedFileIsNotRead() {
        {
            QFile big(file(QStringLiteral("big.json")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(qint64(64) * 1024 * 1024 + 1)); // sparse, costs no disk
        }
        const QStringList lines = loadAll();
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines.at(0), QStringLiteral("Failed to load file big.json : File is larger "
                                             "than 64 MiB"));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("Failed to decode file big.json : ")));
        QCOMPARE(QFileInfo(file(QStringLiteral("big.json"))).size(), qint64(64) * 1024 * 1024 + 1);
    }

    void unencodableSaveKeepsTheOldFile() {
        const Palette good = palette(QStringLiteral("n"), 3);
        QVERIFY(Manager::savePalette(good));
        for (double bad : {std::nan(""), HUGE_VAL, -HUGE_VAL}) {
            Palette broken = good;
            SerializableColor components = broken.palColors[1].colColor;
            components.green = bad;
            broken.palColors[1].colColor = components;
            bool written = true;
            const QStringList lines =
                capturedLines([&] { written = Manager::savePalette(broken); });
            QVERIFY(!written);
            QCOMPARE(lines.size(), 1);
            QVERIFY(lines.at(0).startsWith(QStringLiteral("Failed to encode palette \"n\"")));
            QCOMPARE(read(QStringLiteral("n.json")), encoded(good));
        }
    }

    void failedWriteIsReportedAndCollectionKeepsTheChange() {
        QVERIFY(QDir(m_folder).mkdir(QStringLiteral("blocked.json")));
        const QStringList lines =
            capturedLines([] { Manager::addPalette(palette(QStringLiteral("blocked"))); });
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Failed to save file blocked.json : ")));
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("blocked")});
        QVERIFY(QFileInfo(file(QStringLiteral("blocked.json"))).isDir());
    }

    void folderThatCannotBeListed() {
        QDir(m_folder).removeRecursively();
        QFile plain(m_folder);
        QVERIFY(plain.open(QIODevice::WriteOnly));
        plain.write("not a folder");
        plain.close();
        QCOMPARE(Manager::supportSubfolder(QStringLiteral("Palettes"), true), m_folder);
        const QStringList lines = loadAll();
        QCOMPARE(lines,
                 (QStringList{QStringLiteral("Failed to read directory: Not a directory"),
                              QStringLiteral("Successfully loaded all(0) color palettes!")}));
        bool written = true;
        const QStringList saveLines =
            capturedLines([&] { written = Manager::savePalette(palette(QStringLiteral("s"))); });
        QVERIFY(!written);
        QCOMPARE(saveLines.size(), 1);
        QVERIFY(saveLines.at(0).startsWith(QStringLiteral("Failed to save file s.json : ")));
        QFile check(m_folder);
        QVERIFY(check.open(QIODevice::ReadOnly));
        QCOMPARE(check.readAll(), QByteArray("not a folder"));
    }

    void folderThatCannotBeCreated() {
        QDir(supportDir()).removeRecursively();
        {
            QFile plain(supportDir());
            QVERIFY(plain.open(QIODevice::WriteOnly));
            plain.write("x");
        }
        std::optional<QString> location;
        QStringList lines = capturedLines(
            [&] { location = Manager::supportSubfolder(QStringLiteral("Palettes"), true); });
        QCOMPARE(location, std::nullopt);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Failed to create folder ")));

        lines = loadAll();
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines.at(1), QStringLiteral("Successfully loaded all(0) color palettes!"));
        // The same from a scan begun before the load: the failure is said once.
        lines = capturedLines([] {
            Manager::startFirstScan();
            Manager::loadAllPalettes();
        });
        QCOMPARE(lines.size(), 2);
        lines = capturedLines([] { Manager::savePalette(palette(QStringLiteral("s"))); });
        QCOMPARE(lines.size(), 1);
        lines = capturedLines([] { Manager::loadPalette(QStringLiteral("s")); });
        QCOMPARE(lines.size(), 1);
        lines = capturedLines([] { Manager::deletePalette(QStringLiteral("s")); });
        QCOMPARE(lines.size(), 1);
        QVERIFY(QFileInfo(supportDir()).isFile());
    }

    void unsafeNamesNeverReachTheFileSystem_data() {
        QTest::addColumn<QString>("name");
        QTest::newRow("slash") << QStringLiteral("../escape");
        QTest::newRow("dot") << QStringLiteral(".");
        QTest::newRow("dotdot") << QStringLiteral("..");
        QTest::newRow("nul") << QString(QChar(0));
        QTest::newRow("absolute") << QStringLiteral("/tmp/x");
        QTest::newRow("json inside") << QStringLiteral("my.json");
        QTest::newRow("json in the middle") << QStringLiteral("report.json-2024");
        // 251 bytes, so that with ".json" the file name is one byte too long.
        QTest::newRow("too long") << QString(251, QLatin1Char('e'));
        QTest::newRow("too long in UTF-8") << QString(126, QChar(0xE9));
    }
    void unsafeNamesNeverReachTheFileSystem() {
        QFETCH(QString, name);
        QVERIFY(!Manager::isValidPaletteName(name));
        QVERIFY(!Manager::invalidNameReason(name).isEmpty());
        put(QStringLiteral("keep.json"), encoded(palette(QStringLiteral("keep"))));
        // A file the escaping name would hit if it were used as a path.
        QFile outside(supportDir() + QStringLiteral("/escape.json"));
        QVERIFY(outside.open(QIODevice::WriteOnly));
        outside.write(encoded(palette(QStringLiteral("escape"))));
        outside.close();
        m_collection->append(palette(QStringLiteral("shown")));
        const QMap<QString, QByteArray> before = snapshot(QDir::homePath());

        Palette named = palette(name);
        QStringList lines = capturedLines([&] { QVERIFY(!Manager::loadPalette(name)); });
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Invalid palette name")));
        QVERIFY(!lines.at(0).contains(QLatin1Char('\n')));
        for (const auto &op : {std::function<void()>([&] { Manager::savePalette(named); }),
                               std::function<void()>([&] { Manager::addPalette(named); }),
                               std::function<void()>([&] { Manager::deletePalette(name); })}) {
            lines = capturedLines(op);
            QCOMPARE(lines.size(), 1);
            QVERIFY(lines.at(0).startsWith(QStringLiteral("Invalid palette name")));
        }
        QCOMPARE(snapshot(QDir::homePath()), before);
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("shown")});
    }

    void contentNameThatCannotBeAFileName() {
        put(QStringLiteral("sneaky.json"), encoded(palette(QStringLiteral("../sneaky"))));
        const QMap<QString, QByteArray> before = snapshot(QDir::homePath());
        const QStringList lines = loadAll();
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).startsWith(QStringLiteral("Not saving palette \"../sneaky\"")));
        QCOMPARE(names(*m_collection), QStringList{QStringLiteral("../sneaky")});
        const QMap<QString, QByteArray> after = snapshot(QDir::homePath());
        // Only the settings may have changed, and no position key was added for it.
        QCOMPARE(after.keys(), before.keys());
    }

    // Backslashes and control characters are legal in file names: such palettes load, and
    // their names are escaped in the lines.
    void oddButLegalNamesLoadAndAreEscapedInLines() {
        const QString odd = QStringLiteral("\u00dcn\u00ef \"q\" \\ \u00e9\tx\u202e");
        put(odd + QStringLiteral(".json"), encoded(palette(odd)));
        put(QStringLiteral("clash.json"), encoded(palette(QStringLiteral("in\nside"))));
        const QStringList lines = loadAll();
        QCOMPARE(m_collection->count(), 2);
        QCOMPARE(read(odd + QStringLiteral(".json")), encoded(palette(odd)));
        for (const QString &line : lines)
            QVERIFY2(!line.contains(QLatin1Char('\n')) && !line.contains(QChar(0x202E)),
                     qPrintable(line));
        QVERIFY(QFile::exists(file(QStringLiteral("in\nside.json"))));
    }

    void listingNameThatIsNotUtf8IsSkipped() {
        // A name that is not UTF-8 cannot be turned back into a path: skipped, untouched.
        const QByteArray latin1 = QFile::encodeName(m_folder) + "/caf\xe9.json";
        const int fd = ::open(latin1.constData(), O_WRONLY | O_CREAT, 0600);
        QVERIFY(fd >= 0);
        QVERIFY(::write(fd, "{", 1) == 1);
        ::close(fd);
        // It decodes to the name of this valid one, which still loads.
        const QString replaced = QStringLiteral("caf\uFFFD");
        put(replaced + QStringLiteral(".json"), encoded(palette(replaced)));
        const QStringList more = loadAll();
        QCOMPARE(more.size(), 2);
        QVERIFY(more.contains(QStringLiteral("Skipped file caf\uFFFD.json : its name is not valid "
                                             "UTF-8")));
        QCOMPARE(m_collection->count(), 1);
        QCOMPARE(m_collection->palettes().at(0).palName, replaced);
        struct stat info {};
        QCOMPARE(::stat(latin1.constData(), &info), 0);
        QCOMPARE(info.st_size, off_t(1));
        ::unlink(latin1.constData()); // QDir cannot remove it either
    }

    void withoutCollectionNothingIsTouched() {
        put(QStringLiteral("a.json"), "{\n\"palName\":\"a\",\"palColors\":[]}");
        PalettesOO::setShared(nullptr);
        const QMap<QString, QByteArray> before = snapshot(m_folder);
        Manager::loadAllPalettes();
        Manager::deletePalette(QStringLiteral("a"));
        Manager::addPalette(palette(QStringLiteral("b")));
        QCOMPARE(snapshot(m_folder), before);
    }

    void revealCallsTheInstalledViewer() {
        QStringList shown;
        Manager::revealInFileViewer(m_folder); // no viewer: nothing happens
        Manager::setFileViewer([&](const QString &location) { shown.append(location); });
        Manager::revealInFileViewer(std::nullopt);
        Manager::revealInFileViewer(m_folder);
        QCOMPARE(shown, QStringList{m_folder});
        Manager::setFileViewer({});
    }

    void mixedFolderOfHandMadeFiles() {
        const QString source =
            qEnvironmentVariable("SWATCHBAR_TEST_DATA") + QStringLiteral("/store/mixed");
        const QStringList entries = QDir(source).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        QVERIFY(entries.size() > 10);
        for (const QString &entry : entries)
            QVERIFY(QFile::copy(source + QLatin1Char('/') + entry, file(entry)));
        QVERIFY(QDir(m_folder).mkdir(QStringLiteral("unreadable.json")));
        const QMap<QString, QByteArray> before = snapshot(m_folder);

        const QStringList lines = loadAll();

        QStringList loaded = names(*m_collection);
        loaded.sort();
        QCOMPARE(loaded,
                 (QStringList{QStringLiteral("bigint"), QStringLiteral("bom"),
                              QStringLiteral("dup"), QStringLiteral("dup"),
                              QStringLiteral("good_compact"), QStringLiteral("good_pretty")}));
        QCOMPARE(lines.last(), QStringLiteral("Successfully loaded all(6) color palettes!"));
        const QStringList bad = {
            "truncated",    "wrong_types",  "name_not_string", "non_utf8", "deep_nesting",
            "huge_numbers", "missing_blue", "not_object",      "empty",    "x",
            "unreadable"};
        for (const QString &name : bad) {
            const QString prefix = QStringLiteral("Failed to decode file %1.json : ").arg(name);
            QVERIFY2(std::any_of(lines.begin(), lines.end(),
                                 [&](const QString &l) { return l.startsWith(prefix); }),
                     qPrintable(name));
        }
        // Every file that did not load, and the duplicates, are left exactly as they were.
        const QMap<QString, QByteArray> after = snapshot(m_folder);
        for (auto it = before.begin(); it != before.end(); ++it) {
            const QString name = it.key();
            if (name == QLatin1String("good_pretty.json") || name == QLatin1String("bom.json") ||
                name == QLatin1String("bigint.json"))
                continue;
            QVERIFY2(after.value(name) == it.value(), qPrintable(name));
        }
        QVERIFY(after.value(QStringLiteral("bom.json")).startsWith("{\"palName\":\"bom\""));
        QVERIFY(!after.value(QStringLiteral("good_pretty.json")).contains('\n'));
        QVERIFY(after.contains(QStringLiteral("dup.json")));
        QCOMPARE(after.size(), before.size() + 1);
        // Every file in the folder that loads is now in its compact form: a second load
        // rewrites nothing.
        const QMap<QString, QByteArray> settled = snapshot(m_folder);
        loadAll();
        QCOMPARE(snapshot(m_folder), settled);
    }

    void killedWhileSavingLeavesWholeFiles() {
        constexpr int count = 4;
        int round = 0;
        for (int i = 0; i < count; ++i)
            Manager::savePalette(saveLoopPalette(i, round));
        QRandomGenerator random(20261208);
        constexpr int kills = 30;
        int changed = 0;
        for (int k = 0; k < kills; ++k) {
            QProcess child;
            child.setProgram(QStringLiteral(SAVE_LOOP_HELPER));
            child.setArguments({QString::number(count), QString::number(round + 1)});
            child.setReadChannel(QProcess::StandardError);
            child.start();
            QVERIFY(child.waitForStarted());
            QVERIFY(child.waitForReadyRead(10000)); // the first round has been written
            QThread::usleep(random.bounded(200, 40000));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            QVERIFY(child.waitForFinished(10000));
            QCOMPARE(child.exitStatus(), QProcess::CrashExit);

            int newest = round;
            for (int i = 0; i < count; ++i) {
                const QString name = QStringLiteral("P%1.json").arg(i);
                const PaletteCodec::DecodeResult decoded = PaletteCodec::decode(read(name));
                QVERIFY2(decoded.palette, qPrintable(name + QStringLiteral(": ") + decoded.error));
                const int fileRound = saveLoopRound(*decoded.palette);
                QVERIFY(fileRound >= 0);
                QCOMPARE(*decoded.palette, saveLoopPalette(i, fileRound));
                newest = std::max(newest, fileRound);
            }
            if (newest > round)
                ++changed;
            round = newest;
            QStringList jsonFiles =
                QDir(m_folder).entryList({QStringLiteral("*.json")}, QDir::Files | QDir::Hidden);
            QCOMPARE(jsonFiles.size(), count);
        }
        QVERIFY(changed > 0);
        const QStringList lines = loadAll();
        QCOMPARE(lines.last(),
                 QStringLiteral("Successfully loaded all(%1) color palettes!").arg(count));
    }
};

SWATCHBAR_TEST_CORE_MAIN(ManagerTest)
#include "ManagerTest.moc"
