#pragma once

#include "interchange/ReadResult.h"

#include <QByteArray>
#include <QString>
#include <optional>

// Palette files of other programs: which format a path names, reading a file whole and
// writing a palette in a format.
class PaletteFile {
public:
    PaletteFile() = delete;

    enum class Format { Gpl, Ase, Css, Text, Json };

    // From the path's extension, case ignored; nullopt for any other.
    static std::optional<Format> formatForPath(const QString &path);
    // From the extension, else from the first bytes (an unknown extension reads as text).
    static Format formatForContent(const QString &path, QByteArrayView bytes);
    // "gpl, ase, css, txt, json", for messages.
    static QString knownExtensions();

    // Reads the file and decodes it; the palette is named after the file when the format
    // holds no name. Refuses links to nothing, folders, devices and files over 64 MiB.
    static ReadResult read(const QString &path);
    static ReadResult decode(QByteArrayView bytes, Format format, const QString &fallbackName);
    // Empty when the palette cannot be written in that format (a component is not finite).
    static std::optional<QByteArray> encode(const Palette &palette, Format format);
    // The palette in the format the path's extension names, through the safe write. False
    // with the reason in *error when nothing was written.
    static bool write(const QString &path, const Palette &palette, QString *error);

    // Text before a colour name made from its components, e.g. "#CC9064".
    static QString hexName(const SerializableColor &color);
};
