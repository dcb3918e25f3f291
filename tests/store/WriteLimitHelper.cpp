// Child process of the write-safety tests: runs one store operation under a file-size limit
// (RLIMIT_FSIZE), so every write past the limit fails part-way with EFBIG, as on a full disk.
// Usage: store_write_limit <limit-bytes> load|edit|defaults|settings
#include "model/ColorEdit.h"
#include "settings/Settings.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <csignal>
#include <sys/resource.h>

int main(int argc, char *argv[]) {
    QStandardPaths::setTestModeEnabled(true); // same folders as the test that started us
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    std::signal(SIGXFSZ, SIG_IGN);
    PalettesOO collection;
    PalettesOO::setShared(&collection);
    const QString mode = args.at(2);
    const auto limit = [&args] {
        const rlim_t bytes = args.at(1).toULongLong();
        const rlimit limit{bytes, bytes};
        return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    };
    if (mode == QLatin1String("load")) {
        if (!limit())
            return 3;
        Manager::loadAllPalettes();
    } else if (mode == QLatin1String("edit")) {
        Manager::loadAllPalettes();
        if (!limit() || collection.count() == 0)
            return 3;
        const Palette first = collection.palettes().at(0);
        Manager::editColors(0, ColorEdit::add({QStringLiteral("Added"), {0.1, 0.2, 0.3, 1.0}}));
        if (!first.palColors.isEmpty())
            Manager::editColors(0, ColorEdit::remove(0, first.palColors.at(0)));
    } else if (mode == QLatin1String("defaults")) {
        Settings::storeMissingDefaults();
        Settings::sync();
    } else if (mode == QLatin1String("settings")) {
        // The file before the failing write holds the folder's positions and the defaults.
        Manager::loadAllPalettes();
        Settings::storeMissingDefaults();
        Settings::sync();
        if (!limit())
            return 3;
        for (int i = 0; i < 2000; ++i)
            Settings::setInteger(QStringLiteral("palettes.indicies.p%1").arg(i), i);
        Settings::sync();
    } else {
        return 2;
    }
    return 0;
}
