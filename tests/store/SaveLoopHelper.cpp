// Child process of the crash test: saves its palettes over and over until it is killed.
#include "SaveLoopPalette.h"
#include "store/Manager.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <cstdio>

int main(int argc, char *argv[]) {
    QStandardPaths::setTestModeEnabled(true); // same folders as the test that started us
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
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
