#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

// Reads and writes the settings file in the INI dialect QSettings uses, so files written by
// earlier versions (through QSettings itself) read the same and files written here read back
// the same in QSettings. Written through a format of our own because QSettings' own writer
// cannot report a failed final write (see Settings).
class IniCodec {
public:
    IniCodec() = delete;

    using Map = QMap<QString, QVariant>;
    static QByteArray write(const Map &values);
    static Map read(const QByteArray &bytes);
};
