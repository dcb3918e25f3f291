#pragma once

#include "model/PackedColor.h"
#include "model/SharedName.h"

struct PaletteColor {
    SharedName colName;
    PackedColor colColor;

    bool operator==(const PaletteColor &) const = default;
};

// A million colours are loaded at once; each is two pointers' worth.
static_assert(sizeof(PaletteColor) == 16);
