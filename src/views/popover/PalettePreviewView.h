#pragma once

#include "model/Palette.h"
#include "views/blocks/Binding.h"

#include <QWidget>

class QPainter;

// One palette as a square of colour swatches with its name beneath. The popover grid paints
// it through paint() for every visible cell; the widget form shows a single palette.
class PalettePreviewView : public QWidget {
    Q_OBJECT
public:
    PalettePreviewView(Binding<Palette> palette, Binding<int> colNum, Binding<double> cellSize,
                       QWidget *parent = nullptr);

    // Space between the swatch square and the name line.
    static constexpr int nameGap = 4;

    // Paints the preview into cell: the square (cellSize wide, centred at the top) and the name
    // on the line beneath it. Rows before firstRow are scrolled out of the square. The name is
    // kept clear of corners of cornerRadius that the caller clips the cell to.
    static void paint(QPainter *painter, const QRectF &cell, const Palette &palette, int colNum,
                      double cellSize, const QColor &textColor, int firstRow = 0,
                      double cornerRadius = 0);
    // Number of swatch rows that do not fit the square, i.e. how far it can scroll.
    static int hiddenRows(const Palette &palette, int colNum, double cellSize);
    // Height of square, gap and name line.
    static int previewHeight(double cellSize, const QFontMetrics &metrics);

    int firstRow() const { return m_firstRow; }
    // Redraws from the bindings (after the bound values changed).
    void refresh();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    double drawnSize() const;

    Binding<Palette> m_palette;
    Binding<int> m_colNum;
    Binding<double> m_cellSize;
    int m_firstRow = 0;
};
