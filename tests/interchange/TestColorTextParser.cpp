#include "TestSupport.h"

#include "interchange/ColorTextParser.h"

#include <bit>

namespace {

using Components = QList<double>;

Components bytes(int r, int g, int b, int a = 255) {
    return {r / 255.0, g / 255.0, b / 255.0, a / 255.0};
}

// Exact comparison, bit for bit: the point of the parser is that nothing drifts.
bool sameBits(const Components &a, const Components &b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (std::bit_cast<quint64>(a[i]) != std::bit_cast<quint64>(b[i]))
            return false;
    return true;
}

} // namespace

class TestColorTextParser : public QObject {
    Q_OBJECT

private slots:
    void acceptsEveryForm_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Components>("expected");
        QTest::newRow("#RRGGBB") << "#3A7BD5" << bytes(0x3a, 0x7b, 0xd5);
        QTest::newRow("#rrggbb lower") << "#3a7bd5" << bytes(0x3a, 0x7b, 0xd5);
        QTest::newRow("#RGB") << "#F80" << bytes(0xff, 0x88, 0x00);
        QTest::newRow("#RGBA") << "#F808" << bytes(0xff, 0x88, 0x00, 0x88);
        QTest::newRow("#RRGGBBAA") << "#FF7F007F" << bytes(255, 127, 0, 127);
        QTest::newRow("RRGGBB") << "FF7F00" << bytes(255, 127, 0);
        QTest::newRow("RRGGBBAA") << "FF7F00FF" << bytes(255, 127, 0);
        QTest::newRow("surrounding space") << "  \t#FF7F00\n" << bytes(255, 127, 0);
        QTest::newRow("r, g, b") << "255, 127, 0" << bytes(255, 127, 0);
        QTest::newRow("r,g,b tight") << "255,127,0" << bytes(255, 127, 0);
        QTest::newRow("r , g , b") << "255 , 127 ,0" << bytes(255, 127, 0);
        QTest::newRow("r, g, b, a") << "255, 127, 0, 128" << bytes(255, 127, 0, 128);
        QTest::newRow("r, g, b, 0.5") << "255, 127, 0, 0.5" << Components{1, 127 / 255.0, 0, 0.5};
        QTest::newRow("rgb()") << "rgb(255, 127, 0)" << bytes(255, 127, 0);
        QTest::newRow("RGB() upper") << "RGB(255,127,0)" << bytes(255, 127, 0);
        QTest::newRow("rgba()") << "rgba(255, 127, 0, 0.5)" << Components{1, 127 / 255.0, 0, 0.5};
        QTest::newRow("rgba() percent alpha")
            << "rgba(255, 127, 0, 25%)" << Components{1, 127 / 255.0, 0, 0.25};
        QTest::newRow("rgb() space syntax") << "rgb(255 127 0)" << bytes(255, 127, 0);
        QTest::newRow("rgb() space slash")
            << "rgb(255 127 0 / 40%)" << Components{1, 127 / 255.0, 0, 0.4};
        QTest::newRow("rgb() percentages") << "rgb(100%, 50%, 0%)" << Components{1, 0.5, 0, 1};
        QTest::newRow("rgb() fractions") << "rgb(127.5, 0, 0)" << Components{0.5, 0, 0, 1};
        QTest::newRow("rgb() clamped") << "rgb(300, -5, 0, 2)" << bytes(255, 0, 0);
        QTest::newRow("rgb() space before paren") << "rgb (1, 2, 3)" << bytes(1, 2, 3);
        QTest::newRow("hsl() red") << "hsl(0, 100%, 50%)" << Components{1, 0, 0, 1};
        QTest::newRow("hsl() green deg") << "hsl(120deg 100% 25%)" << Components{0, 0.5, 0, 1};
        QTest::newRow("hsl() turn") << "hsl(0.5turn, 100%, 50%)" << Components{0, 1, 1, 1};
        QTest::newRow("hsl() negative hue") << "hsl(-120, 100%, 50%)" << Components{0, 0, 1, 1};
        QTest::newRow("hsla()") << "hsla(240, 100%, 50%, 0.25)" << Components{0, 0, 1, 0.25};
        QTest::newRow("hsl() gray") << "hsl(0 0% 100% / 50%)" << Components{1, 1, 1, 0.5};
        QTest::newRow("name") << "rebeccapurple" << bytes(0x66, 0x33, 0x99);
        QTest::newRow("name mixed case") << "CornflowerBlue" << bytes(0x64, 0x95, 0xed);
        QTest::newRow("transparent") << "transparent" << bytes(0, 0, 0, 0);
    }
    void acceptsEveryForm() {
        QFETCH(QString, text);
        QFETCH(Components, expected);
        const std::optional<ColorValue> color = ColorTextParser::parse(text);
        QVERIFY2(color, qPrintable(text));
        QVERIFY2(sameBits(color->components(), expected),
                 qPrintable(color->description() + QStringLiteral(" for ") + text));
    }

    void rejectsWhatIsNoColour_data() {
        QTest::addColumn<QString>("text");
        for (const char *text : {"",
                                 "   ",
                                 "#",
                                 "#12",
                                 "#12345",
                                 "#1234567",
                                 "#123456789",
                                 "#GGGGGG",
                                 "FFF",
                                 "FF7F0",
                                 "FF7F00F",
                                 "0xFF7F00",
                                 "#FF7F00 #000000",
                                 "255, 127",
                                 "256, 0, 0",
                                 "255, 127, 0, 256",
                                 "255, 127, 0, 1.5",
                                 "-1, 0, 0",
                                 "255 127 0",
                                 "1.0, 0.5, 0",
                                 "255, 127, 0,",
                                 "rgb()",
                                 "rgb(1, 2)",
                                 "rgb(1, 2, 3, 4, 5)",
                                 "rgb(1 2 3 4)",
                                 "rgb(1, 2 3)",
                                 "rgb(1 2 / 3 / 4)",
                                 "rgb(1, 2, 3 / 0.5)",
                                 "rgb(1deg, 2, 3)",
                                 "rgb(1, 2, 3",
                                 "rgb(a, b, c)",
                                 "rgb(inf, 0, 0)",
                                 "rgb(nan, 0, 0)",
                                 "rgb(1e, 0, 0)",
                                 "rgb(., 0, 0)",
                                 "hsl(10%, 50%, 50%)",
                                 "hsl(10, 50deg, 50%)",
                                 "hsl(10, 50%, 50%, 1deg)",
                                 "cmyk(0, 0, 0, 0)",
                                 "reddish",
                                 "red!",
                                 "nocolour",
                                 "#FF7F00;"})
            QTest::newRow(text) << QString::fromUtf8(text);
    }
    void rejectsWhatIsNoColour() {
        QFETCH(QString, text);
        const std::optional<ColorValue> color = ColorTextParser::parse(text);
        QVERIFY2(!color, qPrintable(text + QStringLiteral(" gave ") +
                                    (color ? color->description() : QString())));
    }

    void bytesAreExactFractionsOf255() {
        // 102/255 must be the double nearest 0.4, not a float's value widened.
        const std::optional<ColorValue> color = ColorTextParser::parse(u"#663399");
        QVERIFY(color);
        QCOMPARE(std::bit_cast<quint64>(color->components()[0]), std::bit_cast<quint64>(0.4));
        QVERIFY(color->components()[0] != double(0.4f));
        for (int b = 0; b < 256; ++b) {
            const QString text = QStringLiteral("%1, %1, %1, %1").arg(b);
            const std::optional<ColorValue> parsed = ColorTextParser::parse(text);
            QVERIFY(parsed);
            QVERIFY(sameBits(parsed->components(), bytes(b, b, b, b)));
        }
    }

    void namesTableIsComplete() {
        const QStringList names = ColorTextParser::colorNames();
        QCOMPARE(names.size(), 148);
        QVERIFY(names.contains(QStringLiteral("grey")) && names.contains(QStringLiteral("gray")));
        for (const QString &name : names)
            QVERIFY2(ColorTextParser::parse(name.toUpper()), qPrintable(name));
        QVERIFY(sameBits(ColorTextParser::parse(u"lightgoldenrodyellow")->components(),
                         bytes(0xfa, 0xfa, 0xd2)));
    }

    void findsEveryColourInFreeText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("one per line")
            << "#3A7BD5\nrgb(255, 127, 0)\r\n255, 127, 0\nFF7F00FF\n\nred\n"
            << QStringList{"#3A7BD5", "rgb(255, 127, 0)", "255, 127, 0", "FF7F00FF", "red"};
        QTest::newRow("spaces commas semicolons")
            << "#F00 #0F0,#00F; teal, hsl(0 0% 0%);FF7F00"
            << QStringList{"#F00", "#0F0", "#00F", "teal", "hsl(0 0% 0%)", "FF7F00"};
        QTest::newRow("decimal lists by line")
            << "255, 0, 0\n0, 255, 0, 128\n0,0,255"
            << QStringList{"255, 0, 0", "0, 255, 0, 128", "0,0,255"};
        QTest::newRow("decimal lists by semicolon")
            << "255, 0, 0; 0, 255, 0" << QStringList{"255, 0, 0", "0, 255, 0"};
        QTest::newRow("css declarations") << "a { color: #ff0000; background: rgba(0, 0, 0, .5); }"
                                          << QStringList{"#ff0000", "rgba(0, 0, 0, .5)"};
        QTest::newRow("words inside words are skipped")
            << "x123456 bored tanned #12345G abc123456 reddish blue" << QStringList{"blue"};
        QTest::newRow("broken function is skipped whole")
            << "rgb(1, 2, 3, 4, 5) #ABC" << QStringList{"#ABC"};
        // Without its ")" the numbers still say which colour was meant.
        QTest::newRow("unclosed function") << "rgb(1, 2, 3 #ABC" << QStringList{"1, 2, 3", "#ABC"};
        QTest::newRow("nothing") << "hello, world; 12 34" << QStringList{};
        QTest::newRow("empty") << "" << QStringList{};
    }
    void findsEveryColourInFreeText() {
        QFETCH(QString, text);
        QFETCH(QStringList, found);
        const QList<ColorTextParser::Found> all = ColorTextParser::findAll(text);
        QStringList texts;
        for (const ColorTextParser::Found &f : all) {
            texts.append(f.text);
            QCOMPARE(text.mid(f.position, f.text.size()), f.text);
            // Each piece found reads on its own as the same colour.
            const std::optional<ColorValue> alone = ColorTextParser::parse(f.text);
            QVERIFY2(alone && sameBits(alone->components(), f.color.components()),
                     qPrintable(f.text));
        }
        QCOMPARE(texts, found);
    }

    void survivesHostileInput() {
        // Long runs and odd characters must neither crash nor take quadratic time.
        QString text;
        for (int i = 0; i < 20000; ++i)
            text += QStringLiteral("rgb(#,,(((255, 0,\u00e9\U0001F3A8");
        text += QStringLiteral(" #FFF");
        const QList<ColorTextParser::Found> all = ColorTextParser::findAll(text);
        QCOMPARE(all.size(), 1);
        QCOMPARE(all.first().text, QStringLiteral("#FFF"));
        QVERIFY(!ColorTextParser::parse(QString(100000, u'9')));
    }
};

SWATCHBAR_TEST_CORE_MAIN(TestColorTextParser)
#include "TestColorTextParser.moc"
