#pragma once

#include "model/SerializableColor.h"

#include <QString>

struct PaletteColor {
    QString colName;
    SerializableColor colColor;

    bool operator==(const PaletteColor &) const = default;
};
