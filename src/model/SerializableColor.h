#pragma once

#include <optional>

// A stored colour: components as written in the palette file, never clamped or rounded.
struct SerializableColor {
    double red = 0.0;
    double green = 0.0;
    double blue = 0.0;
    std::optional<double> alpha; // absent: opacity not recorded, counts as 1.0

    bool operator==(const SerializableColor &) const = default;
};
