// Child process of the crash tests: saves its palettes over and over until it is killed, or
// ("load") loads the folder once, rewriting what needs it, and waits to be killed.
#include "SaveLoopPalette.h"
#include "store/Manager.h"
#include "store/PalettesOO.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[]) {
    QStandardPaths::setTestModeEnabled(true); // same folders as the test that started us
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 2 && args.at(1) == QLatin1String("load")) {
        PalettesOO collection;
        PalettesOO::setShared(&collection);
        std::fputs("loading\n", stderr);
        Manager::loadAllPalettes();
        std::fputs("loaded\n", stderr);
        for (;;)
            ::pause();
    }
    if (args.size() < 3)
        return 2;
    const int count = args.at(1).toInt();
    int round = args.at(2).toInt();
    // The store saves only over files it has read (or written) itself.
    for (int i = 0; i < count; ++i)
        Manager::loadPalette(QStringLiteral("P%1").arg(i));
    bool announced = false;
    for (;; ++round) {
        for (int i = 0; i < count; ++i) {
            Manager::savePalette(saveLoopPalette(i, round));
            if (!announced) {
                std::fputs("saving\n", stderr);
                announced = true;
            }
        }
    }
}
