// Reads arbitrary bytes as an Adobe swatch file and as a GIMP palette. Either reader gives a
// palette or one line; what it gives must write, and read back to the same colour count.
#include "interchange/AseFormat.h"
#include "interchange/GplFormat.h"

#include <cstdint>
#include <cstdlib>

namespace {

template <typename Format> void check(QByteArrayView input) {
    const ReadResult first = Format::read(input, QStringLiteral("fuzz"));
    if (!first.palette) {
        if (first.error.isEmpty() || first.error.contains(QLatin1Char('\n')))
            std::abort();
        return;
    }
    const QByteArray written = Format::write(*first.palette);
    const ReadResult second = Format::read(written, QStringLiteral("fuzz"));
    if (!second.palette || second.palette->palColors.size() != first.palette->palColors.size())
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArrayView input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    check<AseFormat>(input);
    check<GplFormat>(input);
    return 0;
}
