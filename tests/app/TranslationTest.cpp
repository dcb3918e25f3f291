// The translations: each language has every text of the sources, the system locale picks the
// language, the Preferences window and --help show German in German, and the lines scripts
// read on stdout are never translatable.
#include "TestSupport.h"

#include "app/PreferencesWindow.h"
#include "app/Translations.h"
#include "views/blocks/SectionView.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProcess>
#include <QSet>
#include <QTranslator>
#include <QXmlStreamReader>

namespace {
struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = true;
};

QList<Message> readTs(const QString &path) {
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return messages;
    QXmlStreamReader xml(&file);
    QString context;
    Message message;
    while (!xml.atEnd()) {
        if (!xml.readNextStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{context, {}, {}, true};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            message.finished = type.isEmpty();
            message.translation = xml.readElementText();
            messages.append(message);
        }
    }
    return messages;
}

// Every text the sources hold now, as lupdate finds them.
QList<Message> sourceTexts(const QString &folder) {
    const QString ts = folder + QStringLiteral("/current.ts");
    QProcess lupdate;
    lupdate.start(QStringLiteral(SWATCHBAR_LUPDATE),
                  {QStringLiteral("-silent"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral(SWATCHBAR_SOURCE_DIR "/src"), QStringLiteral("-ts"), ts});
    if (!lupdate.waitForFinished(60000) || lupdate.exitCode() != 0)
        return {};
    return readTs(ts);
}

QStringList visibleTexts(const QWidget *window) {
    QStringList texts{window->windowTitle()};
    for (const QLabel *label : window->findChildren<QLabel *>())
        texts.append(label->text());
    for (const QAbstractButton *button : window->findChildren<QAbstractButton *>())
        texts.append(button->text());
    for (const SectionView *section : window->findChildren<SectionView *>())
        texts.append(section->title());
    texts.removeAll(QString());
    return texts;
}
} // namespace

class TranslationTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { Translations::uninstall(); }

    void everyLanguageIsBuiltIn() {
        QCOMPARE(Translations::available(),
                 QStringList({"de", "es", "fr", "ja", "pt_BR", "zh_CN"}));
    }

    void everySourceTextIsTranslated_data() {
        QTest::addColumn<QString>("language");
        for (const QString &language : Translations::available())
            QTest::newRow(qPrintable(language)) << language;
    }
    void everySourceTextIsTranslated() {
        QFETCH(QString, language);
        QTemporaryDir dir;
        const QList<Message> current = sourceTexts(dir.path());
        QVERIFY2(current.size() > 30, "lupdate found no texts in the sources");
        const QList<Message> file =
            readTs(QStringLiteral(SWATCHBAR_SOURCE_DIR "/resources/translations/swatchbar_%1.ts")
                       .arg(language));
        for (const Message &message : file)
            QVERIFY2(message.finished && !message.translation.isEmpty(),
                     qPrintable(QStringLiteral("unfinished in %1: %2 / %3")
                                    .arg(language, message.context, message.source)));
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral("swatchbar_") + language, QStringLiteral(":/i18n")));
        for (const Message &message : current) {
            const QString translated =
                translator.translate(qPrintable(message.context), qPrintable(message.source));
            QVERIFY2(!translated.isEmpty(),
                     qPrintable(QStringLiteral("no %1 text for %2 / \"%3\": run "
                                               "scripts/update-translations.sh and translate it")
                                    .arg(language, message.context, message.source)));
        }
    }

    void linesOnStdoutAreNeverTranslatable() {
        QTemporaryDir dir;
        const QStringList prefixes{"Copied: ",      "Changed col: ", "Added col: ",
                                   "Changed pal: ", "Added pal: ",   "Successfully loaded",
                                   "Failed to",     "Error: ",       "ERROR: "};
        for (const Message &message : sourceTexts(dir.path())) {
            for (const QString &prefix : prefixes)
                QVERIFY2(!message.source.startsWith(prefix), qPrintable(message.source));
        }
    }

    void theLocalePicksTheLanguage_data() {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("language");
        QTest::newRow("German") << "de_DE"
                                << "de";
        QTest::newRow("Austrian German") << "de_AT"
                                         << "de";
        QTest::newRow("Canadian French") << "fr_CA"
                                         << "fr";
        QTest::newRow("Mexican Spanish") << "es_MX"
                                         << "es";
        QTest::newRow("Brazilian Portuguese") << "pt_BR"
                                              << "pt_BR";
        QTest::newRow("Japanese") << "ja_JP"
                                  << "ja";
        QTest::newRow("Simplified Chinese") << "zh_CN"
                                            << "zh_CN";
        QTest::newRow("Traditional Chinese is not Simplified") << "zh_TW"
                                                               << "";
        QTest::newRow("European Portuguese is not Brazilian") << "pt_PT"
                                                              << "";
        QTest::newRow("English") << "en_US"
                                 << "";
        QTest::newRow("C") << "C"
                           << "";
        QTest::newRow("a language we lack") << "fi_FI"
                                            << "";
    }
    void theLocalePicksTheLanguage() {
        QFETCH(QString, locale);
        QFETCH(QString, language);
        QCOMPARE(Translations::install(QLocale(locale)), language);
        if (language.isEmpty())
            QCOMPARE(QCoreApplication::translate("PreferencesView", "Reload palettes"),
                     QStringLiteral("Reload palettes"));
    }

    void preferencesWindowInGerman() {
        QCOMPARE(Translations::install(QLocale(QLocale::German, QLocale::Germany)),
                 QStringLiteral("de"));
        PreferencesWindow window;
        const QStringList texts = visibleTexts(&window);
        for (const char *german :
             {"Einstellungen", "Beim Anmelden starten", "App im Dock ausblenden",
              "Palettenordner öffnen", "Paletten neu laden", "Optionen", "Tipps:"})
            QVERIFY2(texts.contains(QString::fromUtf8(german)), qPrintable(texts.join(" | ")));
        for (const char *english :
             {"Preferences", "Start at login", "Open palettes folder", "Reload palettes"})
            QVERIFY2(!texts.contains(QLatin1String(english)), english);
        window.close();
    }

    void helpInGerman() {
        if (!SWATCHBAR_HAS_HELP)
            QSKIP("the program has no --help yet");
        TestHome home;
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("LC_ALL"));
        env.remove(QStringLiteral("LC_MESSAGES"));
        env.remove(QStringLiteral("LANGUAGE"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("de_DE.UTF-8"));
        program.setProcessEnvironment(env);
        program.start(qEnvironmentVariable("SWATCHBAR_BIN"), {QStringLiteral("--help")});
        QVERIFY(program.waitForFinished(20000));
        const QString help = QString::fromUtf8(program.readAllStandardOutput());
        QCOMPARE(program.exitCode(), 0);
        QVERIFY2(help.contains(QStringLiteral("Optionen:")), qPrintable(help));
        QVERIFY2(!help.contains(QStringLiteral("Options:")), qPrintable(help));
    }
};

SWATCHBAR_TEST_GUI_MAIN(TranslationTest)
#include "TranslationTest.moc"
