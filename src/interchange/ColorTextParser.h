#pragma once

#include "model/ColorValue.h"

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

// Reads the colour texts people type and paste: "#RGB", "#RGBA", "#RRGGBB", "#RRGGBBAA",
// "RRGGBB", "RRGGBBAA", "255, 127, 0", "255, 127, 0, 128", CSS rgb()/rgba()/hsl()/hsla() in
// comma and space syntax (numbers and percentages) and the CSS named colours.
//
// Every result has four components: red, green, blue, alpha. A component read from an
// 8-bit value v is exactly v / 255.0 in double, so 102 gives 0.4 and never a float's
// neighbour of it. Values above the CSS range are clamped as browsers do; the plain
// "r, g, b" form only takes integers 0-255.
class ColorTextParser {
public:
    struct Found {
        ColorValue color;
        QString text;           // the source text of the match, e.g. "#3A7BD5"
        qsizetype position = 0; // where it starts in the searched text
    };

    // One whole colour text, surrounding white space ignored; nullopt when it is not one.
    static std::optional<ColorValue> parse(QStringView text);

    // Every colour in free text, in order: one per line, or separated by white space, commas or
    // semicolons. Words that are no colour are skipped.
    static QList<Found> findAll(QStringView text);

    // The CSS named colours (lower case), for tests and completion.
    static QStringList colorNames();
};
