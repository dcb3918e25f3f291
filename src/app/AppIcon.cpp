#include "app/AppIcon.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>

namespace {
// Read as the PNG it is. Leaving the format to Qt (or merely reading by file name) makes it
// load every image plugin on the system to ask which one knows the file.
QPixmap readPng(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
    return QPixmap::fromImage(reader.read());
}
} // namespace

QIcon appIcon() {
    QIcon icon;
    icon.addPixmap(readPng(QStringLiteral(":/Icon")));
    for (int size : {16, 22, 24, 32, 48})
        icon.addPixmap(readPng(QStringLiteral(":/icons/swatchbar-%1.png").arg(size)));
    return icon;
}
