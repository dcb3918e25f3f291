#pragma once

#include "model/Palette.h"

#include <QString>
#include <QStringList>
#include <optional>

// Palettes in and out of the palettes folder through other programs' files. New palettes go
// through Manager, so the collection shows them; an import never replaces a palette.
class PaletteTransfer {
public:
    PaletteTransfer() = delete;

    // Reads the file, makes its palette's name safe and free, and adds it. Prints
    // "Imported pal: <name> (<n> colors) from <file>", or one line saying why nothing was
    // written. The palette's name when it was added.
    static std::optional<QString> importFile(const QString &path);
    // Writes the first palette of that name in the format the path's extension names, whole or
    // not at all. Prints one line either way.
    static bool exportPalette(const QString &name, const QString &path);

    // A name that can be a palette file's name: "/" and NUL become "-", ".json" "-json", and
    // an over-long name is cut. Empty reason when unchanged.
    static QString safeName(const QString &name, QString *reason = nullptr);
    // The name itself when no palette or file has it, else the first free "name 2", "name 3"...
    static QString freeName(const QString &name);
};
