#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

// Reads and writes the settings file in the INI dialect QSettings uses, so files written by
// earlier versions (through QSettings itself) read the same and files written here read back
// the same in QSettings (which other tools and older versions use on the same file).
class IniCodec {
public:
    IniCodec() = delete;

    using Map = QMap<QString, QVariant>;
    static QByteArray write(const Map &values);
    static Map read(const QByteArray &bytes);
};
