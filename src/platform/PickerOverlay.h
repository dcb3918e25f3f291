#pragma once

#include "platform/ScreenSnapshot.h"

#include <QPoint>
#include <QWidget>

class QScreen;

// A full-screen window over one screen showing the screen as it was when the picker started,
// with a magnifier around the pixel under the pointer. All geometry of the pick is in the
// snapshot's device pixels, so at a scale of 2 the pixel picked is the one the user sees.
class PickerOverlay : public QWidget {
    Q_OBJECT
public:
    PickerOverlay(ScreenSnapshot snapshot, QScreen *screen, QWidget *parent = nullptr);

    // The device pixel the loupe points at, or (-1, -1) while the pointer is elsewhere.
    QPoint target() const { return m_target; }
    void setTarget(QPoint devicePixel);
    void clearTarget();
    // Colour of a device pixel of the snapshot, as 0xAARRGGBB.
    QRgb pixelAt(QPoint devicePixel) const;
    // Where the loupe is drawn, in logical widget coordinates.
    QRect loupeRect() const;
    const ScreenSnapshot &snapshot() const { return m_snapshot; }

    // Device pixel under a point in widget coordinates.
    QPoint devicePixelAt(QPointF position) const;

    // Sizes of the loupe: cells across (odd, the target in the middle) and each cell's side.
    static constexpr int loupeCells = 15;
    static constexpr int loupeCellSize = 9;

signals:
    void pointerMoved(PickerOverlay *overlay, QPoint devicePixel);
    // overlay: where the click was; nullptr for Return, which picks the current target.
    void pickRequested(PickerOverlay *overlay);
    void moveRequested(QPoint delta);
    void cancelRequested();
    // A paint has finished (the screen shows the overlay once it is flushed).
    void painted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QRect loupeRectFor(QPoint devicePixel) const;
    void paintLoupe(QPainter &painter);

    ScreenSnapshot m_snapshot;
    QPoint m_target{-1, -1};
    QRect m_loupe;
};
