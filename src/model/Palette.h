#pragma once

#include "model/PaletteColor.h"

#include <QList>
#include <QString>

struct Palette {
    QString palName;
    QList<PaletteColor> palColors;

    bool operator==(const Palette &) const = default;
};
