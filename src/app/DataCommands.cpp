#include "app/DataCommands.h"

#include "app/CommandLine.h"
#include "core/Log.h"
#include "model/ColorText.h"
#include "platform/SingleInstance.h"
#include "settings/CopyFormats.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PaletteTransfer.h"
#include "store/PalettesOO.h"

namespace {

// A tab or line break inside a name would break the "text<TAB>name" lines apart.
QString oneField(QString text) {
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return text;
}

const Palette *findPalette(const QString &name) {
    for (const Palette &palette : PalettesOO::shared()->palettes())
        if (palette.palName == name)
            return &palette;
    return nullptr;
}

int printPalette(const QString &name) {
    const Palette *palette = findPalette(name);
    if (!palette) {
        logLine(QStringLiteral("No palette named \"%1\"").arg(oneField(name)));
        return 1;
    }
    const QString format =
        CopyFormats::at(Settings::integer(SettingsKeys::formatIdxKey(palette->palName)));
    for (const PaletteColor &color : palette->palColors)
        printLine(oneField(formatColor(format, color.colColor)) + QLatin1Char('\t') +
                  oneField(color.colName));
    return 0;
}

int importFiles(const QStringList &files) {
    int status = 0;
    bool imported = false;
    for (const QString &file : files) {
        if (PaletteTransfer::importFile(file))
            imported = true;
        else
            status = 1;
    }
    // A running Swatchbar shows the new palettes; when none listens there is nobody to tell.
    if (imported &&
        SingleInstance(QStringLiteral("swatchbar")).askOnce(QByteArrayLiteral("reload")) ==
            SingleInstance::Reach::NoAnswer)
        logLine(QStringLiteral("The running Swatchbar did not answer; \"Reload palettes\" in "
                               "its preferences shows the new palettes"));
    return status;
}

} // namespace

int DataCommands::run(const CommandLine &commandLine) {
    PalettesOO palettes;
    PalettesOO::setShared(&palettes);
    // The load's own lines would mix with the data on stdout.
    setLogToStandardError(true);
    Manager::loadAllPalettes();
    int status = 0;
    switch (commandLine.dataCommand()) {
    case CommandLine::DataCommand::List:
        for (const Palette &palette : palettes.palettes())
            printLine(oneField(palette.palName));
        break;
    case CommandLine::DataCommand::Print:
        status = printPalette(commandLine.paletteName());
        break;
    case CommandLine::DataCommand::Import:
        setLogToStandardError(false);
        status = importFiles(commandLine.files());
        break;
    case CommandLine::DataCommand::Export:
        setLogToStandardError(false);
        status = PaletteTransfer::exportPalette(commandLine.paletteName(),
                                                commandLine.files().constFirst())
                     ? 0
                     : 1;
        break;
    case CommandLine::DataCommand::None:
        break;
    }
    Settings::sync();
    PalettesOO::setShared(nullptr);
    return status;
}
