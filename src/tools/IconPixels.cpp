// Build tool: decodes the icon's PNG drawings once, at build time, into a C++ source of
// premultiplied ARGB pixels, so that the program shows its tray icon without decoding images
// (or asking every image plugin on the system which one reads PNG) at start-up.
// Usage: icon_pixels OUTPUT.cpp DRAWING.png...   (in the order the icon lists them)
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSaveFile>
#include <cstdio>

namespace {
QImage readPng(const QString &path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QImageReader reader(&file, "png");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}
} // namespace

int main(int argc, char *argv[]) {
    if (argc < 3) {
        std::fputs("usage: icon_pixels OUTPUT.cpp DRAWING.png...\n", stderr);
        return 2;
    }
    QByteArray out = "// Generated from the icon's PNG drawings by src/tools/IconPixels.cpp.\n"
                     "#include \"app/AppIconPixels.h\"\n\nnamespace {\n";
    QByteArray table;
    for (int i = 2; i < argc; ++i) {
        const QString path = QFile::decodeName(argv[i]);
        // What QPixmap::fromImage would make of the decoded file, pixel for pixel.
        const QImage image = readPng(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        if (image.isNull() || image.width() != image.height()) {
            std::fprintf(stderr, "icon_pixels: %s is not a square PNG drawing\n", argv[i]);
            return 1;
        }
        const QByteArray name = "drawing" + QByteArray::number(i - 2);
        out += "const quint32 " + name + "[] = {";
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                out += ((x % 8) == 0 ? "\n    0x" : " 0x") +
                       QByteArray::number(line[x], 16).rightJustified(8, '0') + ',';
        }
        out += "\n};\n";
        table += "    {" + QByteArray::number(image.width()) + ", " + name + "},\n";
    }
    out += "} // namespace\n\nconst AppIconPixels appIconPixels[] = {\n" + table +
           "};\nconst int appIconPixelsCount = " + QByteArray::number(argc - 2) + ";\n";
    QSaveFile file(QFile::decodeName(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(out) != out.size() || !file.commit()) {
        std::fprintf(stderr, "icon_pixels: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
