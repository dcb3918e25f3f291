#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void copyPlainText(const QString &text) {
    // A fresh QMimeData replaces everything the clipboard held. The primary selection stays
    // the user's: middle-click paste keeps what they selected.
    auto *mime = new QMimeData;
    mime->setText(text);
    QGuiApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
}
