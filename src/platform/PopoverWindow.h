#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

class QScrollArea;
class QScreen;

// A borderless pop-up that hosts one content widget below the tray icon. It takes the size of
// its content (never less than the content size it is given), up to what the screen has room
// for, and scrolls beyond that. A click outside closes it, as does Escape or another of the
// program's windows coming up.
//
// On Wayland a pop-up needs a parent surface of our own, and the tray icon is drawn by
// another process, so there it is a small fixed-size dialog instead (tiling compositors float
// those), closed when it loses focus. Where the compositor speaks sway's IPC it is moved to
// the panel's end where trays sit; elsewhere the compositor places it. A Wayland client never
// learns where the pointer is outside its own windows, so the pointer is never used there.
class PopoverWindow : public QWidget {
    Q_OBJECT
public:
    explicit PopoverWindow(QWidget *parent = nullptr);

    // The smallest size the content is shown at.
    void setContentSize(const QSize &size);
    QSize contentSize() const { return m_contentSize; }
    // Takes ownership of the widget.
    void setContentWidget(QWidget *content);
    QWidget *contentWidget() const;
    QScrollArea *scrollArea() const { return m_scroll; }

    bool isShown() const { return isVisible(); }
    // Opens below anchor (global coordinates), or above it when there is no room below; near
    // the mouse pointer when anchor is empty. Always wholly on one screen.
    void showRelativeTo(const QRect &anchor);
    void performClose();

    // Without a tray there is nothing to open from: the content lives in an ordinary window.
    void showAsWindow();
    bool isWindowMode() const { return m_windowMode; }

    // True right after a click outside closed the pop-up, when that click fell in area (or
    // area is empty). The same click must not open it again when it lands on the tray icon.
    bool wasJustClosedByClickIn(const QRect &area) const;

    // The size the window takes on a screen for the current content.
    QSize fittedSize(const QScreen *screen) const;
    // Where the pop-up goes for an anchor, given its size and the screen's free area.
    static QRect placement(const QRect &anchor, const QSize &size, const QRect &available);
    // Where it goes when only the panel is known: at the end of the panel where trays sit,
    // inside the area the panel leaves free (usable) on its output.
    static QRect placementByPanel(const QRect &output, const QRect &usable, const QSize &size);

    // Whether the pop-up is the Wayland kind (see above).
    bool isWaylandMode() const { return m_wayland; }

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // Painting has begun (timing hook).
    void painted();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    QScreen *screenFor(const QRect &anchor) const;
    void scheduleRefit();
    void refit();
    void placeByCompositor();
    bool ownsFocusWindow() const;

    QScrollArea *m_scroll;
    QSize m_contentSize{400, 400};
    QRect m_anchor;
    bool m_windowMode = false;
    bool m_wayland = false;
    bool m_refitPending = false;
    QElapsedTimer m_outsideClose;
    QPoint m_outsideClickPos;
    bool m_outsideClickKnown = false;
    int m_placeAttempts = 0;
};
