#pragma once

#include "interchange/ReadResult.h"

#include <QByteArray>
#include <QByteArrayView>

// GIMP palette files (.gpl), as GIMP, Inkscape and Krita read and write them:
//
//   GIMP Palette
//   Name: Brand
//   Columns: 4
//   # comment
//   255 127   0	Orange
//
// The "Name:" and "Columns:" lines are optional; a colour line is three integers 0-255 and an
// optional name. There is no alpha: it is dropped on writing.
class GplFormat {
public:
    GplFormat() = delete;

    // fallbackName names the palette when the file has no "Name:" line.
    static ReadResult read(QByteArrayView bytes, const QString &fallbackName);
    static QByteArray write(const Palette &palette);
};
