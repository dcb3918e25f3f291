#include "app/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QPointer>
#include <QTranslator>

namespace {
const QString folder = QStringLiteral(":/i18n");
const QString prefix = QStringLiteral("swatchbar_");

QList<QPointer<QTranslator>> &installed() {
    static QList<QPointer<QTranslator>> translators;
    return translators;
}

bool add(QTranslator *translator) {
    if (!QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    installed().append(translator);
    return true;
}
} // namespace

QStringList Translations::available() {
    QStringList languages;
    const QStringList files =
        QDir(folder).entryList({prefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString &file : files)
        languages.append(file.mid(prefix.size()).chopped(3));
    return languages;
}

QString Translations::install(const QLocale &locale) {
    uninstall();
    // Asked one file at a time rather than by listing the folder: an English session, the
    // common case, then costs the start-up nothing.
    const auto have = [](const QString &language) {
        return !language.isEmpty() &&
               QFile::exists(folder + QLatin1Char('/') + prefix + language + QStringLiteral(".qm"));
    };
    // uiLanguages lists the user's choices in order ("de-DE", "de", ...); the first one we
    // have wins, and an English one before it means English.
    for (QString wanted : locale.uiLanguages()) {
        wanted.replace(QLatin1Char('-'), QLatin1Char('_'));
        if (wanted == QLatin1String("C") || wanted.startsWith(QLatin1String("en")))
            return {};
        QString match;
        if (have(wanted))
            match = wanted;
        else if (have(wanted.section(QLatin1Char('_'), 0, 0)))
            match = wanted.section(QLatin1Char('_'), 0, 0);
        if (match.isEmpty())
            continue;
        auto *own = new QTranslator(QCoreApplication::instance());
        if (!own->load(prefix + match, folder) || !add(own))
            continue;
        // Qt's own texts: the stock dialogs, the command line's "Usage:"; absent is fine.
        auto *qt = new QTranslator(QCoreApplication::instance());
        const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (qt->load(QStringLiteral("qtbase_") + match, qtFolder) ||
            qt->load(QStringLiteral("qtbase_") + match.section(QLatin1Char('_'), 0, 0), qtFolder))
            add(qt);
        else
            delete qt;
        return match;
    }
    return {};
}

void Translations::uninstall() {
    for (const QPointer<QTranslator> &translator : std::as_const(installed())) {
        if (translator) {
            QCoreApplication::removeTranslator(translator);
            delete translator;
        }
    }
    installed().clear();
}
