#include "TestSupport.h"

#include "model/ColorEdit.h"
#include "model/ColorText.h"
#include "model/ColorValue.h"
#include "model/PaletteCodec.h"
#include "model/PaletteFilter.h"

#include <QFile>
#include <bit>
#include <cmath>
#include <limits>

namespace {

const QByteArray kExample =
    R"({"palName":"Colors","palColors":[{"colName":"New color","colColor":{"red":1,"green":0.5,"blue":0,"alpha":1}},{"colName":"New color","colColor":{"red":0.2,"green":0.2,"blue":0.2}}]})";

Palette examplePalette() {
    return Palette{QStringLiteral("Colors"),
                   {PaletteColor{QStringLiteral("New color"), {1.0, 0.5, 0.0, 1.0}},
                    PaletteColor{QStringLiteral("New color"), {0.2, 0.2, 0.2, std::nullopt}}}};
}

QByteArray fixture(const QString &name) {
    QFile file(qEnvironmentVariable("SWATCHBAR_TEST_DATA") + QStringLiteral("/model/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(file.fileName()));
    return file.readAll();
}

Palette roundTrip(const Palette &palette) {
    const std::optional<QByteArray> json = PaletteCodec::encode(palette);
    if (!json)
        return {};
    const PaletteCodec::DecodeResult result = PaletteCodec::decode(*json);
    return result.palette.value_or(Palette{});
}

QByteArray colorFile(const QByteArray &colColor) {
    return R"({"palName":"p","palColors":[{"colName":"c","colColor":)" + colColor + "}]}";
}

SerializableColor tableColor() {
    return {1.0, 0.5, 0.0, std::nullopt};
}

// Equal names and bit-identical components, -0.0 and NaN included.
bool identical(const Palette &a, const Palette &b) {
    if (a.palName != b.palName || a.palColors.size() != b.palColors.size())
        return false;
    const auto bits = [](double v) {
        return std::bit_cast<quint64>(v);
    };
    for (qsizetype i = 0; i < a.palColors.size(); ++i) {
        const SerializableColor x = a.palColors[i].colColor, y = b.palColors[i].colColor;
        if (a.palColors[i].colName != b.palColors[i].colName || bits(x.red) != bits(y.red) ||
            bits(x.green) != bits(y.green) || bits(x.blue) != bits(y.blue) ||
            x.alpha.has_value() != y.alpha.has_value() ||
            (x.alpha && bits(*x.alpha) != bits(*y.alpha)))
            return false;
    }
    return true;
}

} // namespace

class TestModel : public QObject {
    Q_OBJECT

private slots:

    // The quick reader of written files never disagrees with the full one: whatever it reads,
    // decode() reads the same, bit for bit, and encodesTo() accepts. It reads every written
    // file with plain names, and gives up on anything else, here every one-byte change.
    void writtenFormReaderAgreesWithTheFullReader() {
        const Palette palette{
            QStringLiteral("Brand 2024 ~ {x}"),
            {{QStringLiteral("Red"), {1.0, 0.0, 0.0, std::nullopt}},
             {QStringLiteral("Half"), {0.5, 0.25, 0.1, 0.37}},
             {QString(), {-0.0, 1e20, 1e-7, 0.0}},
             {QStringLiteral("Odd"), {18446744073709552000.0, 123456789.0, 1.0 / 3.0, 2.5e-300}}}};
        const QByteArray written = PaletteCodec::encode(palette).value();
        const auto quick = PaletteCodec::decodeWrittenForm(written);
        QVERIFY(quick);
        QVERIFY(identical(*quick, palette));
        QVERIFY(PaletteCodec::decodeWrittenForm(
            PaletteCodec::encode(Palette{QStringLiteral("Empty"), {}}).value()));

        QList<QByteArray> inputs{
            "\xEF\xBB\xBF" + written,
            written + "\n",
            R"({"palName":"A","palColors":[{"colName":"B","colColor":{"red":-0,"green":0,"blue":0}}]})",
            R"({"palName":"A","palColors":[{"colName":"B","colColor":{"red":1e5,"green":0,"blue":0}}]})",
            R"({"palName":"A","palColors":[{"colName":"B","colColor":{"red":1.0,"green":0,"blue":0}}]})",
            R"({"palName":"A","palColors":[{"colName":"B","colColor":{"red":1,"green":0,"blue":0,"alpha":null}}]})",
            R"({"palName":"A\n","palColors":[]})",
            R"({"palName":"\u00e9","palColors":[]})",
            "{\"palName\":\"\xC3\xA9\",\"palColors\":[]}",
            R"({"palColors":[],"palName":"A"})",
            R"({"palName":"A", "palColors":[]})",
            R"({"palName":"A","palColors":[],"palName":"B"})",
        };
        const char replacements[] = {'0',  '1', '9', '-', '+', '.', 'e',    'E',    '"',
                                     '\\', ',', '}', ']', ' ', 'a', '\x7f', '\x80', '\0'};
        for (qsizetype i = 0; i < written.size(); ++i) {
            inputs.append(QByteArray(written).remove(i, 1));
            for (const char c : replacements) {
                if (written[i] != c)
                    inputs.append(QByteArray(written).replace(i, 1, QByteArray(1, c)));
            }
        }
        int quickReads = 0;
        for (const QByteArray &input : inputs) {
            const auto read = PaletteCodec::decodeWrittenForm(input);
            if (!read)
                continue;
            ++quickReads;
            const auto full = PaletteCodec::decode(input);
            QVERIFY2(full.palette, input.constData());
            QVERIFY2(identical(*read, *full.palette), input.constData());
            QVERIFY2(PaletteCodec::encodesTo(*read, input), input.constData());
        }
        // A changed name character still reads (it is another written file); nothing else.
        QVERIFY(quickReads > 0);
        QVERIFY(quickReads < inputs.size() / 4);
    }
    // Finding by typing: names anywhere without case, hex from "#" only at the start, number
    // lists by whole components.
    void filterMatchesNamesAndColourTexts() {
        const PaletteColor orange{QStringLiteral("Sunset"),
                                  SerializableColor{1, 127.0 / 255, 0, {}}};
        const PaletteColor teal{QStringLiteral("Sea"), SerializableColor{0, 0.5, 0.5, 0.25}};
        const Palette warm{QStringLiteral("Warm tones"), {orange}};
        const struct {
            const char *text;
            bool orange, teal;
        } cases[] = {
            {"", true, true},          {"  ", true, true},         {"sun", true, false},
            {"SEA", false, true},      {"ff7f00", true, false},    {"#ff7f", true, false},
            {"#7f00", false, false},   {"7f00", true, false},      {"FF7F00FF", true, false},
            {"255, 127", true, false}, {"255,127,0", true, false}, {"255 127", true, false},
            {"55, 127", false, false}, {"255, 12", true, false},   {"0, 127, 127, 63", false, true},
            {"#", false, false},       {"zz", false, false}};
        for (const auto &c : cases) {
            const PaletteFilter filter{QString::fromLatin1(c.text)};
            QVERIFY2(filter.matches(orange) == c.orange, c.text);
            QVERIFY2(filter.matches(teal) == c.teal, c.text);
        }
        QVERIFY(PaletteFilter(QStringLiteral("tones")).matches(warm));
        QVERIFY(PaletteFilter(QStringLiteral("#ff7f00")).matches(warm));
        QVERIFY(!PaletteFilter(QStringLiteral("sea")).matches(warm));
        // Components no byte holds never match a number list, and do not throw it off.
        const PaletteColor odd{QStringLiteral("x"), SerializableColor{2, -1, 0, {}}};
        QVERIFY(!PaletteFilter(QStringLiteral("510")).matches(odd));
    }

    void severalColoursAddedAtOnceAreUndoneAtOnce() {
        const PaletteColor a{QStringLiteral("a"), {1, 0, 0, 1.0}};
        const PaletteColor b{QStringLiteral("b"), {0, 1, 0, 1.0}};
        const PaletteColor c{QStringLiteral("c"), {0, 0, 1, 1.0}};
        const Palette before{QStringLiteral("p"), {a}};
        Palette palette = before;
        const ColorEdit paste = ColorEdit::addAll({b, c, b});
        QVERIFY(paste.applyTo(palette));
        QCOMPARE(palette.palColors, (QList<PaletteColor>{a, b, c, b}));
        const ColorEdit undo = paste.inverse(int(palette.palColors.size()));
        Palette changed = palette;
        changed.palColors[2].colName = QStringLiteral("renamed");
        QVERIFY(!undo.applyTo(changed)); // the pasted run is no longer as pasted
        QVERIFY(undo.applyTo(palette));
        QCOMPARE(palette, before);
    }

    // ---- writing -------------------------------------------------------------------------

    void encodesTheExampleByteForByte() {
        const std::optional<QByteArray> json = PaletteCodec::encode(examplePalette());
        QVERIFY(json);
        QCOMPARE(*json, kExample);
        QCOMPARE(*json, fixture(QStringLiteral("example.json")));
    }

    void encodesEmptyPaletteAndEscapes() {
        QCOMPARE(*PaletteCodec::encode(Palette{}), QByteArray(R"({"palName":"","palColors":[]})"));
        const Palette palette{QStringLiteral("a\"b\\c\nd\te\x01\x1f/\u00e9\u2713"), {}};
        QCOMPARE(*PaletteCodec::encode(palette),
                 QByteArray(R"({"palName":"a\"b\\c\nd\te\u0001\u001f/)") +
                     QByteArray("\xc3\xa9\xe2\x9c\x93\",\"palColors\":[]}"));
    }

    void encodesLoneSurrogateAsReplacementCharacter() {
        const Palette palette{QString(QChar(0xD800)) + QStringLiteral("x"), {}};
        const QByteArray json = *PaletteCodec::encode(palette);
        QVERIFY(json.contains("\xef\xbf\xbdx"));
        QVERIFY(PaletteCodec::decode(json).palette);
    }

    void refusesNonFiniteComponents_data() {
        QTest::addColumn<SerializableColor>("color");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("nan red") << SerializableColor{nan, 0, 0, std::nullopt};
        QTest::newRow("inf green") << SerializableColor{0, inf, 0, std::nullopt};
        QTest::newRow("-inf blue") << SerializableColor{0, 0, -inf, std::nullopt};
        QTest::newRow("nan alpha") << SerializableColor{0, 0, 0, nan};
    }
    void refusesNonFiniteComponents() {
        QFETCH(SerializableColor, color);
        Palette palette = examplePalette();
        palette.palColors.append(PaletteColor{QStringLiteral("bad"), color});
        QVERIFY(!PaletteCodec::encode(palette));
    }

    void alphaKeepsAbsentApartFromEveryValue() {
        // Absence is a NaN pattern inside the type: no stored value may ever read as absent.
        const std::uint64_t nanBits[] = {0x7ff8'0000'0000'0000ULL, 0xfff8'0000'0000'0001ULL,
                                         0x7ff0'0000'0000'0001ULL, 0x7ffc'a15e'4ab5'e47dULL,
                                         0x7fff'ffff'ffff'ffffULL};
        for (const std::uint64_t bits : nanBits) {
            OptionalDouble alpha = std::bit_cast<double>(bits);
            QVERIFY(alpha.has_value());
            QVERIFY(std::isnan(*alpha));
            QVERIFY(alpha != OptionalDouble());
            QVERIFY(alpha != alpha); // a NaN equals nothing, as in std::optional
            QVERIFY(!PaletteCodec::encode(
                Palette{QStringLiteral("p"),
                        {PaletteColor{QStringLiteral("c"), SerializableColor{0, 0, 0, alpha}}}}));
        }
        OptionalDouble alpha = -0.0;
        QVERIFY(alpha.has_value() && std::signbit(*alpha));
        QCOMPARE(alpha.value_or(1.0), 0.0);
        alpha.reset();
        QVERIFY(!alpha && alpha == OptionalDouble(std::nullopt));
        QCOMPARE(alpha.value_or(0.25), 0.25);
        QCOMPARE(std::optional<double>(alpha), std::optional<double>());
        alpha = 0.5;
        QCOMPARE(std::optional<double>(alpha), std::optional<double>(0.5));
    }

    // ---- round trips ---------------------------------------------------------------------

    void roundTripsValuesUnchanged() {
        const double values[] = {1.5,
                                 -0.2,
                                 0.1 + 0.2,
                                 1e-300,
                                 std::numeric_limits<double>::denorm_min(),
                                 std::numeric_limits<double>::min() / 3,
                                 std::numeric_limits<double>::max(),
                                 -0.0,
                                 1e22,
                                 123456789.123456789,
                                 1.0 / 3.0};
        Palette palette{QStringLiteral("Ärger ✓ 🎨 \"q\" \\ \b\f\r"), {}};
        palette.palColors.append(PaletteColor{QStringLiteral("\uFEFF\uFEFFstarts with BOMs"), {}});
        for (const double value : values)
            palette.palColors.append(
                PaletteColor{QStringLiteral("näme"), {value, value, value, value}});
        palette.palColors.append(PaletteColor{QString(), {0.2, 0.4, 0.6, std::nullopt}});
        const Palette back = roundTrip(palette);
        QCOMPARE(back, palette);
        // Compare bits too: == cannot tell -0.0 from 0.0.
        for (qsizetype i = 0; i < palette.palColors.size(); ++i)
            QVERIFY(std::signbit(back.palColors[i].colColor.value().red) ==
                    std::signbit(palette.palColors[i].colColor.value().red));
    }

    void repeatedColourNamesStayIndependent() {
        // Equal names read from files may share storage: more distinct names than a reader
        // would keep at hand, read twice, then edits to one copy.
        Palette palette{QStringLiteral("many"), {}};
        for (int i = 0; i < 3000; ++i)
            palette.palColors.append(
                PaletteColor{QStringLiteral("Color %1").arg(i % 1500), tableColor()});
        const Palette first = roundTrip(palette);
        Palette second = roundTrip(palette);
        QCOMPARE(first, palette);
        QCOMPARE(second, palette);
        // Names are shared: renaming one colour leaves every other holder of the text alone.
        second.palColors[0].colName = second.palColors[0].colName.toString() + QLatin1Char('!');
        QString renamed = second.palColors[1500].colName;
        renamed[0] = QLatin1Char('c');
        second.palColors[1500].colName = renamed;
        QCOMPARE(second.palColors[0].colName, QStringLiteral("Color 0!"));
        QCOMPARE(second.palColors[1500].colName, QStringLiteral("color 0"));
        QCOMPARE(first, palette);
        QCOMPARE(roundTrip(palette), palette);
    }

    void readsHandEditedFile() {
        const PaletteCodec::DecodeResult result =
            PaletteCodec::decode(fixture(QStringLiteral("hand-edited.json")));
        QVERIFY2(result.palette, qPrintable(result.error));
        const Palette &palette = *result.palette;
        QCOMPARE(palette.palName, QStringLiteral("Ärger ✓ 🎨"));
        QCOMPARE(palette.palColors.size(), 2);
        QCOMPARE(palette.palColors[0].colName, QStringLiteral("Grün \"neu\""));
        QCOMPARE(palette.palColors[0].colColor, (SerializableColor{0.0, 1.0, 0.0, std::nullopt}));
        QCOMPARE(palette.palColors[1].colName, QStringLiteral("Über\\all"));
        QCOMPARE(palette.palColors[1].colColor,
                 (SerializableColor{1.5, -0.2, 12345678901234567890123.0, 0.25}));
        // Unknown keys and the null alpha are gone when written again.
        const QByteArray again = *PaletteCodec::encode(palette);
        QVERIFY(!again.contains("version") && !again.contains("tags") && !again.contains("space"));
        QVERIFY(!again.contains("null"));
        QVERIFY(again.contains(R"("colColor":{"red":0,"green":1,"blue":0}})"));
    }

    void readsNumbersOfEveryKind_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("zero") << QByteArray("0") << 0.0;
        QTest::newRow("negative integer") << QByteArray("-3") << -3.0;
        QTest::newRow("uint64 max") << QByteArray("18446744073709551615") << 18446744073709551615.0;
        QTest::newRow("beyond uint64") << QByteArray("100000000000000000000") << 1e20;
        QTest::newRow("beyond int64 negative")
            << QByteArray("-9223372036854775809") << -9223372036854775809.0;
        QTest::newRow("very long integer")
            << QByteArray("123456789012345678901234567890123456789012345678901234567890")
            << 1.2345678901234568e59;
        QTest::newRow("exponent") << QByteArray("1E-5") << 1e-5;
        QTest::newRow("subnormal") << QByteArray("5e-324") << 5e-324;
    }
    void readsNumbersOfEveryKind() {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const auto result = PaletteCodec::decode(
            colorFile(R"({"red":)" + text + R"(,"green":0,"blue":")" + text + R"(x"})"));
        QVERIFY(!result.palette); // blue is a string here, holding the same digits
        const auto good = PaletteCodec::decode(
            colorFile(R"({"red":)" + text + R"(,"green":0,"blue":1,"n":")" + text + R"("})"));
        QVERIFY2(good.palette, qPrintable(good.error));
        QCOMPARE(good.palette->palColors[0].colColor.value().red, expected);
    }

    void acceptsByteOrderMarkAndLastDuplicateKeyWins() {
        const auto bom = PaletteCodec::decode(fixture(QStringLiteral("bom.json")));
        QVERIFY2(bom.palette, qPrintable(bom.error));
        QCOMPARE(bom.palette->palName, QStringLiteral("bom"));

        const auto duplicate =
            PaletteCodec::decode(R"({"palName":1,"palColors":[],"palName":"second"})");
        QVERIFY2(duplicate.palette, qPrintable(duplicate.error));
        QCOMPARE(duplicate.palette->palName, QStringLiteral("second"));
    }

    // ---- rejections ----------------------------------------------------------------------

    void rejectsWithLocatedDescription_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("empty") << QByteArray() << "empty text";
        QTest::newRow("only bom") << QByteArray("\xef\xbb\xbf") << "empty text";
        QTest::newRow("whitespace") << QByteArray(" \n") << "not valid JSON: Empty: no JSON found";
        QTest::newRow("not json") << QByteArray("palette") << "not valid JSON: ";
        QTest::newRow("truncated") << kExample.left(kExample.size() - 3) << "not valid JSON: ";
        QTest::newRow("trailing garbage") << kExample + "x"
                                          << "not valid JSON: ";
        QTest::newRow("invalid utf-8") << fixture(QStringLiteral("invalid-utf8.json"))
                                       << "not valid JSON: The input is not valid UTF-8";
        QTest::newRow("out of double range") << colorFile(R"({"red":1e400,"green":0,"blue":0})")
                                             << "palColors[0].colColor.red: a number too large";
        QTest::newRow("deep nesting")
            << QByteArray(100000, '[') + QByteArray(100000, ']') << "not valid JSON: ";
        QTest::newRow("top level array")
            << QByteArray("[]") << "top level: expected an object, got array";
        QTest::newRow("missing palName")
            << QByteArray(R"({"palColors":[]})") << R"(top level: missing key "palName")";
        QTest::newRow("missing palColors")
            << QByteArray(R"({"palName":"x"})") << R"(top level: missing key "palColors")";
        QTest::newRow("palName number") << QByteArray(R"({"palName":3,"palColors":[]})")
                                        << "palName: expected a string, got number";
        QTest::newRow("palColors object") << QByteArray(R"({"palName":"x","palColors":{}})")
                                          << "palColors: expected an array, got object";
        QTest::newRow("colour not object") << QByteArray(R"({"palName":"x","palColors":[null]})")
                                           << "palColors[0]: expected an object, got null";
        QTest::newRow("colName missing")
            << QByteArray(R"({"palName":"x","palColors":[{"colColor":{}}]})")
            << R"(palColors[0]: missing key "colName")";
        QTest::newRow("colName bool")
            << QByteArray(R"({"palName":"x","palColors":[{"colName":true,"colColor":{}}]})")
            << "palColors[0].colName: expected a string, got boolean";
        QTest::newRow("colColor array")
            << QByteArray(R"({"palName":"x","palColors":[{"colName":"","colColor":[1,2,3]}]})")
            << "palColors[0].colColor: expected an object, got array";
        QTest::newRow("blue missing in second colour")
            << QByteArray(
                   R"({"palName":"x","palColors":[{"colName":"","colColor":{"red":0,"green":0,"blue":0}},)"
                   R"({"colName":"","colColor":{"red":0,"green":0}}]})")
            << R"(palColors[1].colColor: missing key "blue")";
        QTest::newRow("red string") << colorFile(R"({"red":"1","green":0,"blue":0})")
                                    << "palColors[0].colColor.red: expected a number, got string";
        QTest::newRow("green null") << colorFile(R"({"red":1,"green":null,"blue":0})")
                                    << "palColors[0].colColor.green: expected a number, got null";
        QTest::newRow("alpha bool")
            << colorFile(R"({"red":1,"green":0,"blue":0,"alpha":false})")
            << "palColors[0].colColor.alpha: expected a number, got boolean";
    }
    void rejectsWithLocatedDescription() {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const PaletteCodec::DecodeResult result = PaletteCodec::decode(json);
        QVERIFY(!result.palette);
        QVERIFY2(result.error.startsWith(error), qPrintable(result.error));
        QVERIFY(result.error != QStringLiteral("not valid JSON: "));
    }

    void bigIntegerRewriteLeavesStringsAlone() {
        // The rewrite of long integers only runs after a number error; names must survive it.
        const QByteArray json =
            R"({"palName":"123456789012345678901234567890","palColors":[{"colName":"-99999999999999999999",)"
            R"("colColor":{"red":99999999999999999999,"green":0,"blue":0}}]})";
        const auto result = PaletteCodec::decode(json);
        QVERIFY2(result.palette, qPrintable(result.error));
        QCOMPARE(result.palette->palName, QStringLiteral("123456789012345678901234567890"));
        QCOMPARE(result.palette->palColors[0].colName, QStringLiteral("-99999999999999999999"));
        QCOMPARE(result.palette->palColors[0].colColor.value().red, 1e20);
        // Leading zeros stay invalid.
        QVERIFY(
            !PaletteCodec::decode(colorFile(R"({"red":000000000000000000001,"green":0,"blue":0})"))
                 .palette);
    }

    // "-0" keeps its sign through a rewrite; a number no double can hold rejects the file only
    // where it would be a component, never in a key the format drops.
    void signedZeroAndHugeNumbers() {
        const auto zero = PaletteCodec::decode(
            colorFile(R"({"red":-0,"green":0,"blue":-0.0,"note":"-0","x":[-0]})"));
        QVERIFY2(zero.palette, qPrintable(zero.error));
        const SerializableColor &c = zero.palette->palColors.at(0).colColor;
        QVERIFY(std::signbit(c.red));
        QVERIFY(!std::signbit(c.green));
        QVERIFY(std::signbit(c.blue));
        QVERIFY(PaletteCodec::encode(*zero.palette)->contains("\"red\":-0.0"));

        const auto ignored = PaletteCodec::decode(
            colorFile(R"({"red":1,"green":0,"blue":0,"extra":1e400,"more":[-2E+999]})"));
        QVERIFY2(ignored.palette, qPrintable(ignored.error));
        QCOMPARE(ignored.palette->palColors.at(0).colColor.value().red, 1.0);
        const auto tiny = PaletteCodec::decode(colorFile(R"({"red":1e-400,"green":0,"blue":0})"));
        QVERIFY2(tiny.palette, qPrintable(tiny.error));
        const auto used = PaletteCodec::decode(colorFile(R"({"red":1e400,"green":0,"blue":0})"));
        QVERIFY(!used.palette);
        QVERIFY2(used.error.contains(QStringLiteral("red")), qPrintable(used.error));
        // Names that look like such numbers are text and stay as they are.
        const QByteArray named = R"({"palName":"1e400 -0","palColors":[]})";
        QCOMPARE(PaletteCodec::decode(named).palette->palName, QStringLiteral("1e400 -0"));
    }

    // ---- colour values -------------------------------------------------------------------

    void convertsBetweenStoredAndShownColours() {
        QCOMPARE(displayColor({0.1, 0.2, 0.3, std::nullopt}).components(),
                 (QList<double>{0.1, 0.2, 0.3, 1.0}));
        QCOMPARE(displayColor({0.1, 0.2, 0.3, 0.4}).components(),
                 (QList<double>{0.1, 0.2, 0.3, 0.4}));

        const ColorValue opaque({1.0, 0.5, 0.0, 1.0});
        const ColorValue half({1.0, 0.5, 0.0, 0.5});
        const ColorValue three({1.5, -0.2, 0.3});
        QCOMPARE(colorComponentsWithAlpha(opaque).alpha, std::optional<double>(1.0));
        QCOMPARE(colorComponentsWithAlpha(half).alpha, std::optional<double>(0.5));
        QCOMPARE(colorComponents(half), (SerializableColor{1.0, 0.5, 0.0, 0.5}));
        QCOMPARE(colorComponents(three), (SerializableColor{1.5, -0.2, 0.3, std::nullopt}));
        QCOMPARE(colorComponentsWithAlpha(three), (SerializableColor{1.5, -0.2, 0.3, 1.0}));
        QVERIFY(!PaletteCodec::encode(Palette{"p", {{"c", colorComponents(three)}}})
                     ->contains("alpha"));
        // Short or empty component lists read the missing entries as 0.
        QCOMPARE(colorComponents(ColorValue()), (SerializableColor{0.0, 0.0, 0.0, std::nullopt}));
        QCOMPARE(colorComponentsWithAlpha(ColorValue({0.7})),
                 (SerializableColor{0.7, 0.0, 0.0, 1.0}));

        QCOMPARE(ColorValue::fromSrgb(1, 0.5, 0, 1).description(),
                 QStringLiteral("sRGB 1 0.5 0 1"));
    }

    // ---- copy texts ----------------------------------------------------------------------

    void builtInTemplates_data() {
        QTest::addColumn<SerializableColor>("color");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("table colour")
            << tableColor() << QStringList{"255, 127, 0", "255, 127, 0, 255", "FF7F00",
                                           "#FF7F00",     "FF7F00FF",         "#FF7F00FF"};
        QTest::newRow("alpha 0.5") << SerializableColor{1.0, 0.5, 0.0, 0.5}
                                   << QStringList{"255, 127, 0", "255, 127, 0, 127", "FF7F00",
                                                  "#FF7F00",     "FF7F007F",         "#FF7F007F"};
        QTest::newRow("black alpha 0")
            << SerializableColor{0.0, 0.0, 0.0, 0.0}
            << QStringList{"0, 0, 0", "0, 0, 0, 0", "000000", "#000000", "00000000", "#00000000"};
        QTest::newRow("truncation") << SerializableColor{0.999, 0.2, 0.0039, 0.004}
                                    << QStringList{"254, 51, 0", "254, 51, 0, 1", "FE3300",
                                                   "#FE3300",    "FE330001",      "#FE330001"};
        QTest::newRow("beyond 1") << SerializableColor{1.5, 1.0, 16.0, 2.0}
                                  << QStringList{"382, 255, 4080", "382, 255, 4080, 510",
                                                 "17EFFFF0",       "#17EFFFF0",
                                                 "17EFFFF01FE",    "#17EFFFF01FE"};
    }
    void builtInTemplates() {
        QFETCH(SerializableColor, color);
        QFETCH(QStringList, texts);
        QCOMPARE(formats().size(), 6);
        for (qsizetype i = 0; i < formats().size(); ++i)
            QCOMPARE(formatColor(formats()[i], color), texts[i]);
        QCOMPARE(hexText(color), texts[2]);
        QCOMPARE(hexTextWithAlpha(color), texts[4]);
    }

    void labelsDropTheSectionSign() {
        QCOMPARE(formats()[0], QString::fromUtf8("\xc2\xa7r, \xc2\xa7g, \xc2\xa7"
                                                 "b"));
        QStringList labels;
        for (const QString &format : formats())
            labels << formatLabel(format);
        QCOMPARE(labels, (QStringList{"r, g, b", "r, g, b, a", "hex", "#hex", "hexA", "#hexA"}));
    }

    void templateLanguage_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<SerializableColor>("color");
        QTest::addColumn<QString>("text");
        QTest::newRow("decimal then byte") << "§r01/§r" << tableColor() << "1.0/255";
        QTest::newRow("hexA before hex") << "§hexA§hex" << tableColor() << "FF7F00FFFF7F00";
        QTest::newRow("no section sign") << "plain r, g, b" << tableColor() << "plain r, g, b";
        QTest::newRow("decimals") << "§r01 §g01 §b01 §a01"
                                  << SerializableColor{0.2, 0.5, 0.0, std::nullopt}
                                  << "0.2 0.5 0.0 1.0";
        QTest::newRow("decimal exponent")
            << "§r01 §g01 §b01 §a01" << SerializableColor{1e-5, 0.0001, -0.0, 1e20}
            << "1e-05 0.0001 -0.0 1e+20";
        QTest::newRow("decimal whole")
            << "§r01,§g01" << SerializableColor{255.0, 1e15, 0, std::nullopt}
            << "255.0,1000000000000000.0";
        QTest::newRow("case sensitive") << "§R §HEX §r§r" << tableColor() << "§R §HEX 255255";
        QTest::newRow("lone sign") << "§ §x §" << tableColor() << "§ §x §";
        QTest::newRow("repeated") << "§a§a §hex§hex" << SerializableColor{0, 0, 0, 0.5}
                                  << "127127 000000000000";
    }
    void templateLanguage() {
        QFETCH(QString, format);
        QFETCH(SerializableColor, color);
        QFETCH(QString, text);
        QCOMPARE(formatColor(format, color), text);
    }

    // Values no byte fits must give a defined text, never an out-of-range integer cast.
    void unusualComponents_data() {
        QTest::addColumn<SerializableColor>("color");
        QTest::addColumn<QString>("decimal");
        QTest::addColumn<QString>("hex");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("negative") << SerializableColor{-0.2, -0.001, -1.0, -0.01} << "-51 0 -255 -2"
                                  << "-3300-FF-02";
        QTest::newRow("not finite")
            << SerializableColor{nan, inf, -inf, std::nullopt} << "nan inf -inf 255"
            << "naninf-infFF";
        QTest::newRow("product overflows")
            << SerializableColor{1e308, -1e308, 0.0, std::nullopt} << "inf -inf 0 255"
            << "inf-inf00FF";
        // 2^64 / 255 * 255 rounds to exactly 2^64; beyond int64, written in full.
        QTest::newRow("beyond 64 bits")
            << SerializableColor{18446744073709551616.0 / 255.0, 0, 0, -1e20}
            << "18446744073709551616 0 0 -25500000000000001048576"
            << "100000000000000000000-5665B96CF35AD000000";
        QTest::newRow("int64 edge")
            << SerializableColor{9223372036854775807.0 / 255.0, 0, 0, std::nullopt}
            << "9223372036854775808 0 0 255"
            << "80000000000000000000FF";
    }
    void unusualComponents() {
        QFETCH(SerializableColor, color);
        QFETCH(QString, decimal);
        QFETCH(QString, hex);
        QCOMPARE(formatColor(QStringLiteral("§r §g §b §a"), color), decimal);
        QCOMPARE(hexTextWithAlpha(color), hex);
        QVERIFY(!formatColor(QStringLiteral("§r01 §g01 §b01 §a01"), color).isEmpty());
    }
};

SWATCHBAR_TEST_CORE_MAIN(TestModel)
#include "TestModel.moc"
