#include "platform/ScreenPicker.h"

#include "platform/PickerOverlay.h"
#include "platform/PortalColorPicker.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>

namespace {

constexpr int kGrabAttempts = 40;
constexpr int kGrabRetryMs = 25;

ColorValue colorOf(QRgb rgb) {
    // Exact fractions of 255 in double: 102 is stored as 0.4, not as a float's neighbour.
    return ColorValue::fromSrgb(qRed(rgb) / 255.0, qGreen(rgb) / 255.0, qBlue(rgb) / 255.0, 1.0);
}

} // namespace

ScreenPicker::ScreenPicker(QObject *parent)
    : QObject(parent) {
}

ScreenPicker::~ScreenPicker() {
    closeOverlays();
}

bool ScreenPicker::usesPortal() {
    if (qEnvironmentVariable("SWATCHBAR_USE_PORTAL") == QLatin1String("1"))
        return true;
    // Wayland lets no client read the screen; only the compositor, through the portal, can.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

PortalColorPicker *ScreenPicker::portal() {
    if (!m_portal) {
        m_portal = new PortalColorPicker(this);
        connect(m_portal, &PortalColorPicker::picked, this, [this](const ColorValue &color) {
            m_active = false;
            emit picked(color);
        });
        connect(m_portal, &PortalColorPicker::cancelled, this, [this] {
            m_active = false;
            emit cancelled();
        });
        connect(m_portal, &PortalColorPicker::failed, this, [this](const QString &reason) {
            m_active = false;
            emit failed(reason);
        });
    }
    return m_portal;
}

void ScreenPicker::start() {
    if (m_active)
        return;
    if (usesPortal()) {
        m_active = true;
        portal()->start();
        return;
    }
    QList<ScreenSnapshot> snapshots;
    for (QScreen *screen : QGuiApplication::screens()) {
        const QPixmap shot = screen->grabWindow(0);
        snapshots.append(
            ScreenSnapshot{screen->geometry(), shot.toImage(),
                           shot.isNull() ? screen->devicePixelRatio() : shot.devicePixelRatio()});
    }
    startWithSnapshots(std::move(snapshots));
}

void ScreenPicker::startWithSnapshots(QList<ScreenSnapshot> snapshots) {
    if (m_active)
        return;
    if (snapshots.isEmpty()) {
        emit failed(QStringLiteral("no screen to pick from"));
        return;
    }
    m_active = true;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (ScreenSnapshot &snapshot : snapshots) {
        QScreen *screen = nullptr;
        for (QScreen *candidate : screens)
            if (candidate->geometry() == snapshot.geometry)
                screen = candidate;
        auto *overlay = new PickerOverlay(std::move(snapshot), screen);
        connect(overlay, &PickerOverlay::pointerMoved, this, &ScreenPicker::onPointerMoved);
        connect(overlay, &PickerOverlay::pickRequested, this, &ScreenPicker::onPick);
        connect(overlay, &PickerOverlay::cancelRequested, this, &ScreenPicker::cancel);
        connect(overlay, &PickerOverlay::moveRequested, this, [this](QPoint delta) {
            PickerOverlay *current = currentOverlay();
            if (current)
                current->setTarget(current->target() + delta);
        });
        m_overlays.append(overlay);
    }
    // Start with the loupe where the pointer is, so the keyboard alone can pick.
    const QPoint cursor = QCursor::pos();
    for (PickerOverlay *overlay : std::as_const(m_overlays)) {
        overlay->show();
        if (overlay->geometry().contains(cursor))
            overlay->setTarget(overlay->devicePixelAt(QPointF(cursor - overlay->pos())));
    }
    grabKeyboard(kGrabAttempts);
    emit overlayShown();
}

PickerOverlay *ScreenPicker::currentOverlay() const {
    for (PickerOverlay *overlay : m_overlays)
        if (overlay->target().x() >= 0)
            return overlay;
    return nullptr;
}

void ScreenPicker::grabKeyboard(int attemptsLeft) {
    if (!m_active || m_overlays.isEmpty())
        return;
    // A window bypassing the window manager gets no focus of its own; the grab brings the
    // keys. It fails until the window is mapped, so try again for a little while.
    PickerOverlay *overlay = currentOverlay() ? currentOverlay() : m_overlays.first();
    overlay->activateWindow();
    overlay->setFocus();
    QWindow *window = overlay->windowHandle();
    if (window && window->setKeyboardGrabEnabled(true))
        return;
    if (attemptsLeft > 0)
        QTimer::singleShot(kGrabRetryMs, this,
                           [this, attemptsLeft] { grabKeyboard(attemptsLeft - 1); });
}

void ScreenPicker::onPointerMoved(PickerOverlay *overlay, QPoint devicePixel) {
    for (PickerOverlay *other : std::as_const(m_overlays))
        if (other != overlay)
            other->clearTarget();
    overlay->setTarget(devicePixel);
}

void ScreenPicker::onPick(PickerOverlay *overlay) {
    if (!overlay)
        overlay = currentOverlay();
    if (!overlay || overlay->target().x() < 0)
        return;
    const ColorValue color = colorOf(overlay->pixelAt(overlay->target()));
    closeOverlays();
    m_active = false;
    emit picked(color);
}

void ScreenPicker::cancel() {
    // A portal pick ends with the portal's own answer.
    if (!m_active || m_overlays.isEmpty())
        return;
    closeOverlays();
    m_active = false;
    emit cancelled();
}

void ScreenPicker::closeOverlays() {
    for (PickerOverlay *overlay : std::as_const(m_overlays)) {
        if (QWindow *window = overlay->windowHandle())
            window->setKeyboardGrabEnabled(false);
        overlay->hide();
        // May be the overlay whose event handler is running.
        overlay->deleteLater();
    }
    m_overlays.clear();
}
