#include "views/popover/GridMetrics.h"

#include <algorithm>
#include <cmath>

namespace {
double clampOr(double value, double low, double high, double fallback) {
    if (std::isnan(value))
        return fallback;
    return std::clamp(value, low, high);
}
} // namespace

GridMetrics GridMetrics::sane(double cellSize, double spacing, double radiusPercent, int columns,
                              int cellColumns) {
    GridMetrics m;
    m.cellSize = clampOr(cellSize, minCellSize, maxCellSize, m.cellSize);
    m.spacing = clampOr(spacing, 0.0, maxSpacing, m.spacing);
    m.radiusPercent = clampOr(radiusPercent, 0.0, maxRadius, m.radiusPercent);
    m.columns = std::clamp(columns, 1, maxColumns);
    m.cellColumns = std::clamp(cellColumns, 1, maxColumns);
    return m;
}

int GridMetrics::previewColumns(int colNum, double cellSize) {
    // Columns narrower than a swatch would run off the square; wrap them instead.
    const double side = std::isnan(cellSize) ? minSwatchSize : cellSize;
    const int fitting = static_cast<int>(
        std::clamp(std::floor(side / minSwatchSize), 1.0, static_cast<double>(maxColumns)));
    return std::clamp(colNum, 1, fitting);
}
