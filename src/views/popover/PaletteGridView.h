#pragma once

#include "model/PaletteFilter.h"
#include "views/popover/GridMetrics.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

class PalettesOO;

// The popover's grid: one painted cell per palette of the collection and a last cell that
// starts a new palette. Nothing is built per palette, so thousands of palettes stay cheap; only
// the one open editor is a real widget, laid over its cell. The grid does not scroll: its size
// is its whole content.
class PaletteGridView : public QWidget {
    Q_OBJECT
public:
    explicit PaletteGridView(PalettesOO *palettes, QWidget *parent = nullptr);

    void setMetrics(const GridMetrics &metrics);
    const GridMetrics &metrics() const { return m_metrics; }

    // Shows only the palettes the filter matches (all with an empty filter).
    void setFilter(const PaletteFilter &filter);
    bool isFiltered() const { return !m_filter.isEmpty(); }
    // The collection index shown in item, or -1 (the new-palette cell, or no such item).
    int paletteIndex(int item) const;
    // The item that shows the palette at index of the collection, or -1 when it is not shown.
    int itemOf(int index) const;
    // Moves the keyboard's cell, keeping it in view; shows it outlined even while the filter
    // field has the keys.
    void setCurrent(int item);
    void moveCurrent(int key);
    void activateCurrent();

    // Shown palettes plus the new-palette cell.
    int itemCount() const;
    int plusItem() const { return itemCount() - 1; }
    QRect cellRect(int item) const;
    // The item under pos, or -1.
    int itemAt(const QPoint &pos) const;
    int hoveredItem() const { return m_hovered; }
    // The cell the keyboard works on (arrows move it, Return opens it).
    int currentItem() const { return m_current; }
    QSize contentSize() const;

    // Lays editor over the cell of item; item -1 hides it.
    void setEditor(QWidget *editor, int item);
    int editorItem() const { return m_editorItem; }

    QSize sizeHint() const override { return contentSize(); }

signals:
    void paletteClicked(int index);
    void plusClicked();
    void paletteContextMenuRequested(int index, const QPoint &globalPos);
    // A palette was dragged onto another's place (collection indices).
    void paletteMoved(int from, int to);

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private:
    void onPalettesChanged();
    void relayout();
    void applySize();
    void placeEditor();
    void setHovered(int item);
    void activate(int item);
    void applyFilter();
    void scrollToCurrent();
    int cellHeight() const;
    // Rows scrolled out of the preview in item.
    int previewFirstRow(int item) const;
    void paintPlus(QPainter &painter, const QRectF &cell) const;
    void paintFocus(QPainter &painter, int item, const QRectF &cell, double radius) const;

    PalettesOO *m_palettes;
    GridMetrics m_metrics;
    int m_hovered = -1;
    int m_pressed = -1;
    int m_current = -1;
    // The current cell is outlined only while the keyboard is in use, not after clicks.
    bool m_showCurrent = false;
    QPointer<QWidget> m_editor;
    int m_editorItem = -1;
    // Rows scrolled out of each preview square, by palette name.
    QHash<QString, int> m_firstRows;
    PaletteFilter m_filter;
    // Collection indices shown, in order, while a filter is set.
    QList<int> m_shown;
    // The list the filter was last tested on and each palette's result.
    QList<Palette> m_matchedFrom;
    QList<bool> m_matched;
    // Drag to reorder: the palette pressed and where the press began.
    QPoint m_pressPos;
    bool m_dragging = false;
    int m_dropItem = -1;
};
