#include "platform/StatusItem.h"

#include "platform/Platform.h"

#include <QMenu>
#include <QSystemTrayIcon>

namespace {
constexpr int retryIntervalMs = 250;
} // namespace

StatusItem::StatusItem(QObject *parent)
    : QObject(parent)
    , m_tray(new QSystemTrayIcon(this)) {
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::Trigger)
            emit clicked();
    });
    m_retry.setInterval(retryIntervalMs);
    connect(&m_retry, &QTimer::timeout, this, &StatusItem::tryInstall);
}

StatusItem::~StatusItem() = default;

void StatusItem::setIcon(const QIcon &icon) {
    m_tray->setIcon(icon);
}

void StatusItem::setToolTip(const QString &text) {
    m_tray->setToolTip(text);
}

void StatusItem::setContextMenu(QMenu *menu) {
    m_tray->setContextMenu(menu);
}

void StatusItem::install(int waitMs) {
    m_attemptsLeft = qMax(0, waitMs / retryIntervalMs);
    tryInstall();
}

void StatusItem::tryInstall() {
    if (m_installed)
        return;
    if (Platform::instance().isSystemTrayAvailable()) {
        m_retry.stop();
        m_installed = true;
        m_tray->show();
        emit installed();
        return;
    }
    if (m_attemptsLeft-- > 0) {
        if (!m_retry.isActive())
            m_retry.start();
        return;
    }
    m_retry.stop();
    emit trayUnavailable();
}

QRect StatusItem::geometry() const {
    return m_installed ? m_tray->geometry() : QRect();
}
