#pragma once

#include "model/OptionalDouble.h"

// A stored colour: components as written in the palette file, never clamped or rounded.
struct SerializableColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    OptionalDouble alpha; // absent: opacity not recorded, counts as 1.0

    bool operator==(const SerializableColor &) const = default;
};

static_assert(sizeof(SerializableColor) == 32);
