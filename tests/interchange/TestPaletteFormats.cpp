#include "TestSupport.h"

#include "interchange/AseFormat.h"
#include "interchange/CssFormat.h"
#include "interchange/GplFormat.h"
#include "interchange/PaletteFile.h"
#include "interchange/TextFormat.h"

#include <QFile>
#include <QtEndian>
#include <bit>
#include <cmath>

namespace {

QByteArray fixture(const QString &name) {
    QFile file(qEnvironmentVariable("SWATCHBAR_TEST_DATA") + QStringLiteral("/interchange/") +
               name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(file.fileName()));
    return file.readAll();
}

// Builds Adobe swatch files the way the format's description lays them out.
class AseBuilder {
public:
    explicit AseBuilder(quint32 declaredBlocks = 0, quint16 major = 1) {
        m_bytes = "ASEF";
        u16(m_bytes, major);
        u16(m_bytes, 0);
        u32(m_bytes, declaredBlocks);
    }
    AseBuilder &group(const QString &name) {
        QByteArray body;
        utf16(body, name);
        return block(0xC001, body);
    }
    AseBuilder &groupEnd() { return block(0xC002, {}); }
    AseBuilder &color(const QString &name, const char model[4], QList<float> values,
                      quint16 type = 2) {
        QByteArray body;
        utf16(body, name);
        body.append(model, 4);
        for (const float v : values)
            u32(body, std::bit_cast<quint32>(v));
        u16(body, type);
        return block(0x0001, body);
    }
    AseBuilder &block(quint16 type, const QByteArray &body) {
        u16(m_bytes, type);
        u32(m_bytes, quint32(body.size()));
        m_bytes += body;
        ++m_blocks;
        return *this;
    }
    // The block count in the header: the blocks added unless given.
    QByteArray bytes(std::optional<quint32> count = std::nullopt) const {
        QByteArray out = m_bytes;
        qToBigEndian<quint32>(count.value_or(m_blocks), out.data() + 8);
        return out;
    }

private:
    static void u16(QByteArray &b, quint16 v) {
        char c[2];
        qToBigEndian(v, c);
        b.append(c, 2);
    }
    static void u32(QByteArray &b, quint32 v) {
        char c[4];
        qToBigEndian(v, c);
        b.append(c, 4);
    }
    static void utf16(QByteArray &b, const QString &s) {
        u16(b, quint16(s.size() + 1));
        for (const QChar c : s)
            u16(b, c.unicode());
        u16(b, 0);
    }
    QByteArray m_bytes;
    quint32 m_blocks = 0;
};

Palette sample() {
    return Palette{QStringLiteral("Brand / Web"),
                   {PaletteColor{QStringLiteral("Orange"), {1.0, 127 / 255.0, 0.0, std::nullopt}},
                    PaletteColor{QStringLiteral("Ink ✓ ünïcode"), {0.2, 0.4, 0.6, 1.0}},
                    PaletteColor{QStringLiteral("Orange"), {0.0, 0.0, 0.0, std::nullopt}},
                    PaletteColor{QStringLiteral("Paper"), {1.0, 1.0, 1.0, std::nullopt}}}};
}

bool sameColor(const SerializableColor &a, const SerializableColor &b, double tolerance,
               bool withAlpha) {
    return std::fabs(a.red - b.red) <= tolerance && std::fabs(a.green - b.green) <= tolerance &&
           std::fabs(a.blue - b.blue) <= tolerance &&
           (!withAlpha || std::fabs(a.alpha.value_or(1.0) - b.alpha.value_or(1.0)) <= tolerance);
}

} // namespace

class TestPaletteFormats : public QObject {
    Q_OBJECT

private slots:
    // Export then import gives the same colours, names and order, within what the format keeps.
    void roundTrips_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<double>("tolerance");
        QTest::addColumn<bool>("keepsAlpha");
        QTest::newRow("gpl, 8-bit") << int(PaletteFile::Format::Gpl) << 0.0 << false;
        QTest::newRow("ase, float") << int(PaletteFile::Format::Ase) << 1e-7 << false;
        QTest::newRow("css") << int(PaletteFile::Format::Css) << 0.0 << true;
        QTest::newRow("txt") << int(PaletteFile::Format::Text) << 0.0 << true;
        QTest::newRow("json, exact") << int(PaletteFile::Format::Json) << 0.0 << true;
    }
    void roundTrips() {
        QFETCH(int, format);
        QFETCH(double, tolerance);
        QFETCH(bool, keepsAlpha);
        Palette palette = sample();
        if (keepsAlpha)
            palette.palColors.append({QStringLiteral("Glass"), {0.2, 0.4, 0.6, 0.2}});
        const auto f = PaletteFile::Format(format);
        const std::optional<QByteArray> bytes = PaletteFile::encode(palette, f);
        QVERIFY(bytes);
        const ReadResult back = PaletteFile::decode(*bytes, f, QStringLiteral("Brand / Web"));
        QVERIFY2(back.palette, qPrintable(back.error));
        QCOMPARE(back.palette->palName, palette.palName);
        QCOMPARE(back.palette->palColors.size(), palette.palColors.size());
        for (qsizetype i = 0; i < palette.palColors.size(); ++i) {
            QCOMPARE(back.palette->palColors[i].colName, palette.palColors[i].colName);
            QVERIFY2(sameColor(back.palette->palColors[i].colColor, palette.palColors[i].colColor,
                               tolerance, keepsAlpha),
                     qPrintable(back.palette->palColors[i].colName));
        }
        // Writing what was read gives the same bytes again.
        QCOMPARE(PaletteFile::encode(*back.palette, f), bytes);
    }

    void writesWhatOtherProgramsRead() {
        QCOMPARE(GplFormat::write(sample()),
                 QByteArray("GIMP Palette\nName: Brand / Web\n#\n255 127   0\tOrange\n"
                            " 51 102 153\tInk \xe2\x9c\x93 \xc3\xbcn\xc3\xaf"
                            "code\n"
                            "  0   0   0\tOrange\n255 255 255\tPaper\n"));
        Palette odd{QStringLiteral("a\nb"),
                    {{QStringLiteral("x\ty"), {1.5, -0.5, std::nan(""), 0.5}}}};
        QCOMPARE(GplFormat::write(odd),
                 QByteArray("GIMP Palette\nName: a b\n#\n255   0   0\tx y\n"));
        QCOMPARE(TextFormat::write(odd), QByteArray("#FF00007F x y\n"));
        QCOMPARE(CssFormat::write(sample()), QByteArray("/* Brand / Web */\n:root {\n"
                                                        "  --orange: #FF7F00; /* Orange */\n"
                                                        "  --ink-\xc3\xbcn\xc3\xaf"
                                                        "code: #336699; /* Ink \xe2\x9c\x93 "
                                                        "\xc3\xbcn\xc3\xaf"
                                                        "code */\n"
                                                        "  --orange-2: #000000; /* Orange */\n"
                                                        "  --paper: #FFFFFF; /* Paper */\n}\n"));
        QCOMPARE(CssFormat::slug(QStringLiteral("  Brand Orange!! ")),
                 QStringLiteral("brand-orange"));
        QCOMPARE(CssFormat::slug(QStringLiteral("***")), QStringLiteral("color"));
        // Header, then one 34-byte block per colour: name of 7 units ("Orange" and NUL).
        const QByteArray ase = AseFormat::write(sample());
        QCOMPARE(ase.left(12), QByteArray("ASEF\0\1\0\0\0\0\0\4", 12));
        QCOMPARE(ase.mid(12, 6), QByteArray("\0\1\0\0\0\x22", 6));
        QCOMPARE(ase.mid(18, 16), QByteArray("\0\7\0O\0r\0a\0n\0g\0e\0\0", 16));
    }

    void readsGimpPaletteWithHeaderAndComments() {
        const ReadResult read = PaletteFile::decode(fixture(QStringLiteral("tango.gpl")),
                                                    PaletteFile::Format::Gpl, QStringLiteral("f"));
        QVERIFY2(read.palette, qPrintable(read.error));
        QCOMPARE(read.palette->palName, QStringLiteral("Tango Icons"));
        const QList<PaletteColor> &c = read.palette->palColors;
        QCOMPARE(c.size(), 5);
        QCOMPARE(c[0], (PaletteColor{QStringLiteral("Butter 1"),
                                     {252 / 255.0, 233 / 255.0, 79 / 255.0, std::nullopt}}));
        QCOMPARE(c[2].colName, QStringLiteral("#C4A000"));
        QCOMPARE(c[3].colName, QStringLiteral("Untitled"));
        QCOMPARE(c[4], (PaletteColor{QStringLiteral("Out of range"),
                                     {1.0, 0.0, 128 / 255.0, std::nullopt}}));
        // 8-bit values are exact fractions of 255.
        QCOMPARE(GplFormat::read("GIMP Palette\n102 51 0\n", QStringLiteral("x"))
                     .palette->palColors[0]
                     .colColor.value()
                     .red,
                 0.4);
        QCOMPARE(GplFormat::read("GIMP Palette\n", QStringLiteral("Fallback")).palette->palName,
                 QStringLiteral("Fallback"));
    }

    void readsAdobeSwatchesOfEveryModel() {
        const QByteArray bytes =
            AseBuilder()
                .color(QStringLiteral("Loose"), "RGB ", {1.0f, 0.4f, 0.0f})
                .group(QStringLiteral("Print"))
                .color(QStringLiteral("Cyan ink"), "CMYK", {1, 0, 0, 0}, 1)
                .color(QStringLiteral("Rich black"), "CMYK", {0.2f, 0.2f, 0.2f, 1})
                .color(QStringLiteral("Half gray"), "Gray", {0.5f})
                .groupEnd()
                .group(QStringLiteral("Lab"))
                .color(QStringLiteral("Lab red"), "LAB ", {0.5429f, 80.82f, 69.88f}, 0)
                .color(QString(), "LAB ", {1.0f, 0.0f, 0.0f})
                .groupEnd()
                .bytes();
        const ReadResult read = AseFormat::read(bytes, QStringLiteral("Swatches"));
        QVERIFY2(read.palette, qPrintable(read.error));
        QCOMPARE(read.palette->palName, QStringLiteral("Swatches"));
        const QList<PaletteColor> &c = read.palette->palColors;
        QCOMPARE(c.size(), 6);
        QStringList names;
        for (const PaletteColor &color : c)
            names << color.colName;
        QCOMPARE(names, QStringList({"Loose", "Cyan ink", "Rich black", "Half gray", "Lab red",
                                     "#FFFFFF"}));
        // The float 0.4f was written from 102/255: it comes back as that exact fraction.
        QCOMPARE(c[0].colColor, (SerializableColor{1.0, 0.4, 0.0, std::nullopt}));
        QCOMPARE(c[1].colColor, (SerializableColor{0.0, 1.0, 1.0, std::nullopt}));
        QCOMPARE(c[2].colColor, (SerializableColor{0.0, 0.0, 0.0, std::nullopt}));
        QCOMPARE(c[3].colColor, (SerializableColor{0.5, 0.5, 0.5, std::nullopt}));
        QVERIFY(sameColor(c[4].colColor, {1.0, 0.0, 0.0, std::nullopt}, 0.004, false));
    }

    void readsStyleSheetsOfMixedSyntax() {
        const ReadResult read =
            PaletteFile::decode(fixture(QStringLiteral("brand.css")), PaletteFile::Format::Css,
                                QStringLiteral("brand"));
        QVERIFY2(read.palette, qPrintable(read.error));
        QStringList names;
        QStringList hex;
        for (const PaletteColor &color : read.palette->palColors) {
            names << color.colName;
            hex << PaletteFile::hexName(color.colColor);
        }
        // Not the red in the comment, not the named "white". hsl(210 50% 40%) lands a hair
        // under red 0.2, and byte values truncate: 0x32, as the copy texts show it.
        QCOMPARE(names, QStringList({"Brand orange", "brand-ink", "shadow", "#326699", "#FFFFFF",
                                     "#CC906480"}));
        QCOMPARE(hex, QStringList(
                          {"#FF7F00", "#141E28", "#0000007F", "#326699", "#FFFFFF", "#CC906480"}));
        QCOMPARE(read.palette->palColors[0].colColor.value().alpha, OptionalDouble());
    }

    void readsPlainTextLineByLine() {
        const ReadResult read =
            PaletteFile::decode(fixture(QStringLiteral("notes.txt")), PaletteFile::Format::Text,
                                QStringLiteral("notes"));
        QVERIFY2(read.palette, qPrintable(read.error));
        QStringList names;
        for (const PaletteColor &color : read.palette->palColors)
            names << color.colName + QLatin1Char('=') + PaletteFile::hexName(color.colColor);
        QCOMPARE(names,
                 QStringList({"Sky=#3A7BD5", "#FF7F00=#FF7F00", "Accent=#FF0080", "Tan=#CC9064"}));
    }

    // Every kind of bad file gives one message and no palette.
    void refusesBadFiles_data() {
        QTest::addColumn<int>("format");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const int ase = int(PaletteFile::Format::Ase);
        const int gpl = int(PaletteFile::Format::Gpl);
        const QByteArray good = AseBuilder().color(QStringLiteral("A"), "RGB ", {1, 0, 0}).bytes();
        QTest::newRow("ase: empty") << ase << QByteArray() << "not an Adobe swatch file";
        QTest::newRow("ase: wrong magic")
            << ase << QByteArray("ASEX\0\1\0\0\0\0\0\0", 12) << "not an Adobe swatch file";
        QTest::newRow("ase: header cut") << ase << good.left(9) << "the header is cut short";
        QTest::newRow("ase: version 2") << ase << AseBuilder(0, 2).bytes() << "version 2.0";
        QTest::newRow("ase: huge block count")
            << ase << AseBuilder().bytes(0xFFFFFFFF) << "it declares 4294967295 blocks";
        QTest::newRow("ase: one block missing")
            << ase << AseBuilder().color("A", "RGB ", {1, 0, 0}).bytes(2) << "block 2: cut short";
        QTest::newRow("ase: block cut")
            << ase << good.chopped(3) << "block 1: declares 24 bytes, only 21";
        QByteArray hugeLength = good;
        qToBigEndian<quint32>(0x7FFFFFFF, hugeLength.data() + 14);
        QTest::newRow("ase: huge block length") << ase << hugeLength << "declares 2147483647 bytes";
        QByteArray hugeName = good;
        qToBigEndian<quint16>(0xFFFF, hugeName.data() + 18);
        QTest::newRow("ase: name longer than block")
            << ase << hugeName << "the colour is cut short";
        QTest::newRow("ase: values cut")
            << ase << AseBuilder().block(1, QByteArray("\0\1\0\0RGB \0\0\0\0", 12)).bytes()
            << "the colour values are cut short";
        QTest::newRow("ase: unknown model")
            << ase << AseBuilder().color("A", "HSV ", {1, 0, 0}).bytes()
            << "unknown colour model \"HSV \"";
        QTest::newRow("ase: NaN") << ase << AseBuilder().color("A", "RGB ", {NAN, 0, 0}).bytes()
                                  << "not a finite number";
        QTest::newRow("gpl: no header")
            << gpl << QByteArray("255 0 0 Red\n") << "not a GIMP palette";
        QTest::newRow("gpl: not UTF-8")
            << gpl << QByteArray("GIMP Palette\n1 2 3 Caf\xe9\n") << "not valid UTF-8";
        QTest::newRow("gpl: two numbers") << gpl << QByteArray("GIMP Palette\nName: x\n1 2\n")
                                          << "line 3: a colour needs three numbers";
        QTest::newRow("gpl: a word") << gpl << QByteArray("GIMP Palette\n1 2 blue Sky\n")
                                     << "line 2: \"blue\" is not a whole number";
        QTest::newRow("css: nothing")
            << int(PaletteFile::Format::Css) << QByteArray("body { color: red; }")
            << "no hex, rgb() or hsl()";
        QTest::newRow("txt: nothing")
            << int(PaletteFile::Format::Text) << QByteArray("hello\n") << "no colour found";
        QTest::newRow("json: truncated")
            << int(PaletteFile::Format::Json) << QByteArray("{\"palName\":\"x\",") << "";
    }
    void refusesBadFiles() {
        QFETCH(int, format);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        const ReadResult read = PaletteFile::decode(bytes, PaletteFile::Format(format), "x");
        QVERIFY(!read.palette);
        QVERIFY(!read.error.isEmpty());
        QVERIFY2(read.error.contains(error), qPrintable(read.error));
        QVERIFY(!read.error.contains(QLatin1Char('\n')));
    }

    void picksTheFormatFromExtensionThenContent() {
        QCOMPARE(PaletteFile::formatForPath("a/b.GPL"), PaletteFile::Format::Gpl);
        QCOMPARE(PaletteFile::formatForPath("x.tar.ase"), PaletteFile::Format::Ase);
        QCOMPARE(PaletteFile::formatForPath("x.pal"), std::nullopt);
        QCOMPARE(PaletteFile::formatForContent("x", "ASEF...."), PaletteFile::Format::Ase);
        QCOMPARE(PaletteFile::formatForContent("x", "GIMP Palette\n"), PaletteFile::Format::Gpl);
        QCOMPARE(PaletteFile::formatForContent("x", " {\"palName\""), PaletteFile::Format::Json);
        QCOMPARE(PaletteFile::formatForContent("x", "#fff"), PaletteFile::Format::Text);
    }

    void readsAndWritesFiles() {
        QTemporaryDir dir;
        const QString gpl = dir.filePath("Brand.gpl");
        QString error;
        QVERIFY(PaletteFile::write(gpl, sample(), &error));
        const ReadResult read = PaletteFile::read(gpl);
        QVERIFY2(read.palette, qPrintable(read.error));
        QCOMPARE(read.palette->palColors.size(), 4);
        // Unknown extension: nothing written.
        QVERIFY(!PaletteFile::write(dir.filePath("Brand.pal"), sample(), &error));
        QVERIFY(error.contains(".gpl, .ase"));
        QVERIFY(!QFile::exists(dir.filePath("Brand.pal")));
        // A palette that cannot be encoded leaves the old file as it was.
        Palette bad = sample();
        SerializableColor notANumber = bad.palColors[0].colColor;
        notANumber.red = std::nan("");
        bad.palColors[0].colColor = notANumber;
        QFile old(gpl);
        QVERIFY(old.open(QIODevice::ReadOnly));
        const QByteArray before = old.readAll();
        old.close();
        QVERIFY(!PaletteFile::write(dir.filePath("Brand.json"), bad, &error));
        QVERIFY(!QFile::exists(dir.filePath("Brand.json")));
        QVERIFY(PaletteFile::write(gpl, bad, &error)); // .gpl clamps what it cannot show
        // Not a file: a folder, a missing file.
        QVERIFY(PaletteFile::read(dir.path()).error.contains("directory"));
        QVERIFY(!PaletteFile::read(dir.filePath("missing.gpl")).error.isEmpty());
        QVERIFY(!before.isEmpty());
    }
};

SWATCHBAR_TEST_CORE_MAIN(TestPaletteFormats)
#include "TestPaletteFormats.moc"
