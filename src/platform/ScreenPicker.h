#pragma once

#include "model/ColorValue.h"
#include "platform/ScreenSnapshot.h"

#include <QList>
#include <QObject>
#include <QPointer>

class PickerOverlay;
class PortalColorPicker;

// Picks one colour anywhere on screen: a full-screen overlay with a loupe on X11, the desktop
// portal on Wayland (and on X11 with SWATCHBAR_USE_PORTAL=1). Exactly one of picked(),
// cancelled() or failed() follows each start().
class ScreenPicker : public QObject {
    Q_OBJECT
public:
    explicit ScreenPicker(QObject *parent = nullptr);
    ~ScreenPicker() override;

    static bool usesPortal();

    void start();
    // Overlay on the given snapshots instead of grabbing the screens (tests, benchmarks).
    void startWithSnapshots(QList<ScreenSnapshot> snapshots);
    bool isActive() const { return m_active; }
    void cancel();

    const QList<PickerOverlay *> &overlays() const { return m_overlays; }
    PortalColorPicker *portal();

signals:
    void picked(const ColorValue &color);
    void cancelled();
    void failed(const QString &reason);
    // Every overlay of this pick has been painted once (for the benchmark).
    void overlayShown();

private:
    // A mouse event on an overlay: the device pixel it computed, bettered on X11 by asking
    // the server where the pointer is in device pixels.
    void onMouse(PickerOverlay *overlay, QPoint devicePixel);
    void onPointerMoved(PickerOverlay *overlay, QPoint devicePixel);
    void onPick(PickerOverlay *clicked);
    void closeOverlays();
    PickerOverlay *currentOverlay() const;
    void grabKeyboard(int attemptsLeft);

    bool m_active = false;
    QList<PickerOverlay *> m_overlays;
    qsizetype m_paintedOverlays = 0;
    QPointer<PortalColorPicker> m_portal;
};
