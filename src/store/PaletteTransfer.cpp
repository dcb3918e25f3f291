#include "store/PaletteTransfer.h"

#include "core/Log.h"
#include "interchange/PaletteFile.h"
#include "store/BackgroundWriter.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QFile>
#include <QSet>
#include <sys/stat.h>

namespace {

// A file name holds at most 255 bytes; the palette's file adds ".json".
constexpr qsizetype kMaxNameBytes = 255 - 5;

bool fileTaken(const QString &name) {
    const std::optional<QString> folder =
        Manager::supportSubfolder(QStringLiteral("Palettes"), false);
    if (!folder)
        return false;
    struct stat info {};
    return ::lstat(QFile::encodeName(*folder + QLatin1Char('/') + name + QStringLiteral(".json"))
                       .constData(),
                   &info) == 0;
}

} // namespace

QString PaletteTransfer::safeName(const QString &name, QString *reason) {
    QString safe = name;
    QStringList reasons;
    if (safe.contains(QLatin1Char('/')) || safe.contains(QChar(0))) {
        reasons << QStringLiteral("\"/\" and NUL cannot be in a file name");
        safe.replace(QLatin1Char('/'), QLatin1Char('-'));
        safe.replace(QChar(0), QLatin1Char('-'));
    }
    if (safe.contains(QStringLiteral(".json"))) {
        reasons << QStringLiteral("\".json\" would end the file name early");
        safe.replace(QStringLiteral(".json"), QStringLiteral("-json"));
    }
    if (QFile::encodeName(safe).size() > kMaxNameBytes) {
        reasons << QStringLiteral("a file name holds at most 255 bytes");
        while (QFile::encodeName(safe).size() > kMaxNameBytes)
            safe.chop(safe.size() >= 2 && safe.back().isLowSurrogate() ? 2 : 1);
    }
    if (safe.isEmpty() || safe == QLatin1String(".") || safe == QLatin1String("..")) {
        if (!name.isEmpty())
            reasons << QStringLiteral("it cannot be a file name");
        safe = QStringLiteral("Imported");
    }
    // Whatever else the store refuses.
    if (!Manager::isValidPaletteName(safe)) {
        reasons << Manager::invalidNameReason(safe);
        safe = QStringLiteral("Imported");
    }
    if (reason)
        *reason = reasons.join(QStringLiteral("; "));
    return safe;
}

QString PaletteTransfer::freeName(const QString &name) {
    QSet<QString> taken;
    if (const PalettesOO *collection = PalettesOO::shared())
        for (const Palette &palette : collection->palettes())
            taken.insert(palette.palName);
    const auto isFree = [&](const QString &candidate) {
        return !taken.contains(candidate) && !fileTaken(candidate);
    };
    if (isFree(name))
        return name;
    for (int n = 2;; ++n) {
        const QString number = QLatin1Char(' ') + QString::number(n);
        // Keep room for the number within the file-name limit.
        QString base = name;
        while (!base.isEmpty() && QFile::encodeName(base + number).size() > kMaxNameBytes)
            base.chop(base.size() >= 2 && base.back().isLowSurrogate() ? 2 : 1);
        if (isFree(base + number))
            return base + number;
    }
}

std::optional<QString> PaletteTransfer::importFile(const QString &path) {
    ReadResult read = PaletteFile::read(path);
    if (!read.palette) {
        logLine(QStringLiteral("Failed to import %1 : %2").arg(printable(path), read.error));
        return std::nullopt;
    }
    Palette palette = std::move(*read.palette);
    QString reason;
    const QString safe = safeName(palette.palName, &reason);
    if (!reason.isEmpty())
        logLine(QStringLiteral("Palette name \"%1\" from %2 made safe as \"%3\" : %4")
                    .arg(printable(palette.palName), printable(path), printable(safe), reason));
    palette.palName = freeName(safe);
    // A large palette goes to the writer thread, which reports a failure only when it is
    // done: wait for it, so that a command that ends now never calls a lost write imported.
    // The name was free, so the file is there exactly when the write went through.
    const bool added = Manager::addPalette(palette);
    BackgroundWriter::instance().flush();
    if (!added || !fileTaken(palette.palName)) {
        logLine(QStringLiteral("Failed to import %1 : the palette could not be saved")
                    .arg(printable(path)));
        return std::nullopt;
    }
    // One arg() call: a "%1" inside the name must not take the count's place.
    logLine(QStringLiteral("Imported pal: %1 (%2 colors) from %3")
                .arg(printable(palette.palName), QString::number(palette.palColors.size()),
                     printable(path)));
    return palette.palName;
}

bool PaletteTransfer::exportPalette(const QString &name, const QString &path) {
    const PalettesOO *collection = PalettesOO::shared();
    const Palette *found = nullptr;
    if (collection)
        for (const Palette &palette : collection->palettes())
            if (palette.palName == name) {
                found = &palette;
                break;
            }
    if (!found) {
        logLine(QStringLiteral("Failed to export \"%1\" : no palette has that name")
                    .arg(printable(name)));
        return false;
    }
    QString error;
    if (!PaletteFile::write(path, *found, &error)) {
        logLine(QStringLiteral("Failed to export \"%1\" to %2 : %3")
                    .arg(printable(name), printable(path), error));
        return false;
    }
    logLine(QStringLiteral("Exported pal: %1 (%2 colors) to %3")
                .arg(printable(name), QString::number(found->palColors.size()), printable(path)));
    return true;
}
