// Nothing the user made is lost: writes that fail part-way, files another program changed,
// deletes that would take the wrong file, and names that must not reach a file or a log line
// unchanged.
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "core/Log.h"
#include "core/SafeFile.h"
#include "model/PaletteCodec.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <cerrno>
#include <unistd.h>

namespace {

PaletteColor color(const QString &name, double red) {
    return PaletteColor{name, {red, 0.5, 0.25, 1.0}};
}

Palette threeColors(const QString &name) {
    return Palette{name, {color("Red", 1.0), color("Green", 0.5), color("Blue", 0.0)}};
}

QByteArray encoded(const Palette &palette) {
    return PaletteCodec::encode(palette).value();
}

// The write call fails with ENOSPC once this many bytes went out, as a full disk does.
qsizetype g_bytesLeft = 0;
ssize_t diskFillsUp(int fd, const void *data, size_t size) {
    if (g_bytesLeft <= 0) {
        errno = ENOSPC;
        return -1;
    }
    const size_t n = std::min(size, size_t(g_bytesLeft));
    g_bytesLeft -= qsizetype(n);
    return ::write(fd, data, n);
}

struct DiskFull {
    explicit DiskFull(qsizetype bytes) {
        g_bytesLeft = bytes;
        SafeFile::setWriteFunction(diskFillsUp);
    }
    ~DiskFull() { SafeFile::setWriteFunction(nullptr); }
};

} // namespace

class WriteSafetyTest : public QObject {
    Q_OBJECT

    PalettesOO *m_collection = nullptr;
    QString m_folder;

    QString path(const QString &name) const { return m_folder + '/' + name + ".json"; }
    void put(const QString &name, const QByteArray &bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }
    QByteArray read(const QString &name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    // Files in the palettes folder, hidden ones too: a failed write leaves no temporary file.
    QStringList entries() const {
        QStringList list = QDir(m_folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
        list.sort();
        return list;
    }
    QStringList loadAll() const {
        return capturedLines([] { Manager::loadAllPalettes(); });
    }
    int indexOf(const QString &name) const {
        for (int i = 0; i < m_collection->count(); ++i) {
            if (m_collection->palettes().at(i).palName == name)
                return i;
        }
        return -1;
    }
    QString runHelper(const QStringList &args, const QProcessEnvironment &env = {}) {
        QProcess child;
        if (!env.isEmpty())
            child.setProcessEnvironment(env);
        child.start(QStringLiteral(WRITE_LIMIT_HELPER), args);
        if (!child.waitForFinished(20000)) {
            child.kill();
            child.waitForFinished(5000);
            return QStringLiteral("<timeout>");
        }
        if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
            return QStringLiteral("<exit %1>").arg(child.exitCode());
        return QString::fromUtf8(child.readAllStandardOutput());
    }

private slots:
    void init() {
        const QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
        QDir(base + "/Swatchbar").removeRecursively();
        QFile::remove(Settings::fileName());
        m_folder = Manager::supportSubfolder("Palettes", true).value_or(QString());
        QVERIFY(!m_folder.isEmpty());
        delete m_collection;
        m_collection = new PalettesOO(this);
        PalettesOO::setShared(m_collection);
    }

    void failedWritesLeaveEveryFileWhole() {
        put("Calm", encoded(threeColors("Calm")));
        // Hand-edited: the load would rewrite it compactly.
        const QByteArray pretty = "{\n  \"palName\": \"Pretty\",\n  \"palColors\": []\n}\n";
        put("Pretty", pretty);
        QStringList lines;
        {
            DiskFull full(10);
            lines = loadAll();
        }
        QCOMPARE(read("Pretty"), pretty);
        QVERIFY(lines.contains("Failed to save file Pretty.json : No space left on device"));
        QCOMPARE(lines.last(), QString("Successfully loaded all(2) color palettes!"));
        // Saved or not, the palette shows; only the one whose file is fine gets a key.
        QCOMPARE(m_collection->count(), 2);
        QVERIFY(Settings::contains(SettingsKeys::paletteIndexKey("Calm")));
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey("Pretty")));

        // An edit that cannot be written keeps the collection's change and the old file.
        const QByteArray calm = read("Calm");
        Manager::EditResult result = Manager::EditResult::Saved;
        {
            DiskFull full(40);
            lines = capturedLines([&] {
                result = Manager::editColors(indexOf("Calm"), ColorEdit::add(color("New", 0.1)));
            });
        }
        QCOMPARE(result, Manager::EditResult::WriteFailed);
        QCOMPARE(lines, QStringList{"Failed to save file Calm.json : No space left on device"});
        QCOMPARE(read("Calm"), calm);
        QCOMPARE(m_collection->palettes().at(indexOf("Calm")).palColors.size(), 4);

        // A new palette that cannot be written gets no key and leaves no file behind.
        {
            DiskFull full(0);
            lines = capturedLines([] { Manager::addPalette(threeColors("Fresh")); });
        }
        QCOMPARE(lines, QStringList{"Failed to save file Fresh.json : No space left on device"});
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey("Fresh")));
        QCOMPARE(entries(), (QStringList{"Calm.json", "Pretty.json"}));

        // Once there is room again, the next save writes the whole palette.
        QCOMPARE(Manager::editColors(indexOf("Calm"), ColorEdit::add(color("More", 0.2))),
                 Manager::EditResult::Saved);
        QCOMPARE(PaletteCodec::decode(read("Calm")).palette->palColors.size(), 5);
    }

    // The same, with the kernel refusing the writes: a file-size limit in a child process.
    void fileSizeLimitInAChildProcess() {
        const QByteArray pretty = "{ \"palName\" : \"Big\", \"palColors\" : [ ] }";
        put("Big", pretty);
        put("Calm", encoded(threeColors("Calm")));
        QString out = runHelper({"16", "load"});
        QVERIFY2(out.contains("Failed to save file Big.json : File too large"), qPrintable(out));
        QCOMPARE(read("Big"), pretty);

        const QByteArray calm = read("Calm");
        out = runHelper({"16", "edit"});
        QVERIFY2(out.contains("Failed to save file Calm.json : File too large"), qPrintable(out));
        QCOMPARE(read("Calm"), calm);
        QCOMPARE(entries(), (QStringList{"Big.json", "Calm.json"}));

        // The settings file is replaced whole or not at all.
        out = runHelper({"200", "settings"});
        QVERIFY2(out.contains("Failed to save file Swatchbar.conf : "), qPrintable(out));
        QSettings reread(Settings::fileName(), QSettings::IniFormat);
        QVERIFY(!reread.contains("palettes.indicies.p0"));
        QVERIFY(reread.contains("palettes.indicies.Calm"));
        QCOMPARE(reread.value("menu.grid.colCount").toInt(), 4);
        QCOMPARE(reread.value("view.grid.cell.radius").toDouble(), 25.0);
        QCOMPARE(QDir(QFileInfo(Settings::fileName()).path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"Swatchbar.conf"});
    }

    // A real full disk: a small tmpfs. Mounting needs root (CI runs as root).
    void fullTmpfs() {
        if (::geteuid() != 0)
            QSKIP("mounting a tmpfs needs root");
        QTemporaryDir mountPoint;
        const QString root = mountPoint.path();
        if (QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=64k", "tmpfs", root}) != 0)
            QSKIP("this machine does not allow mounting a tmpfs");
        const auto unmount = qScopeGuard([&root] { QProcess::execute("umount", {root}); });
        // Test mode places the folders under HOME.
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", root);
        QString folder = m_folder;
        folder.replace(QDir::homePath(), root);
        QString settingsFile = Settings::fileName();
        settingsFile.replace(QDir::homePath(), root);
        QVERIFY(QDir().mkpath(folder));
        Palette big{"Big", {}};
        for (int i = 0; i < 50; ++i)
            big.palColors.append(color(QString("Colour %1").arg(i), i / 50.0));
        // Pretty-printed, so the start-up load rewrites it.
        const QByteArray pretty = encoded(big).replace(",", ",\n  ");
        QFile file(folder + "/Big.json");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(pretty);
        file.close();
        QCOMPARE(runHelper({"1099511627776", "defaults"}, env), QString());
        QFile settings(settingsFile);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        const QByteArray settingsBytes = settings.readAll();
        settings.close();
        // Fill what is left.
        QProcess::execute("fallocate", {"-l", "1M", root + "/filler"});
        QProcess::execute("sh", {"-c", "head -c 1048576 /dev/zero > '" + root + "/filler2'"});

        QString out = runHelper({"1099511627776", "load"}, env);
        QVERIFY2(out.contains("Failed to save file Big.json : No space left on device"),
                 qPrintable(out));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), pretty);
        file.close();
        out = runHelper({"1099511627776", "edit"}, env);
        QVERIFY2(out.contains("No space left on device"), qPrintable(out));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), pretty);
        file.close();
        out = runHelper({"1099511627776", "settings"}, env);
        QVERIFY(settings.open(QIODevice::ReadOnly));
        QCOMPARE(settings.readAll(), settingsBytes);
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"Big.json"});
    }

    // Another program (an editor, git, a sync client) changes a file while its palette is
    // shown: an edit is made on what that program wrote, or not at all.
    void editsRespectAnotherProgramsChanges() {
        put("Calm", encoded(threeColors("Calm")));
        loadAll();
        const int calm = indexOf("Calm");

        // It adds a colour; the user then changes Green: both survive.
        Palette outside = threeColors("Calm");
        outside.palColors.append(color("Outside", 0.9));
        put("Calm", encoded(outside));
        QStringList lines = capturedLines([&] {
            QCOMPARE(Manager::editColors(
                         calm, ColorEdit::change(1, color("Green", 0.5), color("Lime", 0.6))),
                     Manager::EditResult::Saved);
        });
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).startsWith("Reread file Calm.json : "));
        Palette expected = outside;
        expected.palColors[1] = color("Lime", 0.6);
        QCOMPARE(read("Calm"), encoded(expected));
        QCOMPARE(m_collection->palettes().at(calm), expected);

        // It deletes Red: the colours moved, the edit still finds Blue by what it was.
        Palette fewer = expected;
        fewer.palColors.removeAt(0);
        put("Calm", encoded(fewer));
        QCOMPARE(Manager::editColors(calm, ColorEdit::remove(2, color("Blue", 0.0))),
                 Manager::EditResult::Saved);
        fewer.palColors.removeAt(1);
        QCOMPARE(read("Calm"), encoded(fewer));

        // It changes the very colour the user is editing: nothing is written.
        Palette theirs = fewer;
        theirs.palColors[0] = color("Lime", 0.7);
        const QByteArray theirBytes = encoded(theirs);
        put("Calm", theirBytes);
        lines = capturedLines([&] {
            QCOMPARE(Manager::editColors(
                         calm, ColorEdit::change(0, color("Lime", 0.6), color("Mine", 0.0))),
                     Manager::EditResult::Refused);
        });
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(1).startsWith("Not saving palette \"Calm\" : the color \"Lime\""));
        QCOMPARE(read("Calm"), theirBytes);
        QCOMPARE(m_collection->palettes().at(calm), theirs);

        // It is half-way through writing: nothing is read into the window, nothing written.
        const QByteArray half = theirBytes.left(theirBytes.size() / 2);
        put("Calm", half);
        lines = capturedLines([&] {
            QCOMPARE(Manager::editColors(calm, ColorEdit::add(color("Late", 0.3))),
                     Manager::EditResult::Refused);
        });
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines.at(0).contains("cannot be used now"));
        QCOMPARE(read("Calm"), half);
        QCOMPARE(m_collection->palettes().at(calm), theirs);

        // Now whole again, an added colour goes after what is there.
        put("Calm", theirBytes);
        QCOMPARE(Manager::editColors(calm, ColorEdit::add(color("Late", 0.3))),
                 Manager::EditResult::Saved);
        theirs.palColors.append(color("Late", 0.3));
        QCOMPARE(read("Calm"), encoded(theirs));
    }

    // Two equal colours and a colour that moved: an edit applies only where it is
    // unambiguous.
    void editsFindTheirColour() {
        const PaletteColor a = color("A", 0.1);
        const PaletteColor b = color("B", 0.2);
        Palette p{"P", {a, b, a}};
        QVERIFY(ColorEdit::change(2, a, b).applyTo(p)); // still where it was
        QCOMPARE(p.palColors, (QList<PaletteColor>{a, b, b}));
        p = Palette{"P", {b, a, a}};
        QVERIFY(!ColorEdit::change(0, a, b).applyTo(p)); // moved, and there are two
        QCOMPARE(p.palColors, (QList<PaletteColor>{b, a, a}));
        p = Palette{"P", {b, a}};
        QVERIFY(ColorEdit::remove(0, a).applyTo(p)); // moved, and only one
        QCOMPARE(p.palColors, QList<PaletteColor>{b});
        QVERIFY(!ColorEdit::remove(0, a).applyTo(p)); // gone
        QVERIFY(ColorEdit::add(a).applyTo(p));
        QCOMPARE(p.palColors, (QList<PaletteColor>{b, a}));
    }

    // Plain saves (a new palette, a rename) never replace what another program wrote.
    void savesNeverReplaceUnseenFiles() {
        put("Theirs", encoded(threeColors("Theirs")));
        bool saved = true;
        QStringList lines = capturedLines([&] {
            saved = Manager::savePalette(Palette{"Theirs", {}});
        });
        QVERIFY(!saved);
        QCOMPARE(lines, QStringList{"Failed to save file Theirs.json : it was changed by another "
                                    "program since Swatchbar read it"});
        QCOMPARE(read("Theirs"), encoded(threeColors("Theirs")));
        // Once read, it is ours to save; a rewrite in the same clock tick is still seen.
        loadAll();
        QVERIFY(Manager::savePalette(Palette{"Theirs", {}}));
        Palette same{"Theirs", {color("X", 0.5)}};
        Palette other{"Theirs", {color("Y", 0.5)}};
        QVERIFY(Manager::savePalette(same));
        put("Theirs", encoded(other)); // same size, same tick
        QVERIFY(!Manager::savePalette(Palette{"Theirs", {}}));
        QCOMPARE(read("Theirs"), encoded(other));
    }

    void deleteRemovesOnlyItsOwnFile() {
        // A.json holds the palette "B"; B.json holds another palette.
        put("A", encoded(threeColors("B")));
        put("B", encoded(threeColors("C")));
        loadAll();
        QStringList lines = capturedLines([] { Manager::deletePalette("B"); });
        QVERIFY(lines.first().startsWith("Not deleting file B.json : it holds the palette \"C\""));
        QCOMPARE(read("B"), encoded(threeColors("C")));
        QCOMPARE(read("A"), encoded(threeColors("B")));

        // A file another program changed since it was read stays, and shows its new content.
        put("Own", encoded(threeColors("Own")));
        loadAll();
        Palette changed = threeColors("Own");
        changed.palColors.append(color("Theirs", 0.4));
        put("Own", encoded(changed));
        lines = capturedLines([] { Manager::deletePalette("Own"); });
        QVERIFY(lines.first().startsWith("Not deleting file Own.json : it was changed"));
        QCOMPARE(read("Own"), encoded(changed));
        QCOMPARE(m_collection->palettes().at(indexOf("Own")), changed);

        // Its own file, as read: removed.
        lines = capturedLines([] { Manager::deletePalette("Own"); });
        QCOMPARE(read("Own"), QByteArray("<missing>"));
        QCOMPARE(indexOf("Own"), -1);
    }

    // A deleted palette goes to the desktop trash, and comes back from it byte for byte.
    void deletedFilesGoToTheTrash() {
        put("Gone", encoded(threeColors("Gone")));
        loadAll();
        const QByteArray bytes = read("Gone");
        QStringList lines = capturedLines([] { Manager::deletePalette("Gone"); });
        QCOMPARE(read("Gone"), QByteArray("<missing>"));
        const QString inTrash = Manager::lastTrashedFile();
        QVERIFY(inTrash.contains("/Trash/files/"));
        QFile trashed(inTrash);
        QVERIFY(trashed.open(QIODevice::ReadOnly));
        QCOMPARE(trashed.readAll(), bytes);
        trashed.close();
        QString info = inTrash;
        info.replace("/Trash/files/", "/Trash/info/");
        QVERIFY(QFile::exists(info + ".trashinfo"));

        QVERIFY(Manager::restorePalette("Gone", bytes, inTrash));
        QCOMPARE(read("Gone"), bytes);
        QVERIFY(!QFile::exists(inTrash));
        QVERIFY(!QFile::exists(info + ".trashinfo"));
        // Never over a file that is there.
        lines = capturedLines([&] { QVERIFY(!Manager::restorePalette("Gone", "x", QString())); });
        QCOMPARE(lines, QStringList{"Not restoring file Gone.json : a file with this name exists"});

        // No usable trash (another file system without one): removed as before, and the line
        // says so.
        QFile::remove(path("Gone"));
        put("Gone", bytes);
        loadAll();
        Manager::setTrashFunction([](const QString &, QString *) { return false; });
        lines = capturedLines([] { Manager::deletePalette("Gone"); });
        Manager::setTrashFunction(nullptr);
        QCOMPARE(lines.first(), QString("Removed file Gone.json : no trash can be used for it"));
        QCOMPARE(read("Gone"), QByteArray("<missing>"));
        QVERIFY(Manager::lastTrashedFile().isEmpty());
        // Put back from the bytes kept in memory.
        QVERIFY(Manager::restorePalette("Gone", bytes, QString()));
        QCOMPARE(read("Gone"), bytes);
    }

    void logLinesShowNamesSafely_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain") << QString("Brand 2024") << QString("Brand 2024");
        QTest::newRow("newline") << QString("a\nb") << QString("a\\x0ab");
        QTest::newRow("next line") << QString("a") + QChar(0x85) + "b" << QString("a\\x85b");
        QTest::newRow("separators")
            << QString(QChar(0x2028)) + QChar(0x2029) << QString("\\u2028\\u2029");
        QTest::newRow("bidi") << QString("abc") + QChar(0x202E) + "fed" + QChar(0x2066)
                              << QString("abc\\u202efed\\u2066");
        QTest::newRow("unicode stays") << QString("Ünï \"q\" \\ é") << QString("Ünï \"q\" \\ é");
    }
    void logLinesShowNamesSafely() {
        QFETCH(QString, name);
        QFETCH(QString, shown);
        QCOMPARE(printable(name), shown);
    }

    void longNamesAreRefusedAndCutInLines() {
        const QString huge(100000, QLatin1Char('n'));
        QVERIFY(!Manager::isValidPaletteName(huge));
        const QString line = printable(huge);
        QCOMPARE(line.size(), 301);
        QVERIFY(line.endsWith(QChar(0x2026)));
        // A palette whose content carries such a name is shown but never saved or keyed.
        put("long", encoded(Palette{huge, {}}));
        const QStringList lines = loadAll();
        QCOMPARE(m_collection->count(), 1);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines.at(0).size() < 500);
        QVERIFY(!Settings::contains(SettingsKeys::paletteIndexKey(huge)));
        QCOMPARE(entries(), QStringList{"long.json"});
    }
};

SWATCHBAR_TEST_CORE_MAIN(WriteSafetyTest)
#include "WriteSafetyTest.moc"
