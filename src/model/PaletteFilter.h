#pragma once

#include "model/Palette.h"

#include <QString>

// Finding by typing: a palette matches by its name or any of its colours, a colour by its name
// or its colour text. Names match anywhere, ignoring case. A text of hex digits ("ff7f00",
// "#ff7f") matches the colour's hex form (with "#" only from its start); a list of numbers
// ("255, 127") matches its 0-255 components as written in the copy formats.
class PaletteFilter {
public:
    PaletteFilter() = default;
    explicit PaletteFilter(const QString &text);

    bool isEmpty() const { return m_text.isEmpty(); }
    bool matches(const Palette &palette) const;
    bool matches(const PaletteColor &color) const;

private:
    QString m_text; // trimmed
    QString m_hex;  // the text as lower-case hex digits without "#", or empty
    bool m_hexFromStart = false;
    QString m_numbers; // the numbers joined by ", ", or empty
};
