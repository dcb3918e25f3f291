#pragma once

#include "model/Palette.h"

// Palette number `index` as the save loop writes it in round `round`. Rounds differ in size
// and in every value, so a file can be matched to exactly one round.
inline Palette saveLoopPalette(int index, int round) {
    Palette palette;
    palette.palName = QStringLiteral("P%1").arg(index);
    const int colors = 500 + (round * 37 + index * 11) % 1500;
    palette.palColors.reserve(colors);
    for (int c = 0; c < colors; ++c) {
        PaletteColor color;
        color.colName = QStringLiteral("r%1 c%2").arg(round).arg(c);
        SerializableColor components{(round % 1000) / 1000.0, c / double(colors),
                                     1.0 / (round + c + 3), std::nullopt};
        if (c % 3 != 0)
            components.alpha = (index + 1) / 7.0;
        color.colColor = components;
        palette.palColors.append(color);
    }
    return palette;
}

inline int saveLoopRound(const Palette &palette) {
    if (palette.palColors.isEmpty())
        return -1;
    const QString name = palette.palColors.first().colName; // "r<round> c0"
    bool ok = false;
    const int round = name.section(QLatin1Char(' '), 0, 0).mid(1).toInt(&ok);
    return ok ? round : -1;
}
