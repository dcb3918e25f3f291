#pragma once

#include "interchange/ReadResult.h"

#include <QByteArray>
#include <QByteArrayView>

// Style sheets. Written as custom properties in ":root", one per colour, with the colour's
// name in a comment so that it comes back on import:
//   :root {
//     --brand-orange: #FF7F00; /* Brand orange */
//   }
// Read: every hex, rgb()/rgba() and hsl()/hsla() colour anywhere in the file, in order.
class CssFormat {
public:
    CssFormat() = delete;

    static ReadResult read(QByteArrayView bytes, const QString &paletteName);
    static QByteArray write(const Palette &palette);
    // "Brand Orange!" -> "brand-orange"; never empty.
    static QString slug(const QString &name);
};
