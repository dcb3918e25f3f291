#include "platform/ScreenPicker.h"

#include "platform/PickerOverlay.h"
#include "platform/PortalColorPicker.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace {

constexpr int kGrabAttempts = 40;
constexpr int kGrabRetryMs = 25;

ColorValue colorOf(QRgb rgb) {
    // Exact fractions of 255 in double: 102 is stored as 0.4, not as a float's neighbour.
    return ColorValue::fromSrgb(qRed(rgb) / 255.0, qGreen(rgb) / 255.0, qBlue(rgb) / 255.0, 1.0);
}

// The pointer on the X11 root window in device pixels. Qt hands out mouse positions in logical
// pixels rounded to whole ones, which at a scale of 2 cannot tell the four device pixels of a
// logical pixel apart.
std::optional<QPoint> nativePointer() {
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return std::nullopt;
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return std::nullopt;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return std::nullopt;
    const std::unique_ptr<xcb_query_pointer_reply_t, decltype(&std::free)> reply(
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr),
        &std::free);
    if (!reply || !reply->same_screen)
        return std::nullopt;
    return QPoint(reply->root_x, reply->root_y);
}

// Qt keeps a screen's top left corner where it is in device pixels and scales only its size,
// so a device position on the root lies in a snapshot at (position - its top left).
std::optional<QPoint> devicePixelIn(const PickerOverlay *overlay, QPoint native) {
    const ScreenSnapshot &snapshot = overlay->snapshot();
    const QRect device(snapshot.geometry.topLeft(), snapshot.image.size());
    if (!device.contains(native))
        return std::nullopt;
    return native - device.topLeft();
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
    m_paintedOverlays = 0;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (ScreenSnapshot &snapshot : snapshots) {
        QScreen *screen = nullptr;
        for (QScreen *candidate : screens)
            if (candidate->geometry() == snapshot.geometry)
                screen = candidate;
        auto *overlay = new PickerOverlay(std::move(snapshot), screen);
        connect(overlay, &PickerOverlay::pointerMoved, this, &ScreenPicker::onMouse);
        connect(overlay, &PickerOverlay::pickRequested, this, &ScreenPicker::onPick);
        connect(overlay, &PickerOverlay::cancelRequested, this, &ScreenPicker::cancel);
        connect(
            overlay, &PickerOverlay::painted, this,
            [this] {
                if (++m_paintedOverlays == m_overlays.size())
                    emit overlayShown();
            },
            Qt::SingleShotConnection);
        connect(overlay, &PickerOverlay::moveRequested, this, [this](QPoint delta) {
            PickerOverlay *current = currentOverlay();
            if (current)
                current->setTarget(current->target() + delta);
        });
        m_overlays.append(overlay);
    }
    // Start with the loupe where the pointer is, so the keyboard alone can pick.
    const QPoint cursor = QCursor::pos();
    const std::optional<QPoint> native = nativePointer();
    for (PickerOverlay *overlay : std::as_const(m_overlays)) {
        overlay->show();
        if (overlay->geometry().contains(cursor) && currentOverlay() == nullptr)
            overlay->setTarget(overlay->devicePixelAt(QPointF(cursor - overlay->pos())));
        if (native)
            if (const std::optional<QPoint> pixel = devicePixelIn(overlay, *native))
                onPointerMoved(overlay, *pixel);
    }
    grabKeyboard(kGrabAttempts);
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

void ScreenPicker::onMouse(PickerOverlay *overlay, QPoint devicePixel) {
    if (const std::optional<QPoint> native = nativePointer()) {
        // Screens may overlap (mirrored monitors): the overlay that got the event is the one
        // on top there.
        if (const std::optional<QPoint> pixel = devicePixelIn(overlay, *native)) {
            onPointerMoved(overlay, *pixel);
            return;
        }
        for (PickerOverlay *candidate : std::as_const(m_overlays)) {
            if (const std::optional<QPoint> pixel = devicePixelIn(candidate, *native)) {
                onPointerMoved(candidate, *pixel);
                return;
            }
        }
    }
    onPointerMoved(overlay, devicePixel);
}

void ScreenPicker::onPointerMoved(PickerOverlay *overlay, QPoint devicePixel) {
    for (PickerOverlay *other : std::as_const(m_overlays))
        if (other != overlay)
            other->clearTarget();
    overlay->setTarget(devicePixel);
}

void ScreenPicker::onPick(PickerOverlay *clicked) {
    // The press has just placed the target, on whichever screen the pointer really is.
    PickerOverlay *overlay = currentOverlay();
    if (!overlay)
        overlay = clicked;
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
