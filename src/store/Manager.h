#pragma once

#include "model/Palette.h"

#include <QString>
#include <functional>
#include <optional>

// The palettes folder store: operations only, no state. Reaches the collection through
// PalettesOO::shared().
class Manager {
public:
    Manager() = delete;

    static std::optional<QString> supportSubfolder(const QString &name, bool create);
    static std::optional<Palette> loadPalette(const QString &name);
    // False when the file was not written (the reason is logged).
    static bool savePalette(const Palette &palette);
    // Appends the palette to the collection and saves it; false when the file was not written.
    static bool addPalette(const Palette &palette);
    static void loadAllPalettes();
    static void deletePalette(const QString &name);
    static void revealInFileViewer(const std::optional<QString> &location);

    // A name that can be a plain file name inside the palettes folder.
    static bool isValidPaletteName(const QString &name);
    // Short reason why a name is refused, or empty when it is fine.
    static QString invalidNameReason(const QString &name);

    // How a folder is shown in the file viewer; installed by the platform layer.
    using FileViewer = std::function<void(const QString &location)>;
    static void setFileViewer(FileViewer viewer);
};
