#include "platform/Autostart.h"

#include "core/Log.h"
#include "core/SafeFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

QString Autostart::entryPath() {
    // The XDG base directory rules: a relative $XDG_CONFIG_HOME is invalid and ignored.
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/autostart/swatchbar.desktop");
}

bool Autostart::isEnabled() {
    QFile file(entryPath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine();
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && line.left(eq).trimmed() == "Hidden" && line.mid(eq + 1).trimmed() == "true")
            return false;
    }
    return true;
}

QString Autostart::execValue(const QString &executable) {
    // Inside double quotes, ", `, $ and \ take a backslash; the string rules of the file then
    // double every backslash. A literal % is written %%.
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = false;
    for (const QChar c : executable)
        needsQuotes = needsQuotes || reserved.contains(c);
    QString quoted;
    for (const QChar c : executable) {
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$'))
            quoted += QStringLiteral("\\\\") + c;
        else if (c == QLatin1Char('\\'))
            quoted += QStringLiteral("\\\\\\\\");
        else if (c == QLatin1Char('%'))
            quoted += QStringLiteral("%%");
        else
            quoted += c;
    }
    return needsQuotes ? QLatin1Char('"') + quoted + QLatin1Char('"') : quoted;
}

QByteArray Autostart::entryText(const QString &executable) {
    QString text;
    text += QStringLiteral("[Desktop Entry]\n");
    text += QStringLiteral("Type=Application\n");
    text += QStringLiteral("Name=Swatchbar\n");
    text += QStringLiteral("Comment=Colour palettes in the system tray\n");
    text += QStringLiteral("Exec=") + execValue(executable) + QLatin1Char('\n');
    text += QStringLiteral("Icon=swatchbar\n");
    text += QStringLiteral("Terminal=false\n");
    text += QStringLiteral("X-GNOME-Autostart-enabled=true\n");
    return text.toUtf8();
}

bool Autostart::setEnabled(bool enabled, const QString &executable) {
    const QString path = entryPath();
    if (!enabled) {
        if (!QFileInfo::exists(path) || QFile::remove(path))
            return true;
        logLine(QStringLiteral("Failed to remove the autostart entry %1").arg(path));
        return false;
    }
    bool controlChar = false;
    for (const QChar c : executable)
        controlChar = controlChar || c.unicode() < 0x20 || c.unicode() == 0x7f;
    if (executable.isEmpty() || QDir::isRelativePath(executable) || controlChar) {
        logLine(QStringLiteral("Failed to write the autostart entry: no usable program path"));
        return false;
    }
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        logLine(QStringLiteral("Failed to write the autostart entry %1: cannot create its folder")
                    .arg(path));
        return false;
    }
    QString error;
    if (!SafeFile::write(path, entryText(executable), &error)) {
        logLine(QStringLiteral("Failed to write the autostart entry %1: %2").arg(path, error));
        return false;
    }
    return true;
}
