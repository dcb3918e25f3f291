#include "interchange/PaletteFile.h"

#include "core/SafeFile.h"
#include "interchange/AseFormat.h"
#include "interchange/CssFormat.h"
#include "interchange/GplFormat.h"
#include "interchange/TextFormat.h"
#include "model/ColorText.h"
#include "model/PaletteCodec.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

// Real palettes are far smaller; a bigger file is not read into memory.
constexpr qint64 kMaxFileSize = qint64(64) * 1024 * 1024;

QString errnoText(int error) {
    return QString::fromStdString(std::generic_category().message(error));
}

// Reads a whole regular file. Non-blocking, so a FIFO cannot stall an import.
QString readAll(const QString &path, QByteArray &bytes) {
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return errnoText(errno);
    QString error;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        error = errnoText(errno);
    else if (S_ISDIR(info.st_mode))
        error = errnoText(EISDIR);
    else if (!S_ISREG(info.st_mode))
        error = QStringLiteral("not a regular file");
    else if (info.st_size > kMaxFileSize)
        error = QStringLiteral("larger than 64 MiB");
    if (error.isEmpty()) {
        bytes.resize(static_cast<qsizetype>(info.st_size));
        qsizetype filled = 0;
        while (filled < bytes.size()) {
            const ssize_t n =
                ::read(fd, bytes.data() + filled, static_cast<size_t>(bytes.size() - filled));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                error = errnoText(errno);
                break;
            }
            if (n == 0)
                break;
            filled += n;
        }
        bytes.truncate(filled);
    }
    ::close(fd);
    return error;
}

SerializableColor clamped(const SerializableColor &color) {
    const auto limit = [](double c) {
        return c > 0 ? std::min(c, 1.0) : 0.0;
    };
    SerializableColor out{limit(color.red), limit(color.green), limit(color.blue), std::nullopt};
    if (color.alpha)
        out.alpha = limit(*color.alpha);
    return out;
}

} // namespace

std::optional<PaletteFile::Format> PaletteFile::formatForPath(const QString &path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == u"gpl")
        return Format::Gpl;
    if (suffix == u"ase")
        return Format::Ase;
    if (suffix == u"css")
        return Format::Css;
    if (suffix == u"txt")
        return Format::Text;
    if (suffix == u"json")
        return Format::Json;
    return std::nullopt;
}

PaletteFile::Format PaletteFile::formatForContent(const QString &path, QByteArrayView bytes) {
    if (const std::optional<Format> format = formatForPath(path))
        return *format;
    if (bytes.startsWith("ASEF"))
        return Format::Ase;
    if (bytes.startsWith("GIMP Palette") || bytes.startsWith("\xEF\xBB\xBFGIMP Palette"))
        return Format::Gpl;
    if (bytes.trimmed().startsWith("{"))
        return Format::Json;
    return Format::Text;
}

QString PaletteFile::knownExtensions() {
    return QStringLiteral(".gpl, .ase, .css, .txt or .json");
}

QString PaletteFile::hexName(const SerializableColor &color) {
    const SerializableColor c = clamped(color);
    return QLatin1Char('#') + (c.alpha && *c.alpha < 1.0 ? hexTextWithAlpha(c) : hexText(c));
}

ReadResult PaletteFile::decode(QByteArrayView bytes, Format format, const QString &fallbackName) {
    switch (format) {
    case Format::Gpl:
        return GplFormat::read(bytes, fallbackName);
    case Format::Ase:
        return AseFormat::read(bytes, fallbackName);
    case Format::Css:
        return CssFormat::read(bytes, fallbackName);
    case Format::Text:
        return TextFormat::read(bytes, fallbackName);
    case Format::Json: {
        PaletteCodec::DecodeResult decoded = PaletteCodec::decode(bytes);
        if (!decoded.palette)
            return ReadResult::failure(decoded.error);
        if (decoded.palette->palName.isEmpty())
            decoded.palette->palName = fallbackName;
        return {std::move(decoded.palette), {}};
    }
    }
    return ReadResult::failure(QStringLiteral("unknown format"));
}

ReadResult PaletteFile::read(const QString &path) {
    QByteArray bytes;
    const QString error = readAll(path, bytes);
    if (!error.isEmpty())
        return ReadResult::failure(error);
    return decode(bytes, formatForContent(path, bytes), QFileInfo(path).completeBaseName());
}

std::optional<QByteArray> PaletteFile::encode(const Palette &palette, Format format) {
    switch (format) {
    case Format::Gpl:
        return GplFormat::write(palette);
    case Format::Ase:
        return AseFormat::write(palette);
    case Format::Css:
        return CssFormat::write(palette);
    case Format::Text:
        return TextFormat::write(palette);
    case Format::Json:
        return PaletteCodec::encode(palette);
    }
    return std::nullopt;
}

bool PaletteFile::write(const QString &path, const Palette &palette, QString *error) {
    const std::optional<Format> format = formatForPath(path);
    if (!format) {
        if (error)
            *error = QStringLiteral("unknown file type; use %1").arg(knownExtensions());
        return false;
    }
    const std::optional<QByteArray> bytes = encode(palette, *format);
    if (!bytes) {
        if (error)
            *error = QStringLiteral("a colour component is not a finite number");
        return false;
    }
    return SafeFile::write(path, *bytes, error);
}
