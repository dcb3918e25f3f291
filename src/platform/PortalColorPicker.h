#pragma once

#include "model/ColorValue.h"

#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QTimer>

// Picks a colour through the desktop portal (org.freedesktop.portal.Screenshot.PickColor),
// the only way on Wayland. The answer comes later as the Response signal of a request object.
// A portal that does not answer in time ends the pick with failed(), never a hang.
class PortalColorPicker : public QObject {
    Q_OBJECT
public:
    explicit PortalColorPicker(QObject *parent = nullptr);

    void start();
    bool isActive() const { return m_active; }

    // How long the portal may take to accept the request, and then the user to pick.
    void setTimeouts(int callMs, int answerMs);

    // A portal colour as stored: components that are 8-bit values (also after a trip through
    // float, as some portals send them) become exact fractions of 255.
    static ColorValue colorFromPortal(double red, double green, double blue);

signals:
    void picked(const ColorValue &color);
    void cancelled();
    void failed(const QString &reason);

private slots:
    void onResponse(uint response, const QVariantMap &results);

private:
    void callFinished(const QDBusMessage &reply);
    void listenOn(const QString &path);
    void stopListening();
    void finishWithFailure(const QString &reason);

    bool m_active = false;
    QString m_requestPath;
    QTimer m_answerTimer;
    int m_callMs = 5000;
    int m_answerMs = 120000;
    quint64 m_serial = 0;
};
