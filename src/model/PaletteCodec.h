#pragma once

#include "model/Palette.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

// Reads and writes the palette file format: one compact JSON object per palette.
class PaletteCodec {
public:
    struct DecodeResult {
        std::optional<Palette> palette;
        QString error; // set when palette is empty; names what is wrong and where
    };

    // Compact JSON, keys in field order. Empty when a component is not finite.
    static std::optional<QByteArray> encode(const Palette &palette);
    // Whether encode(palette) gives exactly these bytes, found without building the encoding;
    // false when it gives none.
    static bool encodesTo(const Palette &palette, QByteArrayView bytes);
    // Never throws. Skips a leading UTF-8 byte order mark; of a key given twice, the last counts.
    static DecodeResult decode(QByteArrayView json);
};
