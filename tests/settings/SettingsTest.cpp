#include "settings/Settings.h"
#include "TestSupport.h"

#include <QSettings>
#include <QStringList>
#include <cfloat>
#include <climits>

namespace {

QSettings &raw() {
    static QSettings settings(QSettings::NativeFormat, QSettings::UserScope,
                              QStringLiteral("Swatchbar"), QStringLiteral("Swatchbar"));
    return settings;
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
        raw().beginGroup(QStringLiteral("windowFrames"));
        QCOMPARE(raw().childKeys().size(), 3);
        raw().endGroup();
    }
};

SWATCHBAR_TEST_CORE_MAIN(SettingsTest)
#include "SettingsTest.moc"
