#include "model/ColorText.h"

#include "model/ColorSpace.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

// Byte values are trunc(component * 255) without clamping, so a hand-edited file can hold
// values that no byte fits. Casting such a double to an integer would be undefined, so:
// - negative values keep their minus sign, in decimal and in hex ("-51", "-33");
// - values beyond the 64-bit range are still written in full, exactly;
// - a product that is not finite gives "nan", "inf" or "-inf" in both forms.

namespace {

constexpr double kTwoTo63 = 9223372036854775808.0;

// The integer part of component * 255 as text: decimal, or hexadecimal with at least two digits.
QString byteValueText(double component, bool hex) {
    const double product = std::trunc(component * 255.0);
    if (std::isnan(product))
        return QStringLiteral("nan");
    if (std::isinf(product))
        return product < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");

    const bool negative = product < 0;
    const double magnitude = std::fabs(product);
    std::string digits;
    if (magnitude < kTwoTo63) {
        char buffer[24];
        const auto value = static_cast<std::uint64_t>(magnitude);
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, hex ? 16 : 10);
        digits.assign(buffer, result.ptr);
    } else if (!hex) {
        char buffer[400];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed, 0);
        digits.assign(buffer, result.ptr);
    } else {
        // magnitude = mantissa * 2^shift with a 53-bit mantissa and shift >= 11: the hex digits
        // are those of the mantissa moved by shift % 4 bits, then shift / 4 zeros.
        const auto bits = std::bit_cast<std::uint64_t>(magnitude);
        const std::uint64_t mantissa =
            (bits & ((std::uint64_t(1) << 52) - 1)) | (std::uint64_t(1) << 52);
        const int shift = static_cast<int>((bits >> 52) & 0x7FF) - 1075;
        char buffer[24];
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, mantissa << (shift % 4), 16);
        digits.assign(buffer, result.ptr);
        digits.append(static_cast<size_t>(shift / 4), '0');
    }
    if (hex) {
        for (char &c : digits)
            c = static_cast<char>(c >= 'a' && c <= 'f' ? c - 'a' + 'A' : c);
        if (digits.size() < 2)
            digits.insert(0, 1, '0');
    }
    if (negative)
        digits.insert(0, 1, '-');
    return QString::fromLatin1(digits.data(), static_cast<qsizetype>(digits.size()));
}

// Shortest text that reads back as the same double, always with a fraction for whole numbers
// ("1.0"), exponent form below 1e-4 and from 2^53 on ("1e-05", "1e+16").
QString decimalText(double value) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    const double magnitude = std::fabs(value);
    char buffer[64];
    if (magnitude != 0.0 && (magnitude < 1e-4 || magnitude >= 9007199254740992.0)) {
        const auto result =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
        return QString::fromLatin1(buffer, result.ptr - buffer);
    }
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

double alphaOrOpaque(const SerializableColor &color) {
    return color.alpha.value_or(1.0);
}

const QChar kSection(0x00A7);

// A value rounded to a fixed number of decimals; "-0.000" is written "0.000".
QString fixedText(double value, int decimals) {
    if (std::isnan(value))
        return QStringLiteral("nan");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (text.startsWith(QLatin1Char('-')) &&
        text.count(QLatin1Char('0')) + text.count(QLatin1Char('.')) == text.size() - 1)
        text.remove(0, 1);
    return text;
}

// Whole numbers round half away from zero, as people expect of "50%".
QString wholeText(double value) {
    return fixedText(std::round(value), 0);
}

// Hue rounded to whole degrees, 360 written as 0.
QString hueText(double hue) {
    QString text = wholeText(hue);
    return text == QStringLiteral("360") ? QStringLiteral("0") : text;
}

// The brace tokens, "§{name}". Their values are worked out only when the template uses one.
QString braceTokenText(QStringView name, const SerializableColor &color) {
    const ColorSpace::Rgb rgb{color.red, color.green, color.blue};
    if (name == u"h")
        return hueText(ColorSpace::hslFromSrgb(rgb).hue);
    if (name == u"s")
        return wholeText(ColorSpace::hslFromSrgb(rgb).saturation * 100.0);
    if (name == u"l")
        return wholeText(ColorSpace::hslFromSrgb(rgb).lightness * 100.0);
    if (name == u"okl")
        return fixedText(ColorSpace::oklchFromSrgb(rgb).lightness, 3);
    if (name == u"okc")
        return fixedText(ColorSpace::oklchFromSrgb(rgb).chroma, 3);
    if (name == u"okh") {
        const QString text = fixedText(ColorSpace::oklchFromSrgb(rgb).hue, 1);
        return text == QStringLiteral("360.0") ? QStringLiteral("0.0") : text;
    }
    if (name == u"r1")
        return fixedText(color.red, 3);
    if (name == u"g1")
        return fixedText(color.green, 3);
    if (name == u"b1")
        return fixedText(color.blue, 3);
    if (name == u"a1")
        return fixedText(alphaOrOpaque(color), 3);
    if (name == u"ahex")
        return byteValueText(alphaOrOpaque(color), true);
    return {};
}

// Replaces every known "§{name}" in one pass; unknown ones stay as they are. The
// replacements hold no "§", so the steps after this one see only the template's own.
QString replaceBraceTokens(const QString &format, const SerializableColor &color) {
    static const QString opening = QStringLiteral("§{");
    qsizetype at = format.indexOf(opening);
    if (at < 0)
        return format;
    QString text;
    text.reserve(format.size() + 16);
    qsizetype done = 0;
    while (at >= 0) {
        const qsizetype close = format.indexOf(QLatin1Char('}'), at + 2);
        if (close < 0)
            break;
        const QStringView name = QStringView(format).mid(at + 2, close - at - 2);
        const QString value = name.size() <= 4 ? braceTokenText(name, color) : QString();
        if (value.isEmpty()) {
            at = format.indexOf(opening, at + 1);
            continue;
        }
        text += QStringView(format).mid(done, at - done);
        text += value;
        done = close + 1;
        at = format.indexOf(opening, done);
    }
    text += QStringView(format).mid(done);
    return text;
}

} // namespace

ColorValue displayColor(const SerializableColor &color) {
    return ColorValue::fromSrgb(color.red, color.green, color.blue, alphaOrOpaque(color));
}

// A component list shorter than three entries reads the missing ones as 0.0.
SerializableColor colorComponents(const ColorValue &color) {
    const QList<double> &components = color.components();
    SerializableColor result;
    result.red = components.value(0, 0.0);
    result.green = components.value(1, 0.0);
    result.blue = components.value(2, 0.0);
    if (components.size() >= 4)
        result.alpha = components.at(3);
    return result;
}

SerializableColor colorComponentsWithAlpha(const ColorValue &color) {
    SerializableColor result = colorComponents(color);
    if (!result.alpha)
        result.alpha = 1.0;
    return result;
}

QString hexText(const SerializableColor &color) {
    return byteValueText(color.red, true) + byteValueText(color.green, true) +
           byteValueText(color.blue, true);
}

QString hexTextWithAlpha(const SerializableColor &color) {
    return hexText(color) + byteValueText(alphaOrOpaque(color), true);
}

QString formatColor(const QString &format, const SerializableColor &color) {
    QString text = replaceBraceTokens(format, color);
    const double alpha = alphaOrOpaque(color);
    // Each step works on the result of the one before; the replacement texts never hold a "§".
    const auto step = [&](const QString &placeholder, auto makeText) {
        if (text.contains(placeholder))
            text.replace(placeholder, makeText());
    };
    if (!text.contains(kSection))
        return text;
    step(QStringLiteral("§r01"), [&] { return decimalText(color.red); });
    step(QStringLiteral("§g01"), [&] { return decimalText(color.green); });
    step(QStringLiteral("§b01"), [&] { return decimalText(color.blue); });
    step(QStringLiteral("§a01"), [&] { return decimalText(alpha); });
    step(QStringLiteral("§r"), [&] { return byteValueText(color.red, false); });
    step(QStringLiteral("§g"), [&] { return byteValueText(color.green, false); });
    step(QStringLiteral("§b"), [&] { return byteValueText(color.blue, false); });
    step(QStringLiteral("§a"), [&] { return byteValueText(alpha, false); });
    if (!text.contains(kSection))
        return text;
    step(QStringLiteral("§hexA"), [&] { return hexTextWithAlpha(color); });
    step(QStringLiteral("§hex"), [&] { return hexText(color); });
    return text;
}

const QStringList &formats() {
    static const QStringList templates = {
        QStringLiteral("§r, §g, §b"), QStringLiteral("§r, §g, §b, §a"), QStringLiteral("§hex"),
        QStringLiteral("#§hex"),      QStringLiteral("§hexA"),          QStringLiteral("#§hexA"),
    };
    return templates;
}

QString formatLabel(const QString &format) {
    QString label = format;
    label.remove(kSection);
    return label;
}
