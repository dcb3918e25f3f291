// Test-only stand-in for org.freedesktop.portal.Desktop's Screenshot.PickColor on a private bus.
//   fake_portal color R G B   answers with response 0 and the colour (three doubles)
//   fake_portal cancel        answers with response 1
//   fake_portal silent        takes the call and never replies
// Prints "ready" once it owns the name and "PickColor" for every call.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QTimer>
#include <cstdio>

class Screenshot : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Screenshot")
public:
    Screenshot(QString mode, double r, double g, double b)
        : m_mode(std::move(mode))
        , m_color{r, g, b} {}

public slots:
    QDBusObjectPath PickColor(const QString &parent, const QVariantMap &options,
                              const QDBusMessage &call) {
        Q_UNUSED(parent);
        std::puts("PickColor");
        std::fflush(stdout);
        QString sender = call.service().mid(1);
        sender.replace(QLatin1Char('.'), QLatin1Char('_'));
        const QString path = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender +
                             QLatin1Char('/') +
                             options.value(QStringLiteral("handle_token")).toString();
        if (m_mode == QLatin1String("silent")) {
            call.setDelayedReply(true);
            m_held.append(call); // never answered
            return {};
        }
        QTimer::singleShot(50, this, [this, path] {
            QDBusMessage response = QDBusMessage::createSignal(
                path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
            QVariantMap results;
            if (m_mode == QLatin1String("color")) {
                QDBusArgument color;
                color.beginStructure();
                color << m_color[0] << m_color[1] << m_color[2];
                color.endStructure();
                results.insert(QStringLiteral("color"), QVariant::fromValue(color));
            }
            response << uint(m_mode == QLatin1String("color") ? 0 : 1) << results;
            QDBusConnection::sessionBus().send(response);
        });
        return QDBusObjectPath(path);
    }

private:
    QString m_mode;
    double m_color[3];
    QList<QDBusMessage> m_held;
};

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode != QLatin1String("color") && mode != QLatin1String("cancel") &&
        mode != QLatin1String("silent")) {
        std::fputs("usage: fake_portal color R G B | cancel | silent\n", stderr);
        return 2;
    }
    Screenshot screenshot(mode, args.value(2).toDouble(), args.value(3).toDouble(),
                          args.value(4).toDouble());
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &screenshot,
                            QDBusConnection::ExportAllSlots) ||
        !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "fake_portal: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return app.exec();
}

#include "FakePortal.moc"
