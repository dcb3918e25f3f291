#include "app/PreferencesWindow.h"

#include "app/PreferencesView.h"
#include "app/Shell.h"
#include "platform/DockIcon.h"
#include "settings/Settings.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

PreferencesWindow::PreferencesWindow()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint)
    , m_view(new PreferencesView) {
    // While this window is open the program is in the taskbar anyway; mapping it there from
    // the start gives taskbars that ignore a later change their entry.
    setProperty(DockIcon::keepInTaskbarProperty, true);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_view);
    // The window takes the size of its content and keeps it.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setWindowTitle(tr("Preferences"));

    // The final size (fonts and style applied) is needed to centre the window before it shows;
    // adjustSize polishes and lays out first.
    adjustSize();
    const QByteArray frame = Settings::windowFrame(autosaveName());
    if (frame.isEmpty() || !restoreGeometry(frame)) {
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            move(screen->availableGeometry().center() - rect().center());
    }

    show();
    raise();
    activateWindow();
    scheduleDockIconPolicy(true);
}

void PreferencesWindow::closeEvent(QCloseEvent *event) {
    saveFrame();
    QWidget::closeEvent(event);
    if (!event->isAccepted())
        return;
    scheduleDockIconPolicy(!Settings::boolean(QString::fromLatin1(SettingsKeys::hideDockIcon)));
}

void PreferencesWindow::changeEvent(QEvent *event) {
    QWidget::changeEvent(event);
    // Not miniaturizable nor zoomable, even where the window manager offers it anyway.
    if (event->type() == QEvent::WindowStateChange &&
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        QTimer::singleShot(0, this, [this] { setWindowState(Qt::WindowNoState); });
}

void PreferencesWindow::moveEvent(QMoveEvent *event) {
    QWidget::moveEvent(event);
    if (isVisible())
        saveFrame();
}

void PreferencesWindow::saveFrame() const {
    Settings::setWindowFrame(autosaveName(), saveGeometry());
}
