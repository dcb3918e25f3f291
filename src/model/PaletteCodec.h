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
    // The palette when the bytes are exactly encode()'s for it, read in one quick pass; empty
    // otherwise, and for some such texts as well (escapes, non-ASCII), which decode() reads.
    // Whatever it reads, decode() reads the same and encodesTo() accepts.
    static std::optional<Palette> decodeWrittenForm(QByteArrayView bytes);
    // Never throws. Skips a leading UTF-8 byte order mark; of a key given twice, the last counts.
    static DecodeResult decode(QByteArrayView json);
};
