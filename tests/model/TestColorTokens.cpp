#include "TestSupport.h"

#include "model/ColorSpace.h"
#include "model/ColorText.h"

#include <cmath>
#include <limits>

namespace {

const QString kAllTokens =
    QStringLiteral("§{h} §{s} §{l}|§{okl} §{okc} §{okh}|§{r1} §{g1} §{b1} §{a1} §{ahex}");

} // namespace

class TestColorTokens : public QObject {
    Q_OBJECT

private slots:
    // Reference values: CSS Color 4's examples and the usual published OKLCH of the primaries.
    void tokensForColours_data() {
        QTest::addColumn<SerializableColor>("color");
        QTest::addColumn<QString>("text");
        QTest::newRow("orange, alpha absent")
            << SerializableColor{1.0, 0.5, 0.0, std::nullopt}
            << QStringLiteral("30 100 50|0.731 0.186 52.8|1.000 0.500 0.000 1.000 FF");
        QTest::newRow("red") << SerializableColor{1, 0, 0, 1.0}
                             << QStringLiteral(
                                    "0 100 50|0.628 0.258 29.2|1.000 0.000 0.000 1.000 FF");
        QTest::newRow("green") << SerializableColor{0, 1, 0, 1.0}
                               << QStringLiteral(
                                      "120 100 50|0.866 0.295 142.5|0.000 1.000 0.000 1.000 FF");
        QTest::newRow("blue") << SerializableColor{0, 0, 1, 1.0}
                              << QStringLiteral(
                                     "240 100 50|0.452 0.313 264.1|0.000 0.000 1.000 1.000 FF");
        QTest::newRow("white: no hue, no chroma")
            << SerializableColor{1, 1, 1, std::nullopt}
            << QStringLiteral("0 0 100|1.000 0.000 0.0|1.000 1.000 1.000 1.000 FF");
        QTest::newRow("transparent black")
            << SerializableColor{0, 0, 0, 0.0}
            << QStringLiteral("0 0 0|0.000 0.000 0.0|0.000 0.000 0.000 0.000 00");
        QTest::newRow("half grey, half alpha truncates to 7F")
            << SerializableColor{0.5, 0.5, 0.5, 0.5}
            << QStringLiteral("0 0 50|0.598 0.000 0.0|0.500 0.500 0.500 0.500 7F");
        QTest::newRow("8-bit tan")
            << SerializableColor{204 / 255.0, 144 / 255.0, 100 / 255.0, 1.0}
            << QStringLiteral("25 50 60|0.703 0.094 56.8|0.800 0.565 0.392 1.000 FF");
        QTest::newRow("steel blue, quarter alpha")
            << SerializableColor{0.2, 0.4, 0.6, 0.25}
            << QStringLiteral("210 50 40|0.499 0.099 250.4|0.200 0.400 0.600 0.250 3F");
        QTest::newRow("hue just below 360 rounds to 0")
            << SerializableColor{1.0, 0.0, 0.004, std::nullopt}
            << QStringLiteral("0 100 50|0.628 0.258 29.2|1.000 0.000 0.004 1.000 FF");
    }
    void tokensForColours() {
        QFETCH(SerializableColor, color);
        QFETCH(QString, text);
        QCOMPARE(formatColor(kAllTokens, color), text);
    }

    // The ready-made templates of the editor and how they mix with the old placeholders.
    void templates_data() {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("text");
        QTest::newRow("css rgb") << QStringLiteral("rgb(§r §g §b / §{a1})")
                                 << QStringLiteral("rgb(255 127 0 / 0.500)");
        QTest::newRow("css hsl") << QStringLiteral("hsl(§{h} §{s}% §{l}%)")
                                 << QStringLiteral("hsl(30 100% 50%)");
        QTest::newRow("css oklch") << QStringLiteral("oklch(§{okl} §{okc} §{okh})")
                                   << QStringLiteral("oklch(0.731 0.186 52.8)");
        QTest::newRow("android") << QStringLiteral("#§{ahex}§hex") << QStringLiteral("#7FFF7F00");
        QTest::newRow("swiftui") << QStringLiteral("Color(red: §{r1}, green: §{g1}, blue: §{b1})")
                                 << QStringLiteral("Color(red: 1.000, green: 0.500, blue: 0.000)");
        QTest::newRow("qt") << QStringLiteral("QColor(§r, §g, §b)")
                            << QStringLiteral("QColor(255, 127, 0)");
        QTest::newRow("brace token beside old ones")
            << QStringLiteral("§{h}§r§{s}§hexA§{l}") << QStringLiteral("30255100FF7F007F50");
        QTest::newRow("unknown and unclosed braces stay")
            << QStringLiteral("§{x} §{hex} §{r1 §{") << QStringLiteral("§{x} §{hex} §{r1 §{");
        QTest::newRow("doubled sign before a token")
            << QStringLiteral("§§{h}") << QStringLiteral("§30");
        QTest::newRow("braces without the sign")
            << QStringLiteral("{h} {r1}") << QStringLiteral("{h} {r1}");
    }
    void templates() {
        QFETCH(QString, format);
        QFETCH(QString, text);
        QCOMPARE(formatColor(format, SerializableColor{1.0, 0.5, 0.0, 0.5}), text);
    }

    // Components a hand-edited file may hold must give some text, never a crash.
    void unusualComponentsGiveText() {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const SerializableColor colors[] = {{nan, 0, 0, std::nullopt},
                                            {inf, -inf, 0, nan},
                                            {-0.0001, 1.5, 1e300, -1.0},
                                            {-1e308, 2.0, 0.5, 1e20}};
        for (const SerializableColor &color : colors)
            QVERIFY(!formatColor(kAllTokens, color).contains(QStringLiteral("§")));
        QCOMPARE(formatColor(QStringLiteral("§{r1} §{ahex}"), {-0.0001, 0, 0, 1.5}),
                 QStringLiteral("0.000 17E"));
    }

    void labD50ToSrgb_data() {
        QTest::addColumn<double>("l");
        QTest::addColumn<double>("a");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("red");
        QTest::addColumn<double>("green");
        QTest::addColumn<double>("blue");
        QTest::newRow("D50 white is sRGB white") << 100.0 << 0.0 << 0.0 << 1.0 << 1.0 << 1.0;
        QTest::newRow("black") << 0.0 << 0.0 << 0.0 << 0.0 << 0.0 << 0.0;
        QTest::newRow("red") << 54.29 << 80.82 << 69.88 << 1.0 << 0.0 << 0.0;
        QTest::newRow("lime") << 87.82 << -79.29 << 80.99 << 0.0 << 1.0 << 0.0;
        QTest::newRow("blue") << 29.57 << 68.3 << -112.03 << 0.0 << 0.0 << 1.0;
        QTest::newRow("mid grey") << 53.585 << 0.0 << 0.0 << 0.5 << 0.5 << 0.5;
    }
    void labD50ToSrgb() {
        QFETCH(double, l);
        QFETCH(double, a);
        QFETCH(double, b);
        const ColorSpace::Rgb rgb = ColorSpace::srgbFromLabD50(l, a, b);
        QFETCH(double, red);
        QFETCH(double, green);
        QFETCH(double, blue);
        // The references are given to two decimals of L, a and b.
        QVERIFY2(std::fabs(rgb.red - red) < 0.004, qPrintable(QString::number(rgb.red)));
        QVERIFY2(std::fabs(rgb.green - green) < 0.004, qPrintable(QString::number(rgb.green)));
        QVERIFY2(std::fabs(rgb.blue - blue) < 0.004, qPrintable(QString::number(rgb.blue)));
    }

    void cmykAndHsl() {
        const ColorSpace::Rgb rgb = ColorSpace::srgbFromCmyk(0.0, 0.5, 1.0, 0.2);
        QCOMPARE(rgb.red, 0.8);
        QCOMPARE(rgb.green, 0.4);
        QCOMPARE(rgb.blue, 0.0);
        for (const ColorSpace::Rgb &c : {ColorSpace::Rgb{1, 0.5, 0}, ColorSpace::Rgb{0.2, 0.4, 0.6},
                                         ColorSpace::Rgb{0.9, 0.9, 0.1}}) {
            const ColorSpace::Rgb back = ColorSpace::srgbFromHsl(ColorSpace::hslFromSrgb(c));
            QVERIFY(std::fabs(back.red - c.red) < 1e-12);
            QVERIFY(std::fabs(back.green - c.green) < 1e-12);
            QVERIFY(std::fabs(back.blue - c.blue) < 1e-12);
        }
        const ColorSpace::Rgb limited = ColorSpace::clamped({-0.5, std::nan(""), 1.7});
        QCOMPARE(limited.red, 0.0);
        QCOMPARE(limited.green, 0.0);
        QCOMPARE(limited.blue, 1.0);
    }
};

SWATCHBAR_TEST_CORE_MAIN(TestColorTokens)
#include "TestColorTokens.moc"
