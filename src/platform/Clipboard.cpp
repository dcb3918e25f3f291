#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

void copyPlainText(const QString &text) {
    // A fresh QMimeData replaces everything the clipboard held.
    QClipboard *clipboard = QGuiApplication::clipboard();
    auto *mime = new QMimeData;
    mime->setText(text);
    clipboard->setMimeData(mime, QClipboard::Clipboard);
    if (clipboard->supportsSelection()) {
        auto *selection = new QMimeData;
        selection->setText(text);
        clipboard->setMimeData(selection, QClipboard::Selection);
    }
}
