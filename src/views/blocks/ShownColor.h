#pragma once

#include <QColor>

// A stored colour as painted on screen. Files may hold any number; components are clamped to
// 0..1 (NaN reads as 0), since QColor warns about and refuses anything else.
inline QColor shownColor(double red, double green, double blue, double alpha = 1.0) {
    const auto unit = [](double value) {
        return static_cast<float>(value > 0.0 ? (value < 1.0 ? value : 1.0) : 0.0);
    };
    return QColor::fromRgbF(unit(red), unit(green), unit(blue), unit(alpha));
}
