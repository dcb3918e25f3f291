#include "TestSupport.h"

#include "model/PackedColor.h"
#include "model/PaletteCodec.h"

#include <bit>
#include <cmath>
#include <limits>
#include <random>

namespace {

bool sameBits(double a, double b) {
    return std::bit_cast<quint64>(a) == std::bit_cast<quint64>(b);
}

bool sameBits(const SerializableColor &a, const SerializableColor &b) {
    return sameBits(a.red, b.red) && sameBits(a.green, b.green) && sameBits(a.blue, b.blue) &&
           a.alpha.has_value() == b.alpha.has_value() && (!a.alpha || sameBits(*a.alpha, *b.alpha));
}

} // namespace

class TestPackedColor : public QObject {
    Q_OBJECT

private slots:
    // Whatever is stored comes back bit for bit, inline or not: the file is written from it.
    void everyValueComesBackBitForBit() {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        QList<double> values{0.0,
                             -0.0,
                             1.0,
                             0.5,
                             0.2,
                             0.1,
                             1e-300,
                             -1.0,
                             1.0000000000000002,
                             0.9999999999999999,
                             2.0,
                             1e20,
                             nan,
                             inf,
                             -inf,
                             std::nextafter(128 / 255.0, 1.0),
                             65534 / 65535.0,
                             65535 / 65536.0,
                             0.75,
                             1.0 / 131072};
        for (int k = 0; k <= 255; k += 17)
            values.append(k / 255.0);
        for (int k = 0; k <= 1000; k += 111)
            values.append(k / 1000.0);
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> unit(0.0, 1.0);
        for (int i = 0; i < 200; ++i)
            values.append(unit(random));
        for (const double v : values) {
            for (const OptionalDouble alpha : {OptionalDouble(), OptionalDouble(v)}) {
                const SerializableColor wanted{v, 1.0 - 0.0, v, alpha};
                const PackedColor packed(wanted);
                QVERIFY2(sameBits(packed.value(), wanted), qPrintable(QString::number(v, 'g', 17)));
                const PackedColor copy = packed;
                QVERIFY(sameBits(copy.value(), wanted));
            }
        }
    }

    // What pickers, hex codes and 8-bit formats give takes no block; anything else does.
    void commonColoursAreInline() {
        for (int k = 0; k <= 255; ++k) {
            QVERIFY(PackedColor(k / 255.0, (255 - k) / 255.0, 0.0, std::nullopt).isInline());
            QVERIFY(PackedColor(0.0, 0.0, 0.0, k / 255.0).isInline());
        }
        QVERIFY(PackedColor(1.0, 0.5, 0.25, 0.37).isInline());             // halves; k/100 opacity
        QVERIFY(PackedColor(12345 / 65535.0, 0.0, 1.0, 0.125).isInline()); // k/1000
        QVERIFY(!PackedColor(-0.0, 0.0, 0.0, std::nullopt).isInline());
        QVERIFY(!PackedColor(1.5, 0.0, 0.0, std::nullopt).isInline());
        QVERIFY(!PackedColor(0.3333, 0.0, 0.0, std::nullopt).isInline());
        QVERIFY(!PackedColor(1.0 / 131072, 0.0, 0.0, std::nullopt).isInline());
        QVERIFY(!PackedColor(0.0, 0.0, 0.0, 0.3333).isInline());
        // The same value given through two denominators is one colour.
        QCOMPARE(PackedColor(0.0, 0.0, 0.0, 51 / 255.0), PackedColor(0.0, 0.0, 0.0, 20 / 100.0));
    }

    // Equality is that of the components, whichever way each side is held.
    void equalityFollowsTheComponents() {
        const PackedColor zero(0.0, 0.0, 0.0, std::nullopt);
        const PackedColor negativeZero(-0.0, 0.0, 0.0, std::nullopt);
        QVERIFY(zero.isInline() && !negativeZero.isInline());
        QCOMPARE(zero, negativeZero);
        QVERIFY(!(zero == PackedColor(0.0, 0.0, 0.0, 1.0))); // absent opacity is not 1.0
        const PackedColor odd(0.3333, 0.1, 0.2, 0.4);
        QCOMPARE(odd, PackedColor(0.3333, 0.1, 0.2, 0.4));
        QVERIFY(!(odd == PackedColor(0.3333, 0.1, 0.2, std::nullopt)));
        const PackedColor notANumber(std::nan(""), 0.0, 0.0, std::nullopt);
        QVERIFY(!(notANumber == notANumber));
        QVERIFY(odd == (SerializableColor{0.3333, 0.1, 0.2, 0.4}));
    }

    // Copies and moves own their blocks: a copy outlives and survives changes to the original.
    void copiesAndMovesOwnTheirBlocks() {
        PackedColor a(0.3333, 0.5, 0.5, std::nullopt);
        PackedColor b = a;
        a = PackedColor(1.0, 1.0, 1.0, std::nullopt);
        QCOMPARE(b.value().red, 0.3333);
        PackedColor c = std::move(b);
        QCOMPARE(c.value().red, 0.3333);
        QVERIFY(b.isInline()); // a moved-from colour holds nothing
        c = c;                 // self-assignment keeps the block
        QCOMPARE(c.value().red, 0.3333);
        b = c;
        c = std::move(a);
        QCOMPARE(b.value().red, 0.3333);
        QCOMPARE(c.value().red, 1.0);
    }

    // A palette of odd values written, read and written again gives the same bytes.
    void oddValuesSurviveAFileRoundTrip() {
        Palette palette{QStringLiteral("Odd"), {}};
        std::mt19937_64 random(11);
        std::uniform_real_distribution<double> wide(-2.0, 2.0);
        for (int i = 0; i < 100; ++i)
            palette.palColors.append(PaletteColor{
                QStringLiteral("c%1").arg(i),
                PackedColor(i % 2 ? wide(random) : (i % 256) / 255.0, wide(random), i / 65535.0,
                            i % 3 ? OptionalDouble(wide(random)) : OptionalDouble())});
        const QByteArray bytes = PaletteCodec::encode(palette).value();
        const auto back = PaletteCodec::decode(bytes);
        QVERIFY2(back.palette, qPrintable(back.error));
        QCOMPARE(*back.palette, palette);
        QCOMPARE(PaletteCodec::encode(*back.palette).value(), bytes);
    }
};

QTEST_GUILESS_MAIN(TestPackedColor)
#include "TestPackedColor.moc"
