#include "platform/PortalColorPicker.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <cmath>

namespace {

const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kScreenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString kRequest = QStringLiteral("org.freedesktop.portal.Request");

double exactComponent(double value) {
    const double scaled = value * 255.0;
    const double nearest = std::round(scaled);
    // A float carries about 7 digits: an 8-bit value that went through one lands this close.
    if (nearest >= 0 && nearest <= 255 && std::fabs(scaled - nearest) < 1e-4)
        return nearest / 255.0;
    return value;
}

} // namespace

PortalColorPicker::PortalColorPicker(QObject *parent)
    : QObject(parent) {
    m_answerTimer.setSingleShot(true);
    connect(&m_answerTimer, &QTimer::timeout, this,
            [this] { finishWithFailure(QStringLiteral("the desktop portal gave no answer")); });
}

void PortalColorPicker::setTimeouts(int callMs, int answerMs) {
    m_callMs = callMs;
    m_answerMs = answerMs;
}

ColorValue PortalColorPicker::colorFromPortal(double red, double green, double blue) {
    return ColorValue::fromSrgb(exactComponent(red), exactComponent(green), exactComponent(blue),
                                1.0);
}

void PortalColorPicker::start() {
    if (m_active)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        m_active = true;
        // Reported after start() returns, as every other outcome is.
        QTimer::singleShot(0, this, [this] {
            finishWithFailure(QStringLiteral("no D-Bus session bus to reach the desktop portal"));
        });
        return;
    }
    m_active = true;
    const QString token =
        QStringLiteral("swatchbar_%1_%2").arg(QCoreApplication::applicationPid()).arg(++m_serial);
    // Listen before asking, on the path the portal will use, so a quick answer is not missed.
    QString sender = bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    listenOn(kPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token);

    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kScreenshot, QStringLiteral("PickColor"));
    call << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, m_callMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                callFinished(finished->reply());
            });
}

void PortalColorPicker::callFinished(const QDBusMessage &reply) {
    if (!m_active)
        return;
    if (reply.type() != QDBusMessage::ReplyMessage) {
        const QString error =
            reply.errorName() == QLatin1String("org.freedesktop.DBus.Error.NoReply")
                ? QStringLiteral("the desktop portal did not answer")
                : QStringLiteral("no desktop portal answers (%1)")
                      .arg(reply.errorMessage().isEmpty() ? reply.errorName()
                                                          : reply.errorMessage());
        finishWithFailure(error);
        return;
    }
    const QList<QVariant> arguments = reply.arguments();
    if (!arguments.isEmpty()) {
        const QString handle = qvariant_cast<QDBusObjectPath>(arguments.constFirst()).path();
        // Older portals choose their own path.
        if (!handle.isEmpty() && handle != m_requestPath)
            listenOn(handle);
    }
    m_answerTimer.start(m_answerMs);
}

void PortalColorPicker::listenOn(const QString &path) {
    stopListening();
    m_requestPath = path;
    QDBusConnection::sessionBus().connect(kService, path, kRequest, QStringLiteral("Response"),
                                          this, SLOT(onResponse(uint, QVariantMap)));
}

void PortalColorPicker::stopListening() {
    if (m_requestPath.isEmpty())
        return;
    QDBusConnection::sessionBus().disconnect(kService, m_requestPath, kRequest,
                                             QStringLiteral("Response"), this,
                                             SLOT(onResponse(uint, QVariantMap)));
    m_requestPath.clear();
}

void PortalColorPicker::onResponse(uint response, const QVariantMap &results) {
    if (!m_active)
        return;
    m_answerTimer.stop();
    stopListening();
    if (response == 1) {
        m_active = false;
        emit cancelled();
        return;
    }
    if (response != 0) {
        finishWithFailure(QStringLiteral("the desktop portal could not pick a color"));
        return;
    }
    const QVariant value = results.value(QStringLiteral("color"));
    double components[3] = {0, 0, 0};
    bool ok = value.canConvert<QDBusArgument>();
    if (ok) {
        const QDBusArgument argument = value.value<QDBusArgument>();
        ok = argument.currentSignature() == QLatin1String("(ddd)");
        if (ok) {
            argument.beginStructure();
            argument >> components[0] >> components[1] >> components[2];
            argument.endStructure();
        }
    }
    for (const double component : components)
        ok = ok && std::isfinite(component);
    if (!ok) {
        finishWithFailure(QStringLiteral("the desktop portal sent no usable color"));
        return;
    }
    m_active = false;
    emit picked(colorFromPortal(components[0], components[1], components[2]));
}

void PortalColorPicker::finishWithFailure(const QString &reason) {
    if (!m_active)
        return;
    m_answerTimer.stop();
    stopListening();
    m_active = false;
    emit failed(reason);
}
