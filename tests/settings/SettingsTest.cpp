#include "settings/Settings.h"
#include "TestSupport.h"

#include "settings/IniCodec.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPoint>
#include <QRect>
#include <QSettings>
#include <QStringList>
#include <QTemporaryDir>
#include <cfloat>
#include <climits>

namespace {

// The store's untyped side: values planted as an older version or a hand edit left them.
struct RawStore {
    QString fileName() const { return Settings::fileName(); }
    QVariant value(const QString &key) const { return Settings::value(key); }
    void setValue(const QString &key, const QVariant &value) { Settings::setValue(key, value); }
    QStringList allKeys() const { return Settings::keys(); }
    void clear() {
        const QStringList keys = Settings::keys();
        for (const QString &key : keys)
            Settings::remove(key);
    }
    // The groups ("group/key") and the keys of one of them.
    QStringList childGroups() const {
        QStringList groups;
        for (const QString &key : Settings::keys())
            if (const qsizetype slash = key.indexOf(QLatin1Char('/')); slash > 0)
                groups << key.left(slash);
        groups.removeDuplicates();
        return groups;
    }
    QStringList childKeys(const QString &group) const {
        QStringList keys;
        for (const QString &key : Settings::keys())
            if (key.startsWith(group + QLatin1Char('/')))
                keys << key.sliced(group.size() + 1);
        return keys;
    }
};

RawStore &raw() {
    static RawStore store;
    return store;
}

const QStringList defaultKeys = {QStringLiteral("hideDockIcon"),
                                 QStringLiteral("menu.grid.colCount"),
                                 QStringLiteral("menu.grid.cell.size"),
                                 QStringLiteral("menu.grid.cell.spacing"),
                                 QStringLiteral("menu.grid.cell.radius"),
                                 QStringLiteral("menu.cell.colCount"),
                                 QStringLiteral("view.grid.colCount"),
                                 QStringLiteral("view.grid.cell.size"),
                                 QStringLiteral("view.grid.cell.spacinyg"),
                                 QStringLiteral("view.grid.cell.radius")};

QStringList sorted(QStringList list) {
    list.sort();
    return list;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { raw().clear(); }

    void storeIsTheSwatchbarConfigFile() {
        QVERIFY(Settings::fileName().endsWith(QStringLiteral("/Swatchbar/Swatchbar.conf")));
        QCOMPARE(Settings::fileName(), raw().fileName());
    }

    void defaultsOnAnEmptyStore() {
        Settings::storeMissingDefaults();
        QCOMPARE(sorted(raw().allKeys()), sorted(defaultKeys));
        QCOMPARE(raw().value(QStringLiteral("hideDockIcon")).typeId(), QMetaType::Bool);
        QCOMPARE(Settings::boolean(QStringLiteral("hideDockIcon")), false);
        QCOMPARE(Settings::integer(QStringLiteral("menu.grid.colCount")), 4);
        QCOMPARE(Settings::integer(QStringLiteral("menu.cell.colCount")), 5);
        QCOMPARE(Settings::integer(QStringLiteral("view.grid.colCount")), 6);
        QCOMPARE(raw().value(QStringLiteral("menu.cell.colCount")).typeId(), QMetaType::Int);
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.size")), 100.0);
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.spacing")), 25.0);
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.radius")), 25.0);
        QCOMPARE(Settings::floatValue(QStringLiteral("view.grid.cell.size")), 100.0);
        QCOMPARE(Settings::floatValue(QStringLiteral("view.grid.cell.spacinyg")), 25.0);
        QCOMPARE(Settings::floatValue(QStringLiteral("view.grid.cell.radius")), 25.0);
        // Survives a write to disk and a fresh read of the text form.
        Settings::sync();
        QSettings reread(Settings::fileName(), QSettings::IniFormat);
        QCOMPARE(sorted(reread.allKeys()), sorted(defaultKeys));
    }

    void presentValuesAreNeverChanged() {
        raw().setValue(QStringLiteral("menu.grid.colCount"), 0);
        raw().setValue(QStringLiteral("menu.grid.cell.size"), 7.5);
        raw().setValue(QStringLiteral("hideDockIcon"), QStringLiteral("garbage"));
        raw().setValue(QStringLiteral("view.grid.colCount"), QStringList{"a", "b"});
        raw().setValue(QStringLiteral("view.grid.cell.size"), QByteArray("\x01\x02", 2));
        raw().setValue(QStringLiteral("menu.cell.colCount"), QString());
        Settings::storeMissingDefaults();
        QCOMPARE(raw().value(QStringLiteral("menu.grid.colCount")), QVariant(0));
        QCOMPARE(raw().value(QStringLiteral("menu.grid.cell.size")), QVariant(7.5));
        QCOMPARE(raw().value(QStringLiteral("hideDockIcon")), QVariant(QStringLiteral("garbage")));
        QCOMPARE(raw().value(QStringLiteral("view.grid.colCount")),
                 QVariant(QStringList{"a", "b"}));
        QCOMPARE(raw().value(QStringLiteral("view.grid.cell.size")),
                 QVariant(QByteArray("\x01\x02", 2)));
        QCOMPARE(raw().value(QStringLiteral("menu.cell.colCount")), QVariant(QString()));
        QCOMPARE(raw().allKeys().size(), 10);
        // Odd values read as 0 / false rather than failing.
        QCOMPARE(Settings::boolean(QStringLiteral("hideDockIcon")), false);
        QCOMPARE(Settings::integer(QStringLiteral("view.grid.colCount")), 0);
        QCOMPARE(Settings::floatValue(QStringLiteral("view.grid.cell.size")), 0.0);
        QCOMPARE(Settings::integer(QStringLiteral("menu.cell.colCount")), 0);
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.size")), 7.5);
    }

    void removedKeyIsRestored() {
        Settings::storeMissingDefaults();
        Settings::setFloat(QStringLiteral("view.grid.cell.size"), 60.0);
        Settings::remove(QStringLiteral("view.grid.cell.radius"));
        QVERIFY(!Settings::contains(QStringLiteral("view.grid.cell.radius")));
        Settings::storeMissingDefaults();
        QCOMPARE(Settings::floatValue(QStringLiteral("view.grid.cell.radius")), 25.0);
        QCOMPARE(Settings::floatValue(QStringLiteral("view.grid.cell.size")), 60.0);
    }

    void floatsAreNarrowedTo32Bits() {
        Settings::setFloat(QStringLiteral("menu.grid.cell.size"), 33.3);
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.size")), 33.29999923706055);
        // The text form on disk reads back as the same value.
        Settings::sync();
        QFile conf(Settings::fileName());
        QVERIFY(conf.open(QIODevice::ReadOnly));
        QVERIFY(conf.readAll().contains("menu.grid.cell.size=33.29999923706055"));
        raw().setValue(QStringLiteral("menu.grid.cell.size"), QStringLiteral("33.29999923706055"));
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.size")), 33.29999923706055);
        // A hand-written 64-bit value is narrowed on reading as well.
        raw().setValue(QStringLiteral("menu.grid.cell.size"), QStringLiteral("33.3"));
        QCOMPARE(Settings::floatValue(QStringLiteral("menu.grid.cell.size")), 33.29999923706055);
    }

    void outOfRangeValuesAreClamped() {
        Settings::setFloat(QStringLiteral("f"), 1e300);
        QCOMPARE(Settings::floatValue(QStringLiteral("f")), double(FLT_MAX));
        Settings::setFloat(QStringLiteral("f"), -1e300);
        QCOMPARE(Settings::floatValue(QStringLiteral("f")), -double(FLT_MAX));
        Settings::setFloat(QStringLiteral("f"), std::numeric_limits<double>::quiet_NaN());
        QCOMPARE(Settings::floatValue(QStringLiteral("f")), 0.0);
        raw().setValue(QStringLiteral("f"), QStringLiteral("inf"));
        QCOMPARE(Settings::floatValue(QStringLiteral("f")), 0.0);
        QCOMPARE(Settings::integer(QStringLiteral("f")), 0);
        raw().setValue(QStringLiteral("i"), QStringLiteral("99999999999"));
        QCOMPARE(Settings::integer(QStringLiteral("i")), INT_MAX);
        raw().setValue(QStringLiteral("i"), -1e30);
        QCOMPARE(Settings::integer(QStringLiteral("i")), INT_MIN);
        raw().setValue(QStringLiteral("i"), QStringLiteral("3.9"));
        QCOMPARE(Settings::integer(QStringLiteral("i")), 3);
    }

    // Plain digits are read on their own; every other text as before, through a number.
    void integerTextsOfEveryShape() {
        const QList<std::pair<QString, int>> cases{{QStringLiteral("1824"), 1824},
                                                   {QStringLiteral("007"), 7},
                                                   {QStringLiteral("-0"), 0},
                                                   {QStringLiteral("-123456789"), -123456789},
                                                   {QStringLiteral("999999999"), 999999999},
                                                   {QStringLiteral("1234567890"), 1234567890},
                                                   {QStringLiteral("2147483648"), INT_MAX},
                                                   {QStringLiteral(" 42 "), 42},
                                                   {QStringLiteral("+5"), 5},
                                                   {QStringLiteral("1e3"), 1000},
                                                   {QStringLiteral("-"), 0},
                                                   {QStringLiteral("4a"), 0},
                                                   {QString(), 0},
                                                   {QStringLiteral("\u0661"), 0}};
        for (const auto &[text, expected] : cases) {
            raw().setValue(QStringLiteral("i"), text);
            QCOMPARE(Settings::integer(QStringLiteral("i")), expected);
        }
    }

    void missingAndGarbageReadAsZero() {
        QCOMPARE(Settings::integer(QStringLiteral("nothing")), 0);
        QCOMPARE(Settings::floatValue(QStringLiteral("nothing")), 0.0);
        QCOMPARE(Settings::boolean(QStringLiteral("nothing")), false);
        QVERIFY(!Settings::contains(QStringLiteral("nothing")));
        QVERIFY(!Settings::contains(QString()));
        raw().setValue(QStringLiteral("g"), QStringLiteral("abc"));
        QCOMPARE(Settings::integer(QStringLiteral("g")), 0);
        QCOMPARE(Settings::boolean(QStringLiteral("g")), false);
        QCOMPARE(Settings::floatValue(QStringLiteral("g")), 0.0);
        // Text forms as they come back from the file after a restart.
        raw().setValue(QStringLiteral("b"), QStringLiteral("true"));
        QCOMPARE(Settings::boolean(QStringLiteral("b")), true);
        raw().setValue(QStringLiteral("b"), QStringLiteral("false"));
        QCOMPARE(Settings::boolean(QStringLiteral("b")), false);
        raw().setValue(QStringLiteral("n"), QStringLiteral("7"));
        QCOMPARE(Settings::integer(QStringLiteral("n")), 7);
        // An empty key is never written (QSettings would treat it as "everything").
        Settings::setInteger(QString(), 1);
        Settings::remove(QString());
        QCOMPARE(raw().allKeys(), (QStringList{"b", "g", "n"}));
    }

    void integerWritesAreStoredAsIntegers() {
        Settings::setInteger(QStringLiteral("k"), 5);
        Settings::setInteger(QStringLiteral("k"), 5);
        QCOMPARE(raw().value(QStringLiteral("k")), QVariant(5));
        raw().setValue(QStringLiteral("k"), QStringLiteral("5")); // as read back from disk
        Settings::setInteger(QStringLiteral("k"), 6);
        QCOMPARE(Settings::integer(QStringLiteral("k")), 6);
        raw().setValue(QStringLiteral("k"), 5.0);
        Settings::setInteger(QStringLiteral("k"), 5);
        QCOMPARE(raw().value(QStringLiteral("k")).typeId(), QMetaType::Int);
    }

    void perPaletteKeys() {
        QCOMPARE(SettingsKeys::formatIdxKey(QStringLiteral("My Palette")),
                 QStringLiteral("My Palette.colFormatIdx"));
        QCOMPARE(SettingsKeys::paletteIndexKey(QStringLiteral("My Palette")),
                 QStringLiteral("palettes.indicies.My Palette"));
        QCOMPARE(SettingsKeys::formatIdxKey(QString()), QStringLiteral(".colFormatIdx"));
        Settings::setInteger(SettingsKeys::formatIdxKey(QStringLiteral("Ünïcode \"x\"")), 3);
        Settings::sync();
        QSettings reread(Settings::fileName(), QSettings::IniFormat);
        QCOMPARE(reread.value(QStringLiteral("Ünïcode \"x\".colFormatIdx")).toInt(), 3);
    }

    void namesWithSeparatorsStayInTheirOwnKey() {
        const QStringList odd = {QStringLiteral("a/b"),  QStringLiteral("//"),
                                 QStringLiteral("a\\b"), QStringLiteral("/menu.grid.colCount"),
                                 QStringLiteral("x\ny"), QString(QChar(0))};
        for (int i = 0; i < odd.size(); ++i) {
            Settings::setInteger(SettingsKeys::formatIdxKey(odd.at(i)), i + 1);
            Settings::setInteger(SettingsKeys::paletteIndexKey(odd.at(i)), i + 1);
        }
        QVERIFY(raw().childGroups().isEmpty());
        QCOMPARE(raw().allKeys().size(), 2 * odd.size());
        for (int i = 0; i < odd.size(); ++i) {
            QCOMPARE(Settings::integer(SettingsKeys::formatIdxKey(odd.at(i))), i + 1);
            QCOMPARE(Settings::integer(SettingsKeys::paletteIndexKey(odd.at(i))), i + 1);
        }
        QVERIFY(!Settings::contains(QStringLiteral("menu.grid.colCount")));
    }

    void windowFramesUnderTheirAutosaveNames() {
        const QByteArray a("\x01\x02frame-a", 9);
        Settings::setWindowFrame(QStringLiteral("Viewing: a/b"), a);
        Settings::setWindowFrame(QStringLiteral("Viewing: a"), "frame-b");
        Settings::setWindowFrame(QStringLiteral("Preferences"), "prefs");
        QCOMPARE(Settings::windowFrame(QStringLiteral("Viewing: a/b")), a);
        QCOMPARE(Settings::windowFrame(QStringLiteral("Viewing: a")), QByteArray("frame-b"));
        QCOMPARE(Settings::windowFrame(QStringLiteral("Preferences")), QByteArray("prefs"));
        QCOMPARE(Settings::windowFrame(QStringLiteral("never")), QByteArray());
        QCOMPARE(raw().childGroups(), QStringList{QStringLiteral("windowFrames")});
        QCOMPARE(raw().childKeys(QStringLiteral("windowFrames")).size(), 3);
    }
    // The file is written by our own writer; it must read back the same in QSettings, and
    // what QSettings wrote (earlier versions) must read the same here.
    void iniFilesMatchQSettings() {
        const QMap<QString, QVariant> values{
            {"int", 4},
            {"dbl", 33.29999923706055},
            {"bool", true},
            {"str", "hello world"},
            {"lead", " sp "},
            {"comma", "a,b;c=d"},
            {"at", "@x"},
            {"esc", QString("q\"b\\s\tn\nz\x01"
                            "9")},
            {"uni", QString::fromUtf8("\xc3\x9cn\xc3\xaf \xc3\xa9 \xe2\x80\xae")},
            {"list", QStringList{"a", "b c", "d,e"}},
            {"one", QStringList{"solo"}},
            {"empty", QStringList{}},
            {"ba", QByteArray("\x01\x02\xff"
                              "abc\"\\,",
                              9)},
            {"rect", QRect(1, 2, 3, 4)},
            {"point", QPoint(-5, 6)},
            {"windowFrames/Viewing%3A%20a", QByteArray("x")},
            {"General/g", 1},
            {"sp ace/k ey", 2},
            {QString::fromUtf8("\xc3\x9cn\xc3\xaf \"x\".colFormatIdx"), 3},
            {"a\\b", 5},
            {"emptystr", QString()},
        };
        QTemporaryDir dir;
        const QString theirs = dir.filePath("theirs.conf");
        {
            QSettings qt(theirs, QSettings::IniFormat);
            for (auto it = values.cbegin(); it != values.cend(); ++it)
                qt.setValue(it.key(), it.value());
        }
        QFile file(theirs);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray qtBytes = file.readAll();
        // Byte for byte what QSettings writes, so nothing changes for people who read the file.
        QCOMPARE(IniCodec::write(values), qtBytes);

        const QMap<QString, QVariant> ours = IniCodec::read(qtBytes);
        // A fresh path: QSettings would answer from its in-process cache of the one above.
        const QString copy = dir.filePath("copy.conf");
        QVERIFY(QFile::copy(theirs, copy));
        QSettings qt(copy, QSettings::IniFormat);
        QCOMPARE(QStringList(ours.keys()), qt.allKeys());
        for (const QString &key : qt.allKeys())
            QVERIFY2(ours.value(key) == qt.value(key), qPrintable(key));

        // Hand-edited forms: comments, spaces, CRLF, continued lines, octal escapes.
        const QMap<QString, QVariant> hand = IniCodec::read(
            "\xEF\xBB\xBF; comment\r\n# another\r\n[General]\r\n  k1 =  v 1  \r\nk2=\"a\\\n"
            "b\"\nk3=x\\101y\n\n[grp]\nz=1, 2\nbroken line\n");
        QCOMPARE(hand.value("k1"), QVariant("v 1"));
        QCOMPARE(hand.value("k2"), QVariant("ab"));
        QCOMPARE(hand.value("k3"), QVariant("xAy"));
        QCOMPARE(hand.value("grp/z"), QVariant(QStringList{"1", "2"}));
        QCOMPARE(hand.size(), 4);
    }

    // A lock file left empty by a crash must not hold a write (it used to wait 30 seconds).
    void staleEmptyLockDoesNotStall() {
        Settings::setInteger("k", 1);
        Settings::sync();
        QFile lock(Settings::fileName() + ".lock");
        QVERIFY(lock.open(QIODevice::WriteOnly | QIODevice::Truncate));
        lock.close();
        QElapsedTimer timer;
        timer.start();
        Settings::setInteger("k", 2);
        Settings::sync();
        QVERIFY2(timer.elapsed() < 10000, qPrintable(QString::number(timer.elapsed())));
        QSettings reread(Settings::fileName(), QSettings::IniFormat);
        QCOMPARE(reread.value("k").toInt(), 2);
    }
};

SWATCHBAR_TEST_CORE_MAIN(SettingsTest)
#include "SettingsTest.moc"
