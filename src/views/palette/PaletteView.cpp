#include "views/palette/PaletteView.h"

#include "store/PalettesOO.h"

#include <QWidget>

// Placeholder until the palette window exists: an empty window with the right title.
void openPaletteWindow(PalettesOO *collection, int index) {
    if (!collection || !collection->contains(index))
        return;
    auto *window = new QWidget;
    window->setWindowTitle(QStringLiteral("Viewing: ") + collection->palettes().at(index).palName);
    window->resize(480, 300);
    window->show();
}
