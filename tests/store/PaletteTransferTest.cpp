#include "StdoutCapture.h"
#include "TestSupport.h"

#include "core/SafeFile.h"

#include "interchange/PaletteFile.h"
#include "settings/CopyFormats.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PaletteTransfer.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QSettings>

namespace {

QString palettesFolder() {
    return *Manager::supportSubfolder(QStringLiteral("Palettes"), true);
}

QStringList folderFiles() {
    QStringList names = QDir(palettesFolder()).entryList(QDir::Files | QDir::Hidden);
    names.sort();
    return names;
}

QString writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class PaletteTransferTest : public QObject {
    Q_OBJECT

    PalettesOO m_palettes;
    QTemporaryDir m_files;

private slots:
    void init() {
        PalettesOO::setShared(&m_palettes);
        QDir(palettesFolder()).removeRecursively();
        Manager::loadAllPalettes();
    }

    void safeNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("safe");
        QTest::addColumn<bool>("changed");
        QTest::newRow("plain") << "Brand"
                               << "Brand" << false;
        QTest::newRow("unicode") << "Marken ✓ ü"
                                 << "Marken ✓ ü" << false;
        QTest::newRow("slash") << "Brand / Web"
                               << "Brand - Web" << true;
        QTest::newRow("backslash and controls are file-name characters") << "a\\b\tc"
                                                                         << "a\\b\tc" << false;
        QTest::newRow("NUL") << QString("a") + QChar(0) + "b"
                             << "a-b" << true;
        QTest::newRow("dot") << "."
                             << "Imported" << true;
        QTest::newRow("dot dot") << ".."
                                 << "Imported" << true;
        QTest::newRow("json inside") << "x.json"
                                     << "x-json" << true;
        QTest::newRow("empty") << ""
                               << "Imported" << false;
        QTest::newRow("too long") << QString(300, QLatin1Char('a'))
                                  << QString(250, QLatin1Char('a')) << true;
        QTest::newRow("too long, no half character")
            << QString(100, QChar(0x2713)) << QString(83, QChar(0x2713)) << true;
    }
    void safeNames() {
        QFETCH(QString, name);
        QFETCH(QString, safe);
        QFETCH(bool, changed);
        QString reason;
        QCOMPARE(PaletteTransfer::safeName(name, &reason), safe);
        QCOMPARE(!reason.isEmpty(), changed);
        QVERIFY(Manager::isValidPaletteName(safe));
    }

    // An import never replaces a palette: taken names, even by a file that does not load, get
    // " 2", " 3", ...
    void importsUnderAFreeName() {
        writeFile(palettesFolder() + "/Web 3.json", "not json");
        const QString gpl =
            writeFile(m_files.filePath("web.gpl"), "GIMP Palette\nName: Web\n255 0 0 Red\n");
        QStringList lines = capturedLines([&] {
            for (int i = 0; i < 3; ++i)
                QVERIFY(PaletteTransfer::importFile(gpl));
        });
        QCOMPARE(lines, QStringList({"Imported pal: Web (1 colors) from " + gpl,
                                     "Imported pal: Web 2 (1 colors) from " + gpl,
                                     "Imported pal: Web 4 (1 colors) from " + gpl}));
        QCOMPARE(folderFiles(),
                 QStringList({"Web 2.json", "Web 3.json", "Web 4.json", "Web.json"}));
        QCOMPARE(m_palettes.count(), 3);
        QCOMPARE(m_palettes.palettes().last().palColors.first().colName, QStringLiteral("Red"));
        QFile kept(palettesFolder() + "/Web 3.json");
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), QByteArray("not json"));
    }

    void unsafeNameIsMadeSafeAndSaid() {
        const QString gpl =
            writeFile(m_files.filePath("x.gpl"), "GIMP Palette\nName: Brand/Web\n1 2 3\n");
        const QStringList lines = capturedLines([&] { PaletteTransfer::importFile(gpl); });
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith("Palette name \"Brand/Web\" from " + gpl +
                                     " made safe as \"Brand-Web\""),
                 qPrintable(lines[0]));
        QCOMPARE(lines[1], "Imported pal: Brand-Web (1 colors) from " + gpl);
        QCOMPARE(m_palettes.palettes().last().palColors.first().colName, QStringLiteral("#010203"));
    }

    // A bad file gives one line naming it and writes nothing.
    void badFilesWriteNothing() {
        const QStringList files = {
            writeFile(m_files.filePath("cut.ase"), QByteArray("ASEF\0\1\0\0\0\0\0\1\0\1", 14)),
            writeFile(m_files.filePath("latin1.gpl"), "GIMP Palette\n1 2 3 Caf\xe9\n"),
            m_files.filePath("missing.gpl"), m_files.path()};
        for (const QString &file : files) {
            const QStringList lines =
                capturedLines([&] { QVERIFY(!PaletteTransfer::importFile(file)); });
            QCOMPARE(lines.size(), 1);
            QVERIFY2(lines[0].startsWith("Failed to import " + file + " : "), qPrintable(lines[0]));
        }
        QCOMPARE(folderFiles(), QStringList());
        QCOMPARE(m_palettes.count(), 0);
    }

    // Names are data: a "%1" in one is shown as it is, and a line break in one stays escaped.
    void linesShowNamesAsTheyAre() {
        const QString gpl =
            writeFile(m_files.filePath("sale.gpl"), "GIMP Palette\nName: Sale %1 off\n1 2 3 x\n");
        const QString target = m_files.filePath("sale.css");
        QStringList lines = capturedLines([&] {
            QVERIFY(PaletteTransfer::importFile(gpl));
            QVERIFY(PaletteTransfer::exportPalette("Sale %1 off", target));
        });
        QCOMPARE(lines, QStringList({"Imported pal: Sale %1 off (1 colors) from " + gpl,
                                     "Exported pal: Sale %1 off (1 colors) to " + target}));
        const QString json =
            writeFile(m_files.filePath("two.json"), R"({"palName":"a\nb","palColors":[]})");
        lines = capturedLines([&] { QVERIFY(PaletteTransfer::importFile(json)); });
        QCOMPARE(lines, QStringList({"Imported pal: a\\x0ab (0 colors) from " + json}));
    }

    // A palette large enough to be written on the writer thread is only called imported once
    // its file is there: a failed write is a failed import, said before the caller goes on.
    void largeImportWhoseWriteFailsIsAFailure() {
        QByteArray gpl("GIMP Palette\nName: Huge\n");
        for (int i = 0; i < 16384; ++i)
            gpl += QByteArray::number(i % 256) + " " + QByteArray::number(i / 256) + " 0\n";
        const QString file = writeFile(m_files.filePath("huge.gpl"), gpl);
        SafeFile::setWriteFunction([](int, const void *, size_t) -> ssize_t {
            errno = ENOSPC;
            return -1;
        });
        const QStringList lines =
            capturedLines([&] { QVERIFY(!PaletteTransfer::importFile(file)); });
        SafeFile::setWriteFunction(nullptr);
        QCOMPARE(lines,
                 QStringList({"Failed to save file Huge.json : No space left on device",
                              "Failed to import " + file + " : the palette could not be saved"}));
        QCOMPARE(folderFiles(), QStringList());

        QStringList written = capturedLines([&] {
            Manager::loadAllPalettes();
            QVERIFY(PaletteTransfer::importFile(file));
        });
        written.removeFirst(); // the load's own line
        QCOMPARE(written, QStringList({"Imported pal: Huge (16384 colors) from " + file}));
        QCOMPARE(folderFiles(), QStringList({"Huge.json"}));
    }

    void exportsWholeOrNotAtAll() {
        Manager::addPalette(Palette{"Brand", {{"Orange", {1.0, 0.5, 0.0, std::nullopt}}}});
        const QString target = m_files.filePath("brand.gpl");
        QStringList lines =
            capturedLines([&] { QVERIFY(PaletteTransfer::exportPalette("Brand", target)); });
        QCOMPARE(lines, QStringList({"Exported pal: Brand (1 colors) to " + target}));
        QFile file(target);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("GIMP Palette\nName: Brand\n#\n255 127   0\tOrange\n"));

        lines = capturedLines([&] { QVERIFY(!PaletteTransfer::exportPalette("Nope", target)); });
        QCOMPARE(lines, QStringList({"Failed to export \"Nope\" : no palette has that name"}));
        lines = capturedLines([&] {
            QVERIFY(
                !PaletteTransfer::exportPalette("Brand", m_files.filePath("no/such/dir/x.css")));
            QVERIFY(!PaletteTransfer::exportPalette("Brand", m_files.filePath("brand.pdf")));
        });
        QCOMPARE(lines.size(), 2);
        QVERIFY(!QFile::exists(m_files.filePath("brand.pdf")));
    }

    // A removed template leaves a stored index past the end: the last template is used.
    void copyFormatsFollowTheUsersList() {
        CopyFormats::setUserFormats({"§{h}", "rgb(§r §g §b)"});
        QCOMPARE(CopyFormats::all().size(), 8);
        QCOMPARE(CopyFormats::at(6), QStringLiteral("§{h}"));
        QCOMPARE(CopyFormats::at(99), QStringLiteral("rgb(§r §g §b)"));
        QCOMPARE(CopyFormats::at(-1), QStringLiteral("§r, §g, §b"));
        Settings::sync();
        QSettings raw(Settings::fileName(), QSettings::IniFormat);
        QCOMPARE(raw.value("formats.user").toStringList(), QStringList({"§{h}", "rgb(§r §g §b)"}));
        CopyFormats::setUserFormats({});
        QCOMPARE(CopyFormats::at(99), QStringLiteral("#§hexA"));
    }
};

SWATCHBAR_TEST_CORE_MAIN(PaletteTransferTest)
#include "PaletteTransferTest.moc"
