#include "StdoutCapture.h"
#include "TestSupport.h"
#include "settings/Settings.h"

#include "core/SafeFile.h"
#include "settings/IniCodec.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <atomic>
#include <cerrno>
#include <unistd.h>

namespace {

std::atomic<int> g_writes{0};
std::atomic<bool> g_diskFull{false};
std::atomic<bool> g_onUiThread{false};
// A write waits while held (at most a few seconds); g_waiting tells that it got there.
std::atomic<bool> g_hold{false};
std::atomic<bool> g_waiting{false};

// Counts the settings file's writes (one write call per file), notes whether one ran on the
// UI thread, plays a full disk and holds a write half-way.
ssize_t countingWrite(int fd, const void *data, size_t size) {
    if (g_diskFull) {
        errno = ENOSPC;
        return -1;
    }
    ++g_writes;
    if (QThread::currentThread() == QCoreApplication::instance()->thread())
        g_onUiThread = true;
    QElapsedTimer held;
    held.start();
    while (g_hold && held.elapsed() < 5000) {
        g_waiting = true;
        QThread::msleep(5);
    }
    g_waiting = false;
    return ::write(fd, data, size);
}

void writeAsAnotherProgram(const IniCodec::Map &values) {
    QFile file(Settings::fileName());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(IniCodec::write(values));
}

QByteArray fileBytes() {
    QFile file(Settings::fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVariant onDisk(const QString &key) {
    return IniCodec::read(fileBytes()).value(key);
}

QStringList folderEntries() {
    return QDir(QFileInfo(Settings::fileName()).path())
        .entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace

class SettingsFileTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SafeFile::setWriteFunction(countingWrite); }
    void cleanupTestCase() { SafeFile::setWriteFunction(nullptr); }
    void init() {
        g_diskFull = false;
        g_hold = false;
        Settings::sync();
        g_writes = 0;
    }

    // Dragging a window: every move is kept, none is written while the drag lasts, and the
    // last frame reaches the disk in one write about a second later.
    void burstOfChangesIsOneWrite() {
        QElapsedTimer elapsed;
        elapsed.start();
        for (int i = 0; i < 40; ++i) {
            Settings::setWindowFrame(QStringLiteral("Viewing: Burst"), QByteArray::number(i));
            Settings::setInteger(QStringLiteral("burst.count"), i);
            QCoreApplication::processEvents();
        }
        if (elapsed.elapsed() < 900)
            QCOMPARE(g_writes.load(), 0);
        QCOMPARE(Settings::windowFrame(QStringLiteral("Viewing: Burst")), QByteArray("39"));
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("windowFrames/Viewing%3A%20Burst")),
                                  QVariant(QByteArray("39")), 5000);
        QCOMPARE(onDisk(QStringLiteral("burst.count")), QVariant(QStringLiteral("39")));
        QTest::qWait(1500);
        QCOMPARE(g_writes.load(), 1);
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("Swatchbar.conf")});
    }

    // What quitting does: whatever is pending goes out at once; nothing pending, no write.
    void syncWritesWhatIsPendingAndNothingElse() {
        Settings::setInteger(QStringLiteral("pending"), 5);
        Settings::remove(QStringLiteral("burst.count"));
        Settings::sync();
        QCOMPARE(g_writes.load(), 1);
        QCOMPARE(onDisk(QStringLiteral("pending")), QVariant(QStringLiteral("5")));
        QVERIFY(!IniCodec::read(fileBytes()).contains(QStringLiteral("burst.count")));
        Settings::sync();
        Settings::setInteger(QStringLiteral("pending"), 5); // unchanged
        QTest::qWait(1300);
        QCOMPARE(g_writes.load(), 1);
    }

    // A refused write leaves the old file and prints one line; the changes stay in memory and
    // a later write, without anyone asking, puts them on disk.
    void failedWriteIsRetriedAndNothingIsLost() {
        Settings::setInteger(QStringLiteral("kept"), 1);
        Settings::sync();
        const QByteArray before = fileBytes();
        g_diskFull = true;
        Settings::setInteger(QStringLiteral("kept"), 2);
        Settings::setStringList(QStringLiteral("more"), {QStringLiteral("a"), QStringLiteral("b")});
        const QStringList lines = capturedLines([] {
            Settings::sync();
            Settings::sync();
            QTest::qWait(1500); // a retry from the timer fails as well
        });
        QCOMPARE(lines,
                 QStringList{"Failed to save file Swatchbar.conf : No space left on device"});
        QCOMPARE(fileBytes(), before);
        QCOMPARE(folderEntries(), QStringList{QStringLiteral("Swatchbar.conf")});
        QCOMPARE(Settings::integer(QStringLiteral("kept")), 2);

        g_diskFull = false;
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("kept")), QVariant(QStringLiteral("2")),
                                  10000);
        QCOMPARE(onDisk(QStringLiteral("more")), QVariant(QStringList{"a", "b"}));
    }

    // The same for a write refused on the worker: one line, then a retry.
    void failedBackgroundWriteIsRetried() {
        g_diskFull = true;
        const QStringList lines = capturedLines([] {
            Settings::setInteger(QStringLiteral("background"), 3);
            QTest::qWait(3500);
        });
        QCOMPARE(lines,
                 QStringList{"Failed to save file Swatchbar.conf : No space left on device"});
        QVERIFY(!IniCodec::read(fileBytes()).contains(QStringLiteral("background")));
        g_diskFull = false;
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("background")),
                                  QVariant(QStringLiteral("3")), 10000);
    }

    // Byte for byte what QSettings itself writes for the same values.
    void fileIsQSettingsIni() {
        Settings::setFloat(QStringLiteral("menu.grid.cell.size"), 33.3);
        Settings::setBoolean(QStringLiteral("hideDockIcon"), true);
        Settings::setStringList(QStringLiteral("formats.user"),
                                {QStringLiteral("rgb(§r, §g)"), QStringLiteral("#§hex")});
        Settings::setWindowFrame(QStringLiteral("Viewing: a/b"), QByteArray("\x01\xff,x", 4));
        Settings::setInteger(SettingsKeys::paletteIndexKey(QStringLiteral("Ünï \"q\"")), 4);
        Settings::sync();
        const QByteArray ours = fileBytes();
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copy.conf"));
        const QString theirs = dir.filePath(QStringLiteral("theirs.conf"));
        QVERIFY(QFile::copy(Settings::fileName(), copy));
        {
            const QSettings read(copy, QSettings::IniFormat);
            QSettings written(theirs, QSettings::IniFormat);
            for (const QString &key : read.allKeys())
                written.setValue(key, read.value(key));
        }
        QFile file(theirs);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(ours, file.readAll());
    }

    // Texts outside the Basic Multilingual Plane (emoji, musical symbols) in a value come back
    // from the file whole, to this program and to QSettings alike, after a restart.
    void valuesReadBackAfterRestart() {
        const QStringList templates{QStringLiteral("🎨 §hex"), QStringLiteral("𝄞, ü \"x\""),
                                    QStringLiteral("plain")};
        const QString single = QStringLiteral("only 😀");
        Settings::setStringList(QStringLiteral("formats.user"), templates);
        Settings::setStringList(QStringLiteral("formats.single"), {single});
        Settings::sync();
        QCOMPARE(onDisk(QStringLiteral("formats.user")), QVariant(templates));
        QCOMPARE(onDisk(QStringLiteral("formats.single")), QVariant(single));
        // A copy: QSettings objects on one file share what the first of them holds in memory.
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("copy.conf"));
        QVERIFY(QFile::copy(Settings::fileName(), copy));
        const QSettings theirs(copy, QSettings::IniFormat);
        QCOMPARE(theirs.value(QStringLiteral("formats.user")), QVariant(templates));
        QCOMPARE(theirs.value(QStringLiteral("formats.single")), QVariant(single));
    }

    // Another program edits the file while this one runs: its edit is kept next to ours.
    void editsByAnotherProgramAreMerged() {
        Settings::setInteger(QStringLiteral("ours"), 1);
        Settings::sync();
        QByteArray bytes = fileBytes();
        QVERIFY(bytes.startsWith("[General]\n"));
        bytes.insert(10, "byHand=7\n");
        {
            QFile file(Settings::fileName());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
        }
        Settings::setInteger(QStringLiteral("ours"), 2);
        Settings::sync();
        QCOMPARE(onDisk(QStringLiteral("byHand")), QVariant(QStringLiteral("7")));
        QCOMPARE(onDisk(QStringLiteral("ours")), QVariant(QStringLiteral("2")));
        QCOMPARE(Settings::integer(QStringLiteral("byHand")), 7);
        QCOMPARE(Settings::integersWithPrefix(QStringLiteral("byH")),
                 (QHash<QString, int>{{QStringLiteral("byHand"), 7}}));
    }

    // A key this program changed earlier in the run, changed or removed since by another
    // program: the next write keeps what the other program did.
    void laterEditsByAnotherProgramWin() {
        Settings::setInteger(QStringLiteral("early.changed"), 1);
        Settings::setInteger(QStringLiteral("early.removed"), 1);
        Settings::setInteger(QStringLiteral("early.kept"), 1);
        Settings::setInteger(QStringLiteral("early.both"), 1);
        Settings::sync();
        Settings::setInteger(QStringLiteral("early.kept"), 2);
        Settings::sync();
        IniCodec::Map values = IniCodec::read(fileBytes());
        values.insert(QStringLiteral("early.changed"), QStringLiteral("7"));
        values.remove(QStringLiteral("early.removed"));
        values.insert(QStringLiteral("early.both"), QStringLiteral("7"));
        writeAsAnotherProgram(values);
        // Changed here after the other program did: this one wins.
        Settings::setInteger(QStringLiteral("early.both"), 9);
        Settings::setInteger(QStringLiteral("early.new"), 3);
        Settings::sync();
        QCOMPARE(onDisk(QStringLiteral("early.both")), QVariant(QStringLiteral("9")));
        QCOMPARE(onDisk(QStringLiteral("early.changed")), QVariant(QStringLiteral("7")));
        QVERIFY(!IniCodec::read(fileBytes()).contains(QStringLiteral("early.removed")));
        QCOMPARE(onDisk(QStringLiteral("early.kept")), QVariant(QStringLiteral("2")));
        QCOMPARE(onDisk(QStringLiteral("early.new")), QVariant(QStringLiteral("3")));
        QCOMPARE(Settings::integer(QStringLiteral("early.changed")), 7);
        QVERIFY(!Settings::contains(QStringLiteral("early.removed")));
    }

    // Another program's edit found by a write from the timer: merged and written off the UI
    // thread in one write, and read here afterwards. A read before that takes it in at once
    // and writes nothing.
    void editsByAnotherProgramAreMergedInTheBackground() {
        Settings::setInteger(QStringLiteral("bg.ours"), 1);
        Settings::setInteger(QStringLiteral("bg.theirs"), 1);
        Settings::sync();
        IniCodec::Map values = IniCodec::read(fileBytes());
        values.insert(QStringLiteral("bg.theirs"), QStringLiteral("5"));
        values.insert(QStringLiteral("bg.added"), QStringLiteral("6"));
        writeAsAnotherProgram(values);
        g_writes = 0;
        g_onUiThread = false;
        Settings::setInteger(QStringLiteral("bg.ours"), 2);
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("bg.ours")), QVariant(QStringLiteral("2")),
                                  5000);
        QCOMPARE(onDisk(QStringLiteral("bg.theirs")), QVariant(QStringLiteral("5")));
        QCOMPARE(onDisk(QStringLiteral("bg.added")), QVariant(QStringLiteral("6")));
        QTRY_COMPARE_WITH_TIMEOUT(Settings::integer(QStringLiteral("bg.theirs")), 5, 5000);
        QCOMPARE(Settings::integer(QStringLiteral("bg.added")), 6);
        QCOMPARE(Settings::integer(QStringLiteral("bg.ours")), 2);
        QCOMPARE(g_writes.load(), 1);
        QVERIFY(!g_onUiThread);

        values = IniCodec::read(fileBytes());
        values.insert(QStringLiteral("bg.read"), QStringLiteral("8"));
        values.remove(QStringLiteral("bg.added"));
        writeAsAnotherProgram(values);
        QCOMPARE(Settings::integersWithPrefix(QStringLiteral("bg.r")),
                 (QHash<QString, int>{{QStringLiteral("bg.read"), 8}}));
        QVERIFY(!Settings::contains(QStringLiteral("bg.added")));
        QTest::qWait(1300);
        QCOMPARE(g_writes.load(), 1);
        QCOMPARE(fileBytes(), IniCodec::write(values));
    }

    // Changes made here while the merged file is being written: they win over the other
    // program's version of the same key in what is read, and go out with the next write.
    void changesDuringAMergeAreKept() {
        Settings::setInteger(QStringLiteral("mid.both"), 1);
        Settings::sync();
        IniCodec::Map values = IniCodec::read(fileBytes());
        values.insert(QStringLiteral("mid.both"), QStringLiteral("7"));
        values.insert(QStringLiteral("mid.theirs"), QStringLiteral("5"));
        writeAsAnotherProgram(values);
        g_hold = true;
        Settings::setInteger(QStringLiteral("mid.mine"), 1);
        QTRY_VERIFY_WITH_TIMEOUT(g_waiting, 5000);
        Settings::setInteger(QStringLiteral("mid.both"), 9);
        Settings::setInteger(QStringLiteral("mid.during"), 3);
        g_hold = false;
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("mid.during")),
                                  QVariant(QStringLiteral("3")), 5000);
        QCOMPARE(onDisk(QStringLiteral("mid.both")), QVariant(QStringLiteral("9")));
        QCOMPARE(onDisk(QStringLiteral("mid.theirs")), QVariant(QStringLiteral("5")));
        QCOMPARE(onDisk(QStringLiteral("mid.mine")), QVariant(QStringLiteral("1")));
        QCOMPARE(Settings::integer(QStringLiteral("mid.both")), 9);
        QCOMPARE(Settings::integer(QStringLiteral("mid.theirs")), 5);
        QCOMPARE(Settings::integersWithPrefix(QStringLiteral("mid.")).value("mid.both"), 9);
    }

    // Hand-written lines read the way QSettings reads them, odd escapes included.
    void handWrittenLinesReadAsQSettingsReadsThem() {
        const QByteArray bytes = "[General]\nplain.key=1\nsp%20ace=  two words\n"
                                 "bad%zz=3\nshort%4=4\nend%=5\nuni%U00e9%U=6\nwide%U00E9x=7\n"
                                 "slash\\in=8\n%41%62=a=b;c\nlist=1, 2;3\nat=@x;y\ncomment=x ;y\n"
                                 "quoted=\" q \"\ntab=\ta\tb\nutf=\xc3\xa9\n"
                                 "[sec%20one]\nk=v\n";
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("hand.conf"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        const IniCodec::Map ours = IniCodec::read(bytes);
        const QSettings theirs(path, QSettings::IniFormat);
        QCOMPARE(QStringList(ours.keys()), theirs.allKeys());
        for (const QString &key : theirs.allKeys())
            QVERIFY2(ours.value(key) == theirs.value(key), qPrintable(key));
    }

    // Changes made while a load's snapshot (or a write) shares the image wait for it to let go
    // rather than copy the image; none is lost, they apply in order, a change back to the old
    // value writes nothing, and a snapshot held too long delays the write only a little.
    void changesWhileTheImageIsSharedKeepTheirOrder() {
        Settings::setInteger(QStringLiteral("shared.a"), 1);
        Settings::setInteger(QStringLiteral("shared.g/x"), 1);
        Settings::sync();
        g_writes = 0;

        Settings::IntegerSnapshot snapshot = Settings::integerSnapshot();
        Settings::setInteger(QStringLiteral("shared.a"), 2);
        Settings::setInteger(QStringLiteral("shared.g/z"), 7); // before the removal: gone
        Settings::remove(QStringLiteral("shared.g"));
        Settings::setInteger(QStringLiteral("shared.g/y"), 3); // after the removal: kept
        Settings::setInteger(QStringLiteral("shared.g"), 6);
        Settings::setInteger(QStringLiteral("shared.b"), 4);
        Settings::remove(QStringLiteral("shared.b"));
        // Reads see every change at once, though none is in the image yet.
        QCOMPARE(Settings::integer(QStringLiteral("shared.a")), 2);
        QCOMPARE(Settings::integer(QStringLiteral("shared.g/y")), 3);
        QCOMPARE(Settings::integer(QStringLiteral("shared.g")), 6);
        QVERIFY(!Settings::contains(QStringLiteral("shared.g/x")));
        QVERIFY(!Settings::contains(QStringLiteral("shared.g/z")));
        QVERIFY(!Settings::contains(QStringLiteral("shared.b")));
        QCOMPARE(snapshot(QStringLiteral("shared.a")), std::optional<int>(1));
        QCOMPARE(snapshot(QStringLiteral("shared.g/x")), std::optional<int>(1));
        const QHash<QStringView, int> under = snapshot.under(QLatin1StringView("shared."));
        QCOMPARE(under.value(u"a", -1), 1);
        QCOMPARE(under.value(u"g/x", -1), 1);
        QVERIFY(!under.contains(u"g/y") && !under.contains(u"shared.a"));
        QTest::qWait(1300); // still shared: nothing written yet
        QCOMPARE(g_writes.load(), 0);
        snapshot = {};
        QTRY_COMPARE_WITH_TIMEOUT(g_writes.load(), 1, 5000);
        // The count goes up as the temporary file is written; the file is replaced only after
        // its sync, which on a busy machine takes a while.
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("shared.a")), QVariant(QStringLiteral("2")),
                                  5000);
        const IniCodec::Map written = IniCodec::read(fileBytes());
        QCOMPARE(written.value(QStringLiteral("shared.a")), QVariant(QStringLiteral("2")));
        QCOMPARE(written.value(QStringLiteral("shared.g/y")), QVariant(QStringLiteral("3")));
        QCOMPARE(written.value(QStringLiteral("shared.g")), QVariant(QStringLiteral("6")));
        QVERIFY(!written.contains(QStringLiteral("shared.g/x")));
        QVERIFY(!written.contains(QStringLiteral("shared.g/z")));
        QVERIFY(!written.contains(QStringLiteral("shared.b")));
        QCOMPARE(Settings::integersWithPrefix(QStringLiteral("shared.")),
                 (QHash<QString, int>{{QStringLiteral("shared.a"), 2},
                                      {QStringLiteral("shared.g/y"), 3},
                                      {QStringLiteral("shared.g"), 6}}));

        // The same value again while shared: nothing to write.
        snapshot = Settings::integerSnapshot();
        Settings::setInteger(QStringLiteral("shared.a"), 2);
        snapshot = {};
        QTest::qWait(1500);
        QCOMPARE(g_writes.load(), 1);

        // Held for good: the change is written within a few seconds all the same, and the
        // snapshot keeps what it saw.
        snapshot = Settings::integerSnapshot();
        Settings::setInteger(QStringLiteral("shared.a"), 5);
        QTRY_COMPARE_WITH_TIMEOUT(onDisk(QStringLiteral("shared.a")), QVariant(QStringLiteral("5")),
                                  6000);
        QCOMPARE(snapshot(QStringLiteral("shared.a")), std::optional<int>(2));
        QCOMPARE(g_writes.load(), 2);
    }

    // One pass for many keys, each read as integer() reads it.
    void integersWithPrefixReadLikeInteger() {
        const QString prefix = QStringLiteral("palettes.indicies.");
        for (const QString &key : Settings::integersWithPrefix(prefix).keys())
            Settings::remove(key);
        QVERIFY(Settings::integersWithPrefix(prefix).isEmpty());
        Settings::setInteger(prefix + QStringLiteral("a"), 3);
        Settings::setFloat(prefix + QStringLiteral("f"), 2.5);
        Settings::setStringList(prefix + QStringLiteral("l"), {QStringLiteral("x")});
        Settings::setInteger(SettingsKeys::paletteIndexKey(QStringLiteral("s/l")), 8);
        Settings::setInteger(QStringLiteral("palettes.indicie"), 1);
        Settings::setInteger(QStringLiteral("palettes.indicies"), 1);
        Settings::remove(prefix + QStringLiteral("gone"));
        const QHash<QString, int> all = Settings::integersWithPrefix(prefix);
        QCOMPARE(all.size(), 4);
        for (auto it = all.cbegin(); it != all.cend(); ++it)
            QCOMPARE(it.value(), Settings::integer(it.key()));
        QCOMPARE(all.value(prefix + QStringLiteral("a")), 3);
        QCOMPARE(all.value(prefix + QStringLiteral("f")), 2);
        QCOMPARE(all.value(prefix + QStringLiteral("s%2Fl")), 8);
        Settings::remove(prefix + QStringLiteral("a"));
        QVERIFY(!Settings::integersWithPrefix(prefix).contains(prefix + QStringLiteral("a")));
    }

    // A settings file kept in a dotfiles folder and linked into place: changes go to the file
    // the link points to, the link stays, and nothing fails.
    void fileBehindALinkIsWrittenThroughIt() {
        Settings::setInteger(QStringLiteral("linked.before"), 1);
        Settings::sync();
        QTemporaryDir dotfiles;
        const QString target = dotfiles.filePath(QStringLiteral("Swatchbar.conf"));
        QVERIFY(QFile::copy(Settings::fileName(), target));
        QVERIFY(QFile::remove(Settings::fileName()));
        QVERIFY(QFile::link(target, Settings::fileName()));
        const QStringList lines = capturedLines([] {
            for (int i = 1; i <= 3; ++i) {
                Settings::setInteger(QStringLiteral("linked.value"), i);
                Settings::sync();
            }
            Settings::setInteger(QStringLiteral("linked.later"), 4);
            QTest::qWait(1500); // a write from the timer as well
        });
        QCOMPARE(lines, QStringList());
        QVERIFY(QFileInfo(Settings::fileName()).isSymLink());
        QCOMPARE(QFileInfo(Settings::fileName()).symLinkTarget(), target);
        const IniCodec::Map values = IniCodec::read(fileBytes());
        QCOMPARE(values.value(QStringLiteral("linked.before")), QVariant(QStringLiteral("1")));
        QCOMPARE(values.value(QStringLiteral("linked.value")), QVariant(QStringLiteral("3")));
        QCOMPARE(values.value(QStringLiteral("linked.later")), QVariant(QStringLiteral("4")));
        QCOMPARE(QDir(dotfiles.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("Swatchbar.conf")});

        // A plain file again for whatever runs next.
        QVERIFY(QFile::remove(Settings::fileName()));
        QVERIFY(QFile::copy(target, Settings::fileName()));
        Settings::sync();
    }
};

SWATCHBAR_TEST_CORE_MAIN(SettingsFileTest)
#include "SettingsFileTest.moc"
