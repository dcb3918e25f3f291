#include "app/AppIcon.h"

#include "app/AppIconPixels.h"

#include <QImage>
#include <QPixmap>

QIcon appIcon() {
    // Decoded when the program was built: at start-up the tray icon costs a copy, not a PNG
    // decoder and a look through the image plugins.
    QIcon icon;
    for (int i = 0; i < appIconPixelsCount; ++i) {
        const AppIconPixels &drawing = appIconPixels[i];
        const QImage image(reinterpret_cast<const uchar *>(drawing.pixels), drawing.size,
                           drawing.size, qsizetype(drawing.size) * 4,
                           QImage::Format_ARGB32_Premultiplied);
        icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}
