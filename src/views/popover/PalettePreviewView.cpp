#include "views/popover/PalettePreviewView.h"

#include "views/blocks/ShownColor.h"
#include "views/popover/GridMetrics.h"

#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
// Built straight from the stored numbers: this runs for every swatch of every visible cell.
QColor swatchColor(const SerializableColor &c) {
    return shownColor(c.red, c.green, c.blue, c.alpha.value_or(1.0));
}

double saneSide(double cellSize) {
    return std::isnan(cellSize)
               ? GridMetrics::minCellSize
               : std::clamp(cellSize, GridMetrics::minCellSize, GridMetrics::maxCellSize);
}
} // namespace

PalettePreviewView::PalettePreviewView(Binding<Palette> palette, Binding<int> colNum,
                                       Binding<double> cellSize, QWidget *parent)
    : QWidget(parent)
    , m_palette(std::move(palette))
    , m_colNum(std::move(colNum))
    , m_cellSize(std::move(cellSize)) {
}

int PalettePreviewView::hiddenRows(const Palette &palette, int colNum, double cellSize) {
    const double side = saneSide(cellSize);
    const int cols = GridMetrics::previewColumns(colNum, side);
    const double swatch = side / cols;
    const auto count = static_cast<qsizetype>(palette.palColors.size());
    const auto rows = static_cast<int>((count + cols - 1) / cols);
    const int visible = static_cast<int>(std::ceil(side / swatch - 1e-9));
    return std::max(0, rows - visible);
}

int PalettePreviewView::previewHeight(double cellSize, const QFontMetrics &metrics) {
    return static_cast<int>(std::ceil(saneSide(cellSize))) + nameGap + metrics.height();
}

void PalettePreviewView::paint(QPainter *painter, const QRectF &cell, const Palette &palette,
                               int colNum, double cellSize, const QColor &textColor, int firstRow,
                               double cornerRadius) {
    const double side = saneSide(cellSize);
    const QRectF square(cell.x() + (cell.width() - side) / 2.0, cell.y(), side, side);
    const int cols = GridMetrics::previewColumns(colNum, side);
    const double swatch = side / cols;
    const int visibleRows = static_cast<int>(std::ceil(side / swatch - 1e-9));
    const auto count = static_cast<qsizetype>(palette.palColors.size());

    painter->save();
    painter->setClipRect(square, Qt::IntersectClip);
    painter->setPen(Qt::NoPen);
    // Only the rows inside the square are drawn, however many colours the palette holds.
    const qsizetype first = static_cast<qsizetype>(std::max(0, firstRow)) * cols;
    const qsizetype last = std::min(count, first + static_cast<qsizetype>(visibleRows + 1) * cols);
    for (qsizetype k = first; k < last; ++k) {
        const QColor color = swatchColor(palette.palColors.at(k).colColor);
        if (color.alpha() == 0)
            continue;
        const auto row = static_cast<double>((k - first) / cols);
        const auto col = static_cast<double>(k % cols);
        // Whole-pixel edges, so neighbouring swatches meet without seams.
        const double x0 = std::round(square.x() + col * swatch);
        const double x1 = std::round(square.x() + (col + 1) * swatch);
        const double y0 = std::round(square.y() + row * swatch);
        const double y1 = std::round(square.y() + (row + 1) * swatch);
        painter->fillRect(QRectF(x0, y0, x1 - x0, y1 - y0), color);
    }
    painter->restore();

    // A thin line in the text colour, faint: a black palette stays visible on a dark
    // background and a white one on a light background.
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    QColor outline = textColor;
    outline.setAlphaF(0.35f);
    painter->setPen(QPen(outline, 1));
    painter->setBrush(Qt::NoBrush);
    const double outlineRadius = std::clamp(cornerRadius - 0.5, 0.0, side / 2.0);
    painter->drawRoundedRect(square.adjusted(0.5, 0.5, -0.5, -0.5), outlineRadius, outlineRadius);
    painter->restore();

    const QFontMetrics metrics = painter->fontMetrics();
    // Fractional advances: at a scale of 2 whole-pixel widths run short and shave the last glyph.
    const QFontMetricsF exact(painter->font(), painter->device());
    const QRectF nameRect(cell.x(), square.bottom() + nameGap, cell.width(), metrics.height());
    // How far a rounded bottom corner reaches into the name line, at half its height.
    const double r = std::clamp(cornerRadius, 0.0, cell.width() / 2.0);
    const double rise = r - (cell.bottom() - nameRect.center().y());
    const double inset = rise > 0 ? r - std::sqrt(std::max(0.0, r * r - rise * rise)) : 0.0;
    const double available = std::max(0.0, cell.width() - 2 * inset - 2);
    painter->save();
    painter->setPen(textColor);
    painter->drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine,
                      exact.elidedText(palette.palName, Qt::ElideRight, available));
    painter->restore();
}

double PalettePreviewView::drawnSize() const {
    return saneSide(m_cellSize.get());
}

void PalettePreviewView::refresh() {
    m_firstRow = std::min(m_firstRow, hiddenRows(m_palette.get(), m_colNum.get(), drawnSize()));
    updateGeometry();
    update();
}

QSize PalettePreviewView::sizeHint() const {
    const int side = static_cast<int>(std::ceil(drawnSize()));
    return {side, previewHeight(side, fontMetrics())};
}

void PalettePreviewView::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    paint(&painter, QRectF(rect()), m_palette.get(), m_colNum.get(), drawnSize(),
          palette().color(QPalette::WindowText), m_firstRow);
}

void PalettePreviewView::wheelEvent(QWheelEvent *event) {
    const int hidden = hiddenRows(m_palette.get(), m_colNum.get(), drawnSize());
    const int steps = event->angleDelta().y() / 120;
    if (hidden == 0 || steps == 0) {
        event->ignore();
        return;
    }
    m_firstRow = std::clamp(m_firstRow - steps, 0, hidden);
    update();
    event->accept();
}
