#include "model/ColorValue.h"

#include <charconv>

ColorValue ColorValue::fromSrgb(double red, double green, double blue, double alpha) {
    return ColorValue({red, green, blue, alpha});
}

QString ColorValue::description() const {
    QString text = QStringLiteral("sRGB");
    for (const double component : m_components) {
        char buffer[32];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, component);
        text += QLatin1Char(' ');
        text += QLatin1String(buffer, result.ptr - buffer);
    }
    return text;
}
