#pragma once

// Drawable values for the popover grid. Stored settings may hold anything (0, negative, NaN,
// 1e9); they are drawn as the nearest sane value while the stored value stays untouched.
struct GridMetrics {
    static constexpr double minCellSize = 10.0;
    static constexpr double maxCellSize = 1000.0;
    static constexpr double maxSpacing = 1000.0;
    static constexpr double maxRadius = 50.0;
    static constexpr int maxColumns = 999;
    // Narrowest swatch inside a preview.
    static constexpr double minSwatchSize = 10.0;

    double cellSize = 100.0;
    double spacing = 25.0;
    double radiusPercent = 25.0;
    int columns = 4;
    int cellColumns = 5;

    static GridMetrics sane(double cellSize, double spacing, double radiusPercent, int columns,
                            int cellColumns);

    // Corner radius in pixels of a palette cell.
    double cornerRadius() const { return cellSize / 100.0 * radiusPercent; }
    // Swatch columns that fit a preview square of the given side, at least one.
    static int previewColumns(int colNum, double cellSize);
};
