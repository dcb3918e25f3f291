#include "platform/PickerOverlay.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>
#include <cmath>

namespace {

constexpr int kOffset = 24;      // loupe's distance from the pointer
constexpr int kLabelHeight = 22; // hex text under the cells

QString hexOf(QRgb rgb) {
    return QStringLiteral("#%1%2%3")
        .arg(qRed(rgb), 2, 16, QLatin1Char('0'))
        .arg(qGreen(rgb), 2, 16, QLatin1Char('0'))
        .arg(qBlue(rgb), 2, 16, QLatin1Char('0'))
        .toUpper();
}

} // namespace

PickerOverlay::PickerOverlay(ScreenSnapshot snapshot, QScreen *screen, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::X11BypassWindowManagerHint | Qt::NoDropShadowWindowHint)
    , m_snapshot(std::move(snapshot)) {
    // The whole window is painted from the snapshot: nothing underneath needs clearing.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(tr("Pick color"));
    m_snapshot.image.setDevicePixelRatio(m_snapshot.devicePixelRatio);
    if (screen) {
        winId();
        windowHandle()->setScreen(screen);
    }
    setGeometry(m_snapshot.geometry);
}

QPoint PickerOverlay::devicePixelAt(QPointF position) const {
    const qreal ratio = m_snapshot.devicePixelRatio;
    const int x = int(std::floor(position.x() * ratio));
    const int y = int(std::floor(position.y() * ratio));
    return QPoint(qBound(0, x, qMax(0, m_snapshot.image.width() - 1)),
                  qBound(0, y, qMax(0, m_snapshot.image.height() - 1)));
}

QRgb PickerOverlay::pixelAt(QPoint devicePixel) const {
    if (!m_snapshot.image.valid(devicePixel))
        return qRgb(0, 0, 0);
    return m_snapshot.image.pixel(devicePixel);
}

QRect PickerOverlay::loupeRectFor(QPoint devicePixel) const {
    const int side = loupeCells * loupeCellSize;
    const QSize size(side, side + kLabelHeight);
    const qreal ratio = m_snapshot.devicePixelRatio;
    const QPoint at(int(devicePixel.x() / ratio), int(devicePixel.y() / ratio));
    // Below right of the pointer, or on the other side where the screen ends.
    int x = at.x() + kOffset;
    int y = at.y() + kOffset;
    if (x + size.width() > width())
        x = at.x() - kOffset - size.width();
    if (y + size.height() > height())
        y = at.y() - kOffset - size.height();
    // A screen too low for either: kept on it, still beside the pointer rather than under it.
    y = qBound(0, y, qMax(0, height() - size.height()));
    return QRect(QPoint(x, y), size);
}

QRect PickerOverlay::loupeRect() const {
    return m_loupe;
}

void PickerOverlay::setTarget(QPoint devicePixel) {
    const QPoint bounded(qBound(0, devicePixel.x(), qMax(0, m_snapshot.image.width() - 1)),
                         qBound(0, devicePixel.y(), qMax(0, m_snapshot.image.height() - 1)));
    if (bounded == m_target)
        return;
    const QRect before = m_loupe;
    m_target = bounded;
    m_loupe = loupeRectFor(bounded);
    // Only where the loupe was and is now: the rest of the screen stays as painted.
    update(QRegion(before.adjusted(-1, -1, 1, 1)) + m_loupe.adjusted(-1, -1, 1, 1));
}

void PickerOverlay::clearTarget() {
    if (m_target == QPoint(-1, -1))
        return;
    const QRect before = m_loupe;
    m_target = QPoint(-1, -1);
    m_loupe = QRect();
    update(before.adjusted(-1, -1, 1, 1));
}

void PickerOverlay::paintEvent(QPaintEvent *event) {
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawImage(QPoint(0, 0), m_snapshot.image);
    if (m_target.x() >= 0 && event->region().intersects(m_loupe.adjusted(-1, -1, 1, 1)))
        paintLoupe(painter);
    emit painted();
}

void PickerOverlay::paintLoupe(QPainter &painter) {
    const int half = loupeCells / 2;
    const QRect cells(m_loupe.topLeft(), QSize(loupeCells, loupeCells) * loupeCellSize);
    for (int dy = -half; dy <= half; ++dy) {
        for (int dx = -half; dx <= half; ++dx) {
            const QPoint source = m_target + QPoint(dx, dy);
            const QRect cell(cells.left() + (dx + half) * loupeCellSize,
                             cells.top() + (dy + half) * loupeCellSize, loupeCellSize,
                             loupeCellSize);
            painter.fillRect(cell, m_snapshot.image.valid(source)
                                       ? QColor(m_snapshot.image.pixel(source))
                                       : QColor(Qt::darkGray));
        }
    }
    // The picked pixel: outlined in black and white so it shows on any colour.
    const QRect centre(cells.left() + half * loupeCellSize, cells.top() + half * loupeCellSize,
                       loupeCellSize, loupeCellSize);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(centre.adjusted(-1, -1, 0, 0));
    painter.setPen(QPen(Qt::white, 1));
    painter.drawRect(centre.adjusted(0, 0, -1, -1));

    const QRgb rgb = pixelAt(m_target);
    const QRect label(cells.left(), cells.bottom() + 1, cells.width(), kLabelHeight);
    painter.fillRect(label, QColor(32, 32, 32));
    painter.setPen(Qt::white);
    painter.drawText(label, Qt::AlignCenter, hexOf(rgb));
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(m_loupe.adjusted(0, 0, -1, -1));
}

void PickerOverlay::mouseMoveEvent(QMouseEvent *event) {
    emit pointerMoved(this, devicePixelAt(event->position()));
}

void PickerOverlay::mousePressEvent(QMouseEvent *event) {
    if (event->button() == Qt::LeftButton) {
        emit pointerMoved(this, devicePixelAt(event->position()));
        emit pickRequested(this);
    } else if (event->button() == Qt::RightButton) {
        emit cancelRequested();
    }
}

void PickerOverlay::keyPressEvent(QKeyEvent *event) {
    switch (event->key()) {
    case Qt::Key_Escape:
        emit cancelRequested();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        emit pickRequested(nullptr);
        return;
    case Qt::Key_Left:
        emit moveRequested(QPoint(-1, 0));
        return;
    case Qt::Key_Right:
        emit moveRequested(QPoint(1, 0));
        return;
    case Qt::Key_Up:
        emit moveRequested(QPoint(0, -1));
        return;
    case Qt::Key_Down:
        emit moveRequested(QPoint(0, 1));
        return;
    default:
        event->ignore();
    }
}
