#pragma once

#include "model/SerializableColor.h"
#include "model/SharedName.h"

struct PaletteColor {
    SharedName colName;
    SerializableColor colColor;

    bool operator==(const PaletteColor &) const = default;
};

// A million colours are loaded at once; each is a colour and a pointer.
static_assert(sizeof(PaletteColor) == 40);
