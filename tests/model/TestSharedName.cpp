#include "TestSupport.h"

#include "model/PaletteCodec.h"
#include "model/SharedName.h"

#include <atomic>
#include <thread>
#include <vector>

class TestSharedName : public QObject {
    Q_OBJECT

private slots:
    // A QString taken from a name holds the text on its own: it outlives the name, edits to it
    // never reach the name, and once it is the last holder it may be edited in place (the
    // block's layout must hold up to Qt's own growing and shrinking).
    void stringCopiesOutliveAndNeverAlterTheName() {
        QString copy;
        {
            const SharedName name(QStringLiteral("Deep sea blue"));
            copy = name;
            QString edited = name;
            edited.append(QStringLiteral(" (edited)"));
            edited[0] = QLatin1Char('d');
            QCOMPARE(name.toString(), QStringLiteral("Deep sea blue"));
            QCOMPARE(edited, QStringLiteral("deep sea blue (edited)"));
        }
        QCOMPARE(copy, QStringLiteral("Deep sea blue"));
        copy.prepend(QStringLiteral(">> "));
        copy.append(QString(200, QLatin1Char('x')));
        copy.squeeze();
        copy.remove(0, 3);
        QCOMPARE(copy.left(13), QStringLiteral("Deep sea blue"));
        QCOMPARE(copy.size(), 213);
        QCOMPARE(copy.utf16()[copy.size()], u'\0');
        // A zero-terminated view of a name's characters, as some Qt calls expect.
        const SharedName ascii(QLatin1StringView("abc"));
        QCOMPARE(ascii.toString().utf16()[3], u'\0');
    }

    void copiesShareAndEqualityGoesByText() {
        const SharedName a(QStringLiteral("Sky"));
        const SharedName b = a;
        const SharedName c(QStringLiteral("Sky"));
        QVERIFY(a.sharesWith(b));
        QVERIFY(!a.sharesWith(c));
        QCOMPARE(a, c);
        QVERIFY(a == QStringLiteral("Sky"));
        QVERIFY(!(a == SharedName(QStringLiteral("Sky "))));
        QVERIFY(!(a == SharedName()));
        SharedName d;
        d = a;
        d = d; // self-assignment keeps the text
        QCOMPARE(d.toString(), QStringLiteral("Sky"));
        SharedName e = std::move(d);
        QVERIFY(e.sharesWith(a));
        e = SharedName(QStringLiteral("Sea"));
        QCOMPARE(e.toString(), QStringLiteral("Sea"));
        QCOMPARE(a.toString(), QStringLiteral("Sky"));
    }

    void emptyNamesHoldNothing() {
        const SharedName none;
        const SharedName fromEmpty{QString()};
        const SharedName fromBlank(QStringLiteral(""));
        for (const SharedName *name : {&none, &fromEmpty, &fromBlank}) {
            QVERIFY(name->isEmpty());
            QCOMPARE(name->size(), 0);
            QVERIFY(name->toString().isEmpty());
            QVERIFY(name->sharesWith(none));
            QCOMPARE(*name, none);
        }
    }

    void keepsEveryCharacter() {
        const QString texts[] = {
            QStringLiteral("\uFEFF\uFEFFtwo marks first"), QStringLiteral("Ärger ✓ 🎨"),
            QString(QStringLiteral("nul") + QChar(0) + QStringLiteral("inside")),
            QString(1, QChar(0xD800)), // a lone surrogate is kept as it is
        };
        for (const QString &text : texts) {
            const SharedName name(text);
            QCOMPARE(name.toString(), text);
            QCOMPARE(name.size(), text.size());
        }
        QCOMPARE(SharedName(QLatin1StringView("caf\xE9")).toString(), QStringLiteral("café"));
    }

    // Names read from files: repeated ones share one block, whatever their characters, and
    // writing the palette back gives the very bytes that were read.
    void decodedNamesShareAndWriteBackByteForByte() {
        const QByteArray text =
            R"({"palName":"p","palColors":[)"
            R"({"colName":"Color 1","colColor":{"red":1,"green":0,"blue":0}},)"
            R"({"colName":"Color 1","colColor":{"red":0,"green":1,"blue":0,"alpha":0.5}},)"
            R"({"colName":"","colColor":{"red":0,"green":0,"blue":1}},)"
            "{\"colName\":\"\xEF\xBB\xBF\xC3\x84rger \xF0\x9F\x8E\xA8\",\"colColor\":"
            R"({"red":0.1,"green":0.2,"blue":0.3}},)"
            "{\"colName\":\"tab\\tquote\\\"back\\\\slash\\u0001\",\"colColor\":"
            "{\"red\":0,\"green\":0,\"blue\":0}}]}";
        const PaletteCodec::DecodeResult result = PaletteCodec::decode(text);
        QVERIFY2(result.palette, qPrintable(result.error));
        const QList<PaletteColor> &colors = result.palette->palColors;
        QCOMPARE(colors.size(), 5);
        QVERIFY(colors[0].colName.sharesWith(colors[1].colName));
        QVERIFY(colors[2].colName.isEmpty());
        QCOMPARE(colors[3].colName.toString(), QStringLiteral("\uFEFFÄrger 🎨"));
        QCOMPARE(colors[4].colName.toString(), QStringLiteral("tab\tquote\"back\\slash\u0001"));
        QCOMPARE(PaletteCodec::encode(*result.palette).value_or(QByteArray()), text);
        QVERIFY(PaletteCodec::encodesTo(*result.palette, text));
        // Equal names of different origin compare equal, so do whole palettes.
        Palette rebuilt = *result.palette;
        rebuilt.palColors[0].colName = QStringLiteral("Color 1");
        QVERIFY(!rebuilt.palColors[0].colName.sharesWith(colors[0].colName));
        QCOMPARE(rebuilt, *result.palette);
        rebuilt.palColors[1].colName = QStringLiteral("Color 2");
        QVERIFY(!(rebuilt == *result.palette));
    }

    // Palettes travel between threads (the load's second thread, the writer thread): copies
    // and releases of one name on two threads at once must leave its count right.
    void copiesOnTwoThreadsAtOnce() {
        const SharedName name(QStringLiteral("shared by threads"));
        std::atomic<bool> go{false};
        const auto churn = [&name, &go] {
            while (!go.load())
                std::this_thread::yield();
            std::vector<SharedName> held;
            for (int round = 0; round < 200; ++round) {
                for (int k = 0; k < 100; ++k)
                    held.push_back(name);
                QString text = held.back();
                held.clear();
            }
        };
        std::thread other(churn);
        go = true;
        churn();
        other.join();
        QString last = name;
        QCOMPARE(last, QStringLiteral("shared by threads"));
        QVERIFY(name.toString().isDetached() == false); // the name and last hold it
    }
};

SWATCHBAR_TEST_CORE_MAIN(TestSharedName)
#include "TestSharedName.moc"
