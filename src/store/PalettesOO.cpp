#include "store/PalettesOO.h"

#include "core/LateRelease.h"

namespace {
PalettesOO *g_shared = nullptr;
}

PalettesOO::PalettesOO(QObject *parent)
    : QObject(parent) {
}

void PalettesOO::setPalettes(QList<Palette> palettes) {
    m_palettes = std::move(palettes);
    emit palettesChanged();
}

void PalettesOO::append(Palette palette) {
    m_palettes.append(std::move(palette));
    emit palettesChanged();
}

void PalettesOO::replace(int index, Palette palette) {
    if (!contains(index))
        return;
    Palette old = std::exchange(m_palettes[index], std::move(palette));
    emit palettesChanged();
    release(std::move(old));
}

void PalettesOO::release(Palette &&palette) {
    // Below this, handing it over costs more than freeing it here.
    constexpr qsizetype large = 4096;
    if (palette.palColors.size() >= large)
        LateRelease::drop(std::move(palette));
}

int PalettesOO::indexOf(const QString &palName) const {
    for (int i = 0; i < count(); ++i) {
        if (m_palettes.at(i).palName == palName)
            return i;
    }
    return -1;
}

void PalettesOO::noteRenamed(const QString &oldName, const QString &newName) {
    emit paletteRenamed(oldName, newName);
}

PalettesOO *PalettesOO::shared() {
    return g_shared;
}

void PalettesOO::setShared(PalettesOO *collection) {
    g_shared = collection;
}
