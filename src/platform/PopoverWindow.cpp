#include "platform/PopoverWindow.h"

#include "platform/DockIcon.h"
#include "platform/SwayIpc.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace {
constexpr int border = 1;
// How long after a click outside closed the pop-up a tray click still counts as that click.
constexpr int sameClickMs = 250;
// Room left between the panel or the screen's edge and the pop-up.
constexpr int panelGap = 4;
// How often, and how far apart, a Wayland pop-up is asked to move before it is mapped.
constexpr int placeAttempts = 20;
constexpr int placeRetryMs = 25;

bool onWayland() {
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}
} // namespace

PopoverWindow::PopoverWindow(QWidget *parent)
    : QWidget(parent, onWayland() ? Qt::Dialog | Qt::FramelessWindowHint
                                  : Qt::Popup | Qt::FramelessWindowHint)
    , m_scroll(new QScrollArea(this))
    , m_wayland(onWayland()) {
    // The click that closes the pop-up is not passed on: on the tray icon it would open it again.
    setAttribute(Qt::WA_NoMouseReplay);
    setWindowTitle(QStringLiteral("Swatchbar"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(border, border, border, border);
    layout->setSpacing(0);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // Not a tab stop: the first Tab goes to a control the user can see.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidgetResizable(true);
    m_scroll->setAlignment(Qt::AlignCenter);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    layout->addWidget(m_scroll);
}

void PopoverWindow::setContentSize(const QSize &size) {
    m_contentSize = size;
    scheduleRefit();
}

void PopoverWindow::setContentWidget(QWidget *content) {
    if (QWidget *old = m_scroll->widget())
        old->removeEventFilter(this);
    m_scroll->setWidget(content);
    if (content)
        content->installEventFilter(this);
    scheduleRefit();
}

QWidget *PopoverWindow::contentWidget() const {
    return m_scroll->widget();
}

QSize PopoverWindow::fittedSize(const QScreen *screen) const {
    QSize hint = m_contentSize;
    if (const QWidget *content = m_scroll->widget())
        hint = hint.expandedTo(content->sizeHint())
                   .expandedTo(content->minimumSizeHint())
                   .expandedTo(content->minimumSize());
    const int frame = 2 * border;
    QSize size(hint.width() + frame, hint.height() + frame);
    if (!screen)
        return size;
    const QRect available = screen->availableGeometry();
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    if (size.height() > available.height()) {
        size.setHeight(available.height());
        size.rwidth() += scrollBar;
    }
    if (size.width() > available.width()) {
        size.setWidth(available.width());
        size.rheight() = qMin(available.height(), size.height() + scrollBar);
    }
    return size;
}

QRect PopoverWindow::placement(const QRect &anchor, const QSize &size, const QRect &available) {
    QRect rect(QPoint(0, 0), size);
    const int below = available.bottom() - anchor.bottom();
    const int above = anchor.top() - available.top();
    rect.moveLeft(anchor.center().x() - size.width() / 2);
    if (below >= size.height() || below >= above)
        rect.moveTop(anchor.bottom() + 1);
    else
        rect.moveBottom(anchor.top() - 1);
    // Keep it wholly on screen.
    rect.moveLeft(qBound(available.left(), rect.left(), available.right() - size.width() + 1));
    rect.moveTop(qBound(available.top(), rect.top(), available.bottom() - size.height() + 1));
    return rect;
}

QRect PopoverWindow::placementByPanel(const QRect &output, const QRect &usable, const QSize &size) {
    QRect rect(QPoint(0, 0), size);
    const QRect free = usable.isEmpty() ? output : usable;
    const QRect inner = free.adjusted(panelGap, panelGap, -panelGap, -panelGap);
    // Trays sit at the right end of a horizontal panel and at the bottom of a vertical one.
    rect.moveRight(inner.right());
    if (free.bottom() < output.bottom() && free.top() <= output.top())
        rect.moveBottom(inner.bottom());
    else if (free.top() > output.top())
        rect.moveTop(inner.top());
    else if (free.left() > output.left() || free.right() < output.right()) {
        rect.moveBottom(inner.bottom());
        if (free.left() > output.left())
            rect.moveLeft(inner.left());
    } else
        rect.moveTop(inner.top());
    // Inside the free area; one larger than it keeps its top left corner there.
    rect.moveLeft(qMax(free.left(), qMin(rect.left(), free.right() - size.width() + 1)));
    rect.moveTop(qMax(free.top(), qMin(rect.top(), free.bottom() - size.height() + 1)));
    return rect;
}

QScreen *PopoverWindow::screenFor(const QRect &anchor) const {
    if (QScreen *screen = QGuiApplication::screenAt(anchor.center()))
        return screen;
    return QGuiApplication::primaryScreen();
}

void PopoverWindow::showRelativeTo(const QRect &anchor) {
    if (m_windowMode) {
        showAsWindow();
        return;
    }
    if (m_wayland) {
        // QCursor::pos() there is the last place the pointer was over one of our windows.
        m_anchor = QRect();
        refit();
        show();
        raise();
        activateWindow();
        // The compositor maps the window on its first frame; it can be moved after that.
        m_placeAttempts = placeAttempts;
        QTimer::singleShot(0, this, &PopoverWindow::placeByCompositor);
        return;
    }
    m_anchor = anchor.isEmpty() ? QRect(QCursor::pos(), QSize(1, 1)) : anchor;
    refit();
    show();
}

void PopoverWindow::placeByCompositor() {
    const SwayIpc ipc;
    if (!isVisible() || !ipc.isAvailable())
        return;
    const std::optional<SwayIpc::Area> area = ipc.focusedArea();
    if (!area)
        return;
    const QRect rect = placementByPanel(area->output, area->usable, size());
    const QString criteria =
        QStringLiteral("[pid=%1 title=%2]")
            .arg(QCoreApplication::applicationPid())
            .arg(SwayIpc::quoted(QLatin1Char('^') + QRegularExpression::escape(windowTitle()) +
                                 QLatin1Char('$')));
    if (ipc.runCommand(criteria +
                       QStringLiteral(" floating enable, border none, move absolute position %1 %2")
                           .arg(rect.x())
                           .arg(rect.y())))
        return;
    // Not mapped yet: the criteria match nothing.
    if (--m_placeAttempts > 0)
        QTimer::singleShot(placeRetryMs, this, &PopoverWindow::placeByCompositor);
}

void PopoverWindow::performClose() {
    close();
}

void PopoverWindow::showAsWindow() {
    if (!m_windowMode) {
        m_windowMode = true;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setProperty(DockIcon::keepInTaskbarProperty, true);
        setAttribute(Qt::WA_NoMouseReplay, false);
        setWindowFlags(Qt::Window);
        const QSize size = fittedSize(screenFor(QRect(QCursor::pos(), QSize(1, 1))));
        resize(size);
        if (QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

bool PopoverWindow::wasJustClosedByClickIn(const QRect &area) const {
    // A close by focus loss has no place; the tray's place is unknown there as well.
    return m_outsideClose.isValid() && m_outsideClose.elapsed() < sameClickMs &&
           (area.isEmpty() || !m_outsideClickKnown || area.contains(m_outsideClickPos));
}

void PopoverWindow::scheduleRefit() {
    if (m_refitPending)
        return;
    m_refitPending = true;
    QTimer::singleShot(0, this, [this] {
        m_refitPending = false;
        // A hidden pop-up is fitted when it is shown; measuring it now would be thrown away.
        if (isVisible() || m_windowMode)
            refit();
    });
}

void PopoverWindow::refit() {
    if (m_windowMode) {
        // An ordinary window keeps the size the user gave it, but never hides content it
        // could show.
        const QSize fitted = fittedSize(screen());
        if (width() < fitted.width() || height() < fitted.height())
            resize(size().expandedTo(fitted));
        return;
    }
    QScreen *screen = screenFor(m_anchor);
    const QSize size = fittedSize(screen);
    if (m_wayland) {
        // A fixed size is what makes tiling compositors float it instead of giving it a tile.
        const bool resized = size != this->size();
        setFixedSize(size);
        // A new size may need a new place (above a bottom panel it grows upwards).
        if (resized && isVisible()) {
            m_placeAttempts = placeAttempts;
            QTimer::singleShot(0, this, &PopoverWindow::placeByCompositor);
        }
        return;
    }
    if (m_anchor.isNull()) {
        resize(size);
        return;
    }
    const QRect available = screen ? screen->availableGeometry() : QRect(m_anchor.topLeft(), size);
    QRect target = placement(m_anchor, size, available);
    if (isVisible()) {
        // While open, the edge nearest the tray icon stays put, so what is under the pointer
        // does not jump when the content changes size.
        const QRect now = geometry();
        if (qAbs(m_anchor.center().x() - now.left()) <= qAbs(now.right() - m_anchor.center().x()))
            target.moveLeft(now.left());
        else
            target.moveRight(now.right());
        target.moveLeft(
            qBound(available.left(), target.left(), available.right() - target.width() + 1));
    }
    setGeometry(target);
}

bool PopoverWindow::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_scroll->widget() && event->type() == QEvent::LayoutRequest)
        scheduleRefit();
    // Another of the program's windows coming up takes the user's attention away from here.
    if (event->type() == QEvent::Show && watched != this && watched->isWidgetType() &&
        !m_windowMode) {
        const auto *widget = static_cast<QWidget *>(watched);
        const Qt::WindowType type = widget->windowType();
        if (widget->isWindow() && (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool))
            QTimer::singleShot(0, this, [this] { close(); });
    }
    return QWidget::eventFilter(watched, event);
}

void PopoverWindow::paintEvent(QPaintEvent *) {
    emit painted();
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!m_windowMode) {
        painter.setPen(palette().color(QPalette::Mid));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void PopoverWindow::mousePressEvent(QMouseEvent *event) {
    if (!m_windowMode && !rect().contains(event->position().toPoint())) {
        m_outsideClose.start();
        m_outsideClickPos = event->globalPosition().toPoint();
        m_outsideClickKnown = true;
    }
    QWidget::mousePressEvent(event);
}

void PopoverWindow::keyPressEvent(QKeyEvent *event) {
    if (event->key() == Qt::Key_Escape && !m_windowMode) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopoverWindow::showEvent(QShowEvent *event) {
    if (!m_windowMode)
        qApp->installEventFilter(this);
    QWidget::showEvent(event);
}

void PopoverWindow::changeEvent(QEvent *event) {
    // On Wayland nothing tells us about a click outside; losing focus is that click.
    if (event->type() == QEvent::ActivationChange && m_wayland && !m_windowMode && isVisible() &&
        !isActiveWindow() && !ownsFocusWindow()) {
        m_outsideClose.start();
        m_outsideClickKnown = false;
        QTimer::singleShot(0, this, [this] { close(); });
    }
    QWidget::changeEvent(event);
}

bool PopoverWindow::ownsFocusWindow() const {
    // A context menu of the content takes the focus without taking the user elsewhere.
    if (QApplication::activePopupWidget())
        return true;
    for (const QWindow *window = QGuiApplication::focusWindow(); window;
         window = window->transientParent()) {
        if (window == windowHandle())
            return true;
    }
    return false;
}

void PopoverWindow::hideEvent(QHideEvent *event) {
    qApp->removeEventFilter(this);
    QWidget::hideEvent(event);
}
