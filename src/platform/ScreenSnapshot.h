#pragma once

#include <QImage>
#include <QRect>

// What one screen showed when the picker started: its place on the virtual desktop in
// logical pixels and its image in device pixels (ratio devicePixelRatio).
struct ScreenSnapshot {
    QRect geometry;
    QImage image;
    qreal devicePixelRatio = 1.0;
};
