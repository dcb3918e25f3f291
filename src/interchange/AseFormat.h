#pragma once

#include "interchange/ReadResult.h"

#include <QByteArray>
#include <QByteArrayView>

// Adobe Swatch Exchange files (.ase), big-endian:
//   "ASEF", version u16 major, u16 minor, u32 block count, then blocks of
//   u16 type (0x0001 colour, 0xC001 group start, 0xC002 group end), u32 length, body.
// A colour body is u16 name length in UTF-16 units (with the closing NUL), the UTF-16 name,
// a four-letter model ("RGB ", "CMYK", "LAB ", "Gray"), its components as 32-bit floats and a
// u16 colour type. Groups are flattened in file order.
class AseFormat {
public:
    AseFormat() = delete;

    static ReadResult read(QByteArrayView bytes, const QString &paletteName);
    // RGB entries only; alpha has no place in the format and is dropped.
    static QByteArray write(const Palette &palette);
};
