// The start-up's first scan of a small folder, begun before anything has read the settings:
// its thread reads them too. A process of its own, since the settings are read once per
// process.
#include "StdoutCapture.h"
#include "TestSupport.h"
#include "model/PaletteCodec.h"
#include "settings/IniCodec.h"
#include "settings/Settings.h"
#include "store/FolderWatcher.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalSpy>

namespace {

void writeFile(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray bytesOf(const QString &path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString configFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
}

} // namespace

class FirstScanTest : public QObject {
    Q_OBJECT

private slots:
    // The stored order, the user's other keys and the organisation's file all reach the
    // program as if the settings had been read here, and the next write keeps them.
    void settingsReadBesideTheScanAnswerAsTheirOwn() {
        const QString own = configFolder() + QStringLiteral("/Swatchbar/Swatchbar.conf");
        writeFile(own, "[General]\nmenu.grid.colCount=2\npalettes.indicies.Alpha=2\n"
                       "palettes.indicies.Beta=1\npalettes.indicies.Gamma=0\n");
        writeFile(configFolder() + QStringLiteral("/Swatchbar.conf"),
                  "[General]\nfromOrganisation=5\n");
        const QString folder =
            Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        QVERIFY(!folder.isEmpty());
        for (const QString &name :
             {QStringLiteral("Alpha"), QStringLiteral("Beta"), QStringLiteral("Gamma")})
            writeFile(folder + QLatin1Char('/') + name + QStringLiteral(".json"),
                      PaletteCodec::encode(Palette{name, {}}).value());

        PalettesOO collection;
        PalettesOO::setShared(&collection);
        Manager::startFirstScan();
        // Another read ahead is refused while this one is under way or done.
        QVERIFY(!Settings::readAhead().valid());
        const QStringList lines = capturedLines([] { Manager::loadAllPalettes(); });
        QCOMPARE(lines.filter(QStringLiteral("Successfully loaded all(3)")).size(), 1);
        QStringList names;
        for (const Palette &palette : collection.palettes())
            names << palette.palName;
        QCOMPARE(names, QStringList({QStringLiteral("Gamma"), QStringLiteral("Beta"),
                                     QStringLiteral("Alpha")}));

        QCOMPARE(Settings::integer(QStringLiteral("menu.grid.colCount")), 2);
        QCOMPARE(Settings::integer(QStringLiteral("fromOrganisation")), 5);
        Settings::setInteger(QStringLiteral("view.grid.colCount"), 4);
        Settings::sync();
        const IniCodec::Map written = IniCodec::read(bytesOf(own));
        QCOMPARE(written.value(QStringLiteral("menu.grid.colCount")).toInt(), 2);
        QCOMPARE(written.value(QStringLiteral("view.grid.colCount")).toInt(), 4);
        QCOMPARE(written.value(QStringLiteral("palettes.indicies.Gamma")).toInt(), 0);
        QVERIFY(!written.contains(QStringLiteral("fromOrganisation")));
        PalettesOO::setShared(nullptr);
    }

    // Another program's palette, written after the start-up's scan has listed the folder but
    // before the folder's watcher is made (the toolkit starts in between), reaches the
    // collection all the same.
    void aPaletteWrittenBeforeTheWatcherIsSeen() {
        const QString folder =
            Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        QVERIFY(!folder.isEmpty());
        PalettesOO collection;
        PalettesOO::setShared(&collection);
        Manager::startFirstScan();
        capturedLines([] { Manager::loadAllPalettes(); });
        const qsizetype before = collection.count();
        writeFile(folder + QStringLiteral("/Late.json"),
                  PaletteCodec::encode(Palette{QStringLiteral("Late"), {}}).value());

        FolderWatcher watcher(folder);
        QSignalSpy changed(&watcher, &FolderWatcher::filesChanged);
        QVERIFY(changed.wait(5000));
        const auto names = changed.first().at(0).value<QSet<QString>>();
        QVERIFY(names.contains(QStringLiteral("Late.json")));
        capturedLines([&] { Manager::refreshPalettes(names, changed.first().at(1).toBool()); });
        QCOMPARE(collection.count(), before + 1);
        QCOMPARE(collection.palettes().last().palName, QStringLiteral("Late"));
        PalettesOO::setShared(nullptr);
    }

    // A watch set up ahead for another folder is not taken: the watcher watches its own.
    void aWatchAheadElsewhereIsLeft() {
        QTemporaryDir elsewhere;
        QVERIFY(elsewhere.isValid());
        const QString folder =
            Manager::supportSubfolder(QStringLiteral("Palettes"), true).value_or(QString());
        FolderWatcher::watchAhead(elsewhere.path());
        writeFile(elsewhere.path() + QStringLiteral("/There.json"), "{}");
        FolderWatcher watcher(folder);
        QSignalSpy changed(&watcher, &FolderWatcher::filesChanged);
        writeFile(folder + QStringLiteral("/Here.json"), "{}");
        QVERIFY(changed.wait(5000));
        const auto names = changed.first().at(0).value<QSet<QString>>();
        QCOMPARE(names, QSet<QString>({QStringLiteral("Here.json")}));
        QVERIFY(QFile::remove(folder + QStringLiteral("/Here.json")));
    }
};

SWATCHBAR_TEST_CORE_MAIN(FirstScanTest)
#include "FirstScanTest.moc"
