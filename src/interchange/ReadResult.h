#pragma once

#include "model/Palette.h"

#include <QString>
#include <optional>

// What a palette-file reader gives: the palette, or one line saying what is wrong and where.
struct ReadResult {
    std::optional<Palette> palette;
    QString error;

    static ReadResult failure(QString why) { return {std::nullopt, std::move(why)}; }
};
