#pragma once

#include <QString>

// Starting at login through an XDG autostart entry, ~/.config/autostart/swatchbar.desktop
// (under $XDG_CONFIG_HOME when set).
class Autostart {
public:
    Autostart() = delete;

    static QString entryPath();
    // An entry exists and is not switched off (Hidden=true).
    static bool isEnabled();
    // Writes or removes the entry. Returns whether the entry now says what was asked; a
    // failure is reported in one line.
    static bool setEnabled(bool enabled, const QString &executable);
    // The entry's text for a program at the given absolute path.
    static QByteArray entryText(const QString &executable);
    // The Exec value for a path: quoted and escaped as desktop entries require.
    static QString execValue(const QString &executable);
};
