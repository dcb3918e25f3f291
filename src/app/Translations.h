#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

// The program's own translation and Qt's (for the stock dialogs and the command line's own
// texts) for a locale, installed into the running application. English is the texts as
// written, so an English locale installs nothing. Lines on stdout are never translated.
class Translations {
public:
    // Installs the translations for the first of the locale's languages that the program
    // has, stopping at English; returns that language ("de", "pt_BR"), or an empty text.
    static QString install(const QLocale &locale = QLocale());
    // Removes what install() put in.
    static void uninstall();
    // The languages the program comes with, as in their file names ("de", "pt_BR", ...).
    static QStringList available();
};
