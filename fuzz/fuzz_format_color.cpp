// Expands arbitrary templates for arbitrary component bit patterns (NaN, infinities, huge and
// negative values included) and checks the texts that have a fixed shape.
#include "model/ColorText.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 33)
        return 0;
    double components[4];
    std::memcpy(components, data, sizeof components);
    SerializableColor color{components[0], components[1], components[2], std::nullopt};
    if (data[32] & 1)
        color.alpha = components[3];
    const QString format = QString::fromUtf8(reinterpret_cast<const char *>(data) + 33,
                                             static_cast<qsizetype>(size - 33));

    const QString text = formatColor(format, color);
    if (!format.contains(QChar(0x00A7)) && text != format)
        std::abort();
    const QString hex = hexText(color);
    const QString hexAlpha = hexTextWithAlpha(color);
    if (hex.size() < 6 || !hexAlpha.startsWith(hex) || hexAlpha.size() < hex.size() + 2)
        std::abort();
    bool inByteRange = true;
    for (double value : {color.red, color.green, color.blue, color.alpha.value_or(1.0)})
        inByteRange = inByteRange && value >= 0.0 && value < 256.0 / 255.0;
    if (inByteRange && hexAlpha.size() != 8)
        std::abort();

    (void)formatLabel(format);
    const ColorValue shown = displayColor(color);
    (void)shown.description();
    const SerializableColor back = colorComponents(shown);
    if (!std::isnan(color.red) && back.red != color.red)
        std::abort();
    return 0;
}
