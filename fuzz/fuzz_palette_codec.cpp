// Decodes arbitrary bytes; whatever decodes must encode, and decode again to the same palette
// and the same bytes.
#include "model/PaletteCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const PaletteCodec::DecodeResult first = PaletteCodec::decode(input);
    if (!first.palette) {
        if (first.error.isEmpty())
            std::abort();
        return 0;
    }
    if (!first.error.isEmpty())
        std::abort();
    const std::optional<QByteArray> json = PaletteCodec::encode(*first.palette);
    if (!json)
        std::abort();
    const PaletteCodec::DecodeResult second = PaletteCodec::decode(*json);
    if (!second.palette || !(*second.palette == *first.palette))
        std::abort();
    if (PaletteCodec::encode(*second.palette) != json)
        std::abort();
    return 0;
}
