#include "platform/FileViewer.h"

#include "core/Log.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {
// A file manager that does not answer within this time is taken as absent.
constexpr int dbusTimeoutMs = 3000;

std::function<void(const QString &)> &failureListener() {
    static std::function<void(const QString &)> listener;
    return listener;
}
} // namespace

void FileViewer::setFailureListener(std::function<void(const QString &folder)> listener) {
    failureListener() = std::move(listener);
}

QString FileViewer::folderFor(const QString &location) {
    const QFileInfo info(location);
    return info.isDir() ? info.absoluteFilePath() : info.absolutePath();
}

bool FileViewer::openFolder(const QString &location) {
    const QString folder = folderFor(location);
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(folder)))
        return true;
    logLine(QStringLiteral("Failed to open the file viewer for %1").arg(folder));
    if (failureListener())
        failureListener()(folder);
    return false;
}

void FileViewer::reveal(const QString &location) {
    if (location.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(location);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QFileInfo(location).absoluteFilePath()).toString()}
         << QString();
    // Asynchronous, so a slow or missing file manager never blocks the program.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, dbusTimeoutMs));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [location](QDBusPendingCallWatcher *w) {
                         if (w->isError())
                             openFolder(location);
                         w->deleteLater();
                     });
}
