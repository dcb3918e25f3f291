#include "interchange/AseFormat.h"

#include "interchange/PaletteFile.h"
#include "model/ColorSpace.h"

#include <QtEndian>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint16_t kColorBlock = 0x0001;
constexpr std::uint16_t kGroupStart = 0xC001;
constexpr std::uint16_t kGroupEnd = 0xC002;
constexpr qsizetype kBlockHeader = 6;

// A bounds-checked big-endian reader over one stretch of bytes.
class Reader {
public:
    explicit Reader(QByteArrayView bytes)
        : m_bytes(bytes) {}
    qsizetype left() const { return m_bytes.size() - m_pos; }
    bool u16(std::uint16_t &out) {
        return take(2, [&](const uchar *p) { out = qFromBigEndian<quint16>(p); });
    }
    bool u32(std::uint32_t &out) {
        return take(4, [&](const uchar *p) { out = qFromBigEndian<quint32>(p); });
    }
    bool f32(float &out) {
        std::uint32_t bits = 0;
        if (!u32(bits))
            return false;
        out = std::bit_cast<float>(bits);
        return true;
    }
    bool bytes(qsizetype n, QByteArrayView &out) {
        if (n < 0 || n > left())
            return false;
        out = m_bytes.sliced(m_pos, n);
        m_pos += n;
        return true;
    }

private:
    template <typename Fn> bool take(qsizetype n, Fn fn) {
        if (n > left())
            return false;
        fn(reinterpret_cast<const uchar *>(m_bytes.data() + m_pos));
        m_pos += n;
        return true;
    }
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
};

// Floats written from 8-bit values come back as those exact fractions of 255 (102/255 is 0.4,
// not the float 0.4000000059604645); other values stay as the float gave them.
double component(double value) {
    const double clamped = value > 0 ? std::min(value, 1.0) : 0.0;
    const double scaled = clamped * 255.0;
    const double nearest = std::round(scaled);
    return std::fabs(scaled - nearest) < 1e-4 ? nearest / 255.0 : clamped;
}

QString blockError(std::uint32_t index, const QString &what) {
    return QStringLiteral("block %1: %2").arg(index + 1).arg(what);
}

// The UTF-16 name at the start of a colour or group body, without its closing NUL.
bool readName(Reader &body, QString &name) {
    std::uint16_t units = 0;
    QByteArrayView raw;
    if (!body.u16(units) || !body.bytes(qsizetype(units) * 2, raw))
        return false;
    name.resize(units);
    for (qsizetype i = 0; i < units; ++i)
        name[i] = QChar(qFromBigEndian<quint16>(raw.data() + 2 * i));
    while (name.endsWith(QChar(0)))
        name.chop(1);
    return true;
}

void appendU16(QByteArray &out, std::uint16_t value) {
    char bytes[2];
    qToBigEndian<quint16>(value, bytes);
    out.append(bytes, 2);
}

void appendU32(QByteArray &out, std::uint32_t value) {
    char bytes[4];
    qToBigEndian<quint32>(value, bytes);
    out.append(bytes, 4);
}

float writtenComponent(double value) {
    return static_cast<float>(value > 0 ? std::min(value, 1.0) : 0.0);
}

} // namespace

ReadResult AseFormat::read(QByteArrayView bytes, const QString &paletteName) {
    Reader file(bytes);
    QByteArrayView magic;
    if (!file.bytes(4, magic) || magic != "ASEF")
        return ReadResult::failure(
            QStringLiteral("not an Adobe swatch file (no \"ASEF\" signature)"));
    std::uint16_t major = 0, minor = 0;
    std::uint32_t count = 0;
    if (!file.u16(major) || !file.u16(minor) || !file.u32(count))
        return ReadResult::failure(QStringLiteral("the header is cut short"));
    if (major != 1)
        return ReadResult::failure(
            QStringLiteral("version %1.%2 is not supported (only 1.x)").arg(major).arg(minor));
    if (std::uint64_t(count) * kBlockHeader > std::uint64_t(file.left()))
        return ReadResult::failure(
            QStringLiteral("it declares %1 blocks, more than its %2 bytes can hold")
                .arg(count)
                .arg(bytes.size()));

    Palette palette;
    palette.palName = paletteName;
    for (std::uint32_t index = 0; index < count; ++index) {
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        if (!file.u16(type) || !file.u32(length))
            return ReadResult::failure(blockError(index, QStringLiteral("cut short")));
        QByteArrayView bodyBytes;
        if (!file.bytes(qsizetype(length), bodyBytes))
            return ReadResult::failure(blockError(
                index,
                QStringLiteral("declares %1 bytes, only %2 remain").arg(length).arg(file.left())));
        if (type == kGroupStart || type == kGroupEnd)
            continue;
        if (type != kColorBlock)
            continue; // unknown blocks are skipped whole, as their length allows
        Reader body(bodyBytes);
        PaletteColor color;
        QString name;
        QByteArrayView model;
        if (!readName(body, name) || !body.bytes(4, model))
            return ReadResult::failure(
                blockError(index, QStringLiteral("the colour is cut short")));
        int components = 0;
        if (model == "RGB " || model == "LAB ")
            components = 3;
        else if (model == "CMYK")
            components = 4;
        else if (model == "Gray")
            components = 1;
        else
            return ReadResult::failure(blockError(
                index, QStringLiteral("unknown colour model \"%1\"")
                           .arg(QString::fromLatin1(model.toByteArray().toPercentEncoding(" ")))));
        double v[4] = {};
        for (int i = 0; i < components; ++i) {
            float value = 0;
            if (!body.f32(value))
                return ReadResult::failure(
                    blockError(index, QStringLiteral("the colour values are cut short")));
            if (!std::isfinite(value))
                return ReadResult::failure(
                    blockError(index, QStringLiteral("a colour value is not a finite number")));
            v[i] = value;
        }
        ColorSpace::Rgb rgb;
        if (model == "RGB ")
            rgb = {v[0], v[1], v[2]};
        else if (model == "Gray")
            rgb = {v[0], v[0], v[0]};
        else if (model == "CMYK")
            rgb = ColorSpace::srgbFromCmyk(v[0], v[1], v[2], v[3]);
        else
            rgb = ColorSpace::srgbFromLabD50(v[0] * 100.0, v[1], v[2]);
        color.colColor = {component(rgb.red), component(rgb.green), component(rgb.blue),
                          std::nullopt};
        // The colour type (global, spot, normal) that follows means nothing here.
        color.colName = name.isEmpty() ? PaletteFile::hexName(color.colColor) : name;
        palette.palColors.append(std::move(color));
    }
    return {std::move(palette), {}};
}

QByteArray AseFormat::write(const Palette &palette) {
    QByteArray out("ASEF");
    appendU16(out, 1);
    appendU16(out, 0);
    appendU32(out, static_cast<std::uint32_t>(palette.palColors.size()));
    for (const PaletteColor &color : palette.palColors) {
        // The length field counts the closing NUL and has 16 bits.
        const QString name = color.colName.toString().left(0xFFFE);
        const auto units = static_cast<std::uint16_t>(name.size() + 1);
        appendU16(out, kColorBlock);
        appendU32(out, 2u + 2u * units + 4u + 12u + 2u);
        appendU16(out, units);
        for (const QChar c : name)
            appendU16(out, c.unicode());
        appendU16(out, 0);
        out.append("RGB ", 4);
        const SerializableColor c = color.colColor;
        for (const double value : {c.red, c.green, c.blue})
            appendU32(out, std::bit_cast<std::uint32_t>(writtenComponent(value)));
        appendU16(out, 2); // a normal (process) colour
    }
    return out;
}
