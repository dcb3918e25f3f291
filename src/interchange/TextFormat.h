#pragma once

#include "interchange/ReadResult.h"

#include <QByteArray>
#include <QByteArrayView>

// Plain text: one colour per line. Written as "#RRGGBB name" ("#RRGGBBAA name" when the alpha
// is not 1); read as the first colour text of each line that holds one, with the rest of the
// line as its name.
class TextFormat {
public:
    TextFormat() = delete;

    static ReadResult read(QByteArrayView bytes, const QString &paletteName);
    static QByteArray write(const Palette &palette);
};
