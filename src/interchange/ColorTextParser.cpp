#include "interchange/ColorTextParser.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

struct Match {
    ColorValue color;
    qsizetype end = 0;
};

constexpr double kByte = 255.0;

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

bool isAsciiDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

int hexDigit(QChar c) {
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

// Division in double: 102 gives exactly the double nearest 0.4, the same as the text "0.4".
ColorValue fromBytes(int red, int green, int blue, int alpha = 255) {
    return ColorValue::fromSrgb(red / kByte, green / kByte, blue / kByte, alpha / kByte);
}

// "RGB", "RGBA", "RRGGBB" or "RRGGBBAA" without the "#".
std::optional<ColorValue> hexColor(QStringView digits) {
    const qsizetype n = digits.size();
    if (n != 3 && n != 4 && n != 6 && n != 8)
        return std::nullopt;
    int bytes[4] = {0, 0, 0, 255};
    const qsizetype width = n <= 4 ? 1 : 2;
    for (qsizetype i = 0; i < n / width; ++i) {
        int value = 0;
        for (qsizetype k = 0; k < width; ++k) {
            const int d = hexDigit(digits[i * width + k]);
            if (d < 0)
                return std::nullopt;
            value = value * 16 + d;
        }
        bytes[i] = width == 1 ? value * 17 : value;
    }
    return fromBytes(bytes[0], bytes[1], bytes[2], bytes[3]);
}

const QHash<QString, quint32> &namedColors() {
    static const QHash<QString, quint32> table = [] {
        struct Entry {
            const char16_t *name;
            quint32 rgb;
        };
        static constexpr Entry entries[] = {
            {u"aliceblue", 0xf0f8ff},
            {u"antiquewhite", 0xfaebd7},
            {u"aqua", 0x00ffff},
            {u"aquamarine", 0x7fffd4},
            {u"azure", 0xf0ffff},
            {u"beige", 0xf5f5dc},
            {u"bisque", 0xffe4c4},
            {u"black", 0x000000},
            {u"blanchedalmond", 0xffebcd},
            {u"blue", 0x0000ff},
            {u"blueviolet", 0x8a2be2},
            {u"brown", 0xa52a2a},
            {u"burlywood", 0xdeb887},
            {u"cadetblue", 0x5f9ea0},
            {u"chartreuse", 0x7fff00},
            {u"chocolate", 0xd2691e},
            {u"coral", 0xff7f50},
            {u"cornflowerblue", 0x6495ed},
            {u"cornsilk", 0xfff8dc},
            {u"crimson", 0xdc143c},
            {u"cyan", 0x00ffff},
            {u"darkblue", 0x00008b},
            {u"darkcyan", 0x008b8b},
            {u"darkgoldenrod", 0xb8860b},
            {u"darkgray", 0xa9a9a9},
            {u"darkgreen", 0x006400},
            {u"darkgrey", 0xa9a9a9},
            {u"darkkhaki", 0xbdb76b},
            {u"darkmagenta", 0x8b008b},
            {u"darkolivegreen", 0x556b2f},
            {u"darkorange", 0xff8c00},
            {u"darkorchid", 0x9932cc},
            {u"darkred", 0x8b0000},
            {u"darksalmon", 0xe9967a},
            {u"darkseagreen", 0x8fbc8f},
            {u"darkslateblue", 0x483d8b},
            {u"darkslategray", 0x2f4f4f},
            {u"darkslategrey", 0x2f4f4f},
            {u"darkturquoise", 0x00ced1},
            {u"darkviolet", 0x9400d3},
            {u"deeppink", 0xff1493},
            {u"deepskyblue", 0x00bfff},
            {u"dimgray", 0x696969},
            {u"dimgrey", 0x696969},
            {u"dodgerblue", 0x1e90ff},
            {u"firebrick", 0xb22222},
            {u"floralwhite", 0xfffaf0},
            {u"forestgreen", 0x228b22},
            {u"fuchsia", 0xff00ff},
            {u"gainsboro", 0xdcdcdc},
            {u"ghostwhite", 0xf8f8ff},
            {u"gold", 0xffd700},
            {u"goldenrod", 0xdaa520},
            {u"gray", 0x808080},
            {u"green", 0x008000},
            {u"greenyellow", 0xadff2f},
            {u"grey", 0x808080},
            {u"honeydew", 0xf0fff0},
            {u"hotpink", 0xff69b4},
            {u"indianred", 0xcd5c5c},
            {u"indigo", 0x4b0082},
            {u"ivory", 0xfffff0},
            {u"khaki", 0xf0e68c},
            {u"lavender", 0xe6e6fa},
            {u"lavenderblush", 0xfff0f5},
            {u"lawngreen", 0x7cfc00},
            {u"lemonchiffon", 0xfffacd},
            {u"lightblue", 0xadd8e6},
            {u"lightcoral", 0xf08080},
            {u"lightcyan", 0xe0ffff},
            {u"lightgoldenrodyellow", 0xfafad2},
            {u"lightgray", 0xd3d3d3},
            {u"lightgreen", 0x90ee90},
            {u"lightgrey", 0xd3d3d3},
            {u"lightpink", 0xffb6c1},
            {u"lightsalmon", 0xffa07a},
            {u"lightseagreen", 0x20b2aa},
            {u"lightskyblue", 0x87cefa},
            {u"lightslategray", 0x778899},
            {u"lightslategrey", 0x778899},
            {u"lightsteelblue", 0xb0c4de},
            {u"lightyellow", 0xffffe0},
            {u"lime", 0x00ff00},
            {u"limegreen", 0x32cd32},
            {u"linen", 0xfaf0e6},
            {u"magenta", 0xff00ff},
            {u"maroon", 0x800000},
            {u"mediumaquamarine", 0x66cdaa},
            {u"mediumblue", 0x0000cd},
            {u"mediumorchid", 0xba55d3},
            {u"mediumpurple", 0x9370db},
            {u"mediumseagreen", 0x3cb371},
            {u"mediumslateblue", 0x7b68ee},
            {u"mediumspringgreen", 0x00fa9a},
            {u"mediumturquoise", 0x48d1cc},
            {u"mediumvioletred", 0xc71585},
            {u"midnightblue", 0x191970},
            {u"mintcream", 0xf5fffa},
            {u"mistyrose", 0xffe4e1},
            {u"moccasin", 0xffe4b5},
            {u"navajowhite", 0xffdead},
            {u"navy", 0x000080},
            {u"oldlace", 0xfdf5e6},
            {u"olive", 0x808000},
            {u"olivedrab", 0x6b8e23},
            {u"orange", 0xffa500},
            {u"orangered", 0xff4500},
            {u"orchid", 0xda70d6},
            {u"palegoldenrod", 0xeee8aa},
            {u"palegreen", 0x98fb98},
            {u"paleturquoise", 0xafeeee},
            {u"palevioletred", 0xdb7093},
            {u"papayawhip", 0xffefd5},
            {u"peachpuff", 0xffdab9},
            {u"peru", 0xcd853f},
            {u"pink", 0xffc0cb},
            {u"plum", 0xdda0dd},
            {u"powderblue", 0xb0e0e6},
            {u"purple", 0x800080},
            {u"rebeccapurple", 0x663399},
            {u"red", 0xff0000},
            {u"rosybrown", 0xbc8f8f},
            {u"royalblue", 0x4169e1},
            {u"saddlebrown", 0x8b4513},
            {u"salmon", 0xfa8072},
            {u"sandybrown", 0xf4a460},
            {u"seagreen", 0x2e8b57},
            {u"seashell", 0xfff5ee},
            {u"sienna", 0xa0522d},
            {u"silver", 0xc0c0c0},
            {u"skyblue", 0x87ceeb},
            {u"slateblue", 0x6a5acd},
            {u"slategray", 0x708090},
            {u"slategrey", 0x708090},
            {u"snow", 0xfffafa},
            {u"springgreen", 0x00ff7f},
            {u"steelblue", 0x4682b4},
            {u"tan", 0xd2b48c},
            {u"teal", 0x008080},
            {u"thistle", 0xd8bfd8},
            {u"tomato", 0xff6347},
            {u"turquoise", 0x40e0d0},
            {u"violet", 0xee82ee},
            {u"wheat", 0xf5deb3},
            {u"white", 0xffffff},
            {u"whitesmoke", 0xf5f5f5},
            {u"yellow", 0xffff00},
            {u"yellowgreen", 0x9acd32},
        };
        QHash<QString, quint32> hash;
        hash.reserve(std::size(entries));
        for (const Entry &entry : entries)
            hash.insert(QString::fromUtf16(entry.name), entry.rgb);
        return hash;
    }();
    return table;
}

std::optional<ColorValue> namedColor(QStringView word) {
    const QString key = word.toString().toLower();
    if (key == u"transparent")
        return fromBytes(0, 0, 0, 0);
    const auto it = namedColors().constFind(key);
    if (it == namedColors().cend())
        return std::nullopt;
    const quint32 rgb = it.value();
    return fromBytes(int(rgb >> 16), int((rgb >> 8) & 0xff), int(rgb & 0xff));
}

// One CSS argument: a number with an optional "%" or angle unit.
struct Argument {
    double value = 0;
    enum class Unit { None, Percent, Degrees } unit = Unit::None;
};

std::optional<Argument> cssArgument(QStringView token) {
    qsizetype i = 0;
    const qsizetype n = token.size();
    if (i < n && (token[i] == u'+' || token[i] == u'-'))
        ++i;
    const qsizetype intStart = i;
    while (i < n && isAsciiDigit(token[i]))
        ++i;
    bool digits = i > intStart;
    if (i < n && token[i] == u'.') {
        const qsizetype fracStart = ++i;
        while (i < n && isAsciiDigit(token[i]))
            ++i;
        if (i == fracStart)
            return std::nullopt;
        digits = true;
    }
    if (!digits)
        return std::nullopt;
    if (i < n && (token[i] == u'e' || token[i] == u'E') && i + 1 < n &&
        (isAsciiDigit(token[i + 1]) || ((token[i + 1] == u'+' || token[i + 1] == u'-') &&
                                        i + 2 < n && isAsciiDigit(token[i + 2])))) {
        i += 2;
        while (i < n && isAsciiDigit(token[i]))
            ++i;
    }
    bool ok = false;
    Argument argument;
    argument.value = token.first(i).toDouble(&ok);
    if (!ok || !std::isfinite(argument.value))
        return std::nullopt;
    const QStringView unit = token.sliced(i);
    if (unit.isEmpty())
        return argument;
    if (unit == u"%") {
        argument.unit = Argument::Unit::Percent;
        return argument;
    }
    double degreesPer = 0;
    if (unit.compare(u"deg", Qt::CaseInsensitive) == 0)
        degreesPer = 1;
    else if (unit.compare(u"grad", Qt::CaseInsensitive) == 0)
        degreesPer = 0.9;
    else if (unit.compare(u"rad", Qt::CaseInsensitive) == 0)
        degreesPer = 180 / std::numbers::pi;
    else if (unit.compare(u"turn", Qt::CaseInsensitive) == 0)
        degreesPer = 360;
    else
        return std::nullopt;
    argument.value *= degreesPer;
    argument.unit = Argument::Unit::Degrees;
    return argument;
}

// "a, b, c[, d]" or "a b c[ / d]".
std::optional<QList<Argument>> cssArguments(QStringView inside) {
    QList<QStringView> tokens;
    if (inside.contains(u',')) {
        if (inside.contains(u'/'))
            return std::nullopt;
        for (const QStringView part : inside.split(u','))
            tokens.append(part.trimmed());
    } else {
        const QList<QStringView> halves = inside.split(u'/');
        if (halves.size() > 2)
            return std::nullopt;
        const QStringView channels = halves.first();
        for (qsizetype i = 0; i < channels.size();) {
            if (channels[i].isSpace()) {
                ++i;
                continue;
            }
            const qsizetype start = i;
            while (i < channels.size() && !channels[i].isSpace())
                ++i;
            tokens.append(channels.sliced(start, i - start));
        }
        if (tokens.size() != 3)
            return std::nullopt;
        if (halves.size() == 2)
            tokens.append(halves.last().trimmed());
    }
    if (tokens.size() != 3 && tokens.size() != 4)
        return std::nullopt;
    QList<Argument> arguments;
    for (const QStringView token : tokens) {
        const std::optional<Argument> argument = cssArgument(token);
        if (!argument)
            return std::nullopt;
        arguments.append(*argument);
    }
    return arguments;
}

double clamped(double value, double low, double high) {
    return std::clamp(value, low, high);
}

std::optional<double> alphaArgument(const Argument &argument) {
    switch (argument.unit) {
    case Argument::Unit::None:
        return clamped(argument.value, 0, 1);
    case Argument::Unit::Percent:
        return clamped(argument.value, 0, 100) / 100.0;
    case Argument::Unit::Degrees:
        break;
    }
    return std::nullopt;
}

std::optional<ColorValue> rgbFunction(const QList<Argument> &arguments) {
    double channels[3];
    for (int i = 0; i < 3; ++i) {
        const Argument &argument = arguments[i];
        if (argument.unit == Argument::Unit::Degrees)
            return std::nullopt;
        channels[i] = argument.unit == Argument::Unit::Percent
                          ? clamped(argument.value, 0, 100) / 100.0
                          : clamped(argument.value, 0, kByte) / kByte;
    }
    double alpha = 1;
    if (arguments.size() == 4) {
        const std::optional<double> a = alphaArgument(arguments[3]);
        if (!a)
            return std::nullopt;
        alpha = *a;
    }
    return ColorValue::fromSrgb(channels[0], channels[1], channels[2], alpha);
}

double hueToChannel(double low, double high, double hue) {
    if (hue < 0)
        hue += 6;
    if (hue >= 6)
        hue -= 6;
    if (hue < 1)
        return (high - low) * hue + low;
    if (hue < 3)
        return high;
    if (hue < 4)
        return (high - low) * (4 - hue) + low;
    return low;
}

std::optional<ColorValue> hslFunction(const QList<Argument> &arguments) {
    if (arguments[0].unit == Argument::Unit::Percent ||
        arguments[1].unit == Argument::Unit::Degrees ||
        arguments[2].unit == Argument::Unit::Degrees)
        return std::nullopt;
    double degrees = std::fmod(arguments[0].value, 360.0);
    if (degrees < 0)
        degrees += 360;
    // Saturation and lightness count in percent with or without the "%".
    const double saturation = clamped(arguments[1].value, 0, 100) / 100.0;
    const double lightness = clamped(arguments[2].value, 0, 100) / 100.0;
    double alpha = 1;
    if (arguments.size() == 4) {
        const std::optional<double> a = alphaArgument(arguments[3]);
        if (!a)
            return std::nullopt;
        alpha = *a;
    }
    const double high = lightness <= 0.5 ? lightness * (saturation + 1)
                                         : lightness + saturation - lightness * saturation;
    const double low = lightness * 2 - high;
    const double hue = degrees / 60.0;
    return ColorValue::fromSrgb(hueToChannel(low, high, hue + 2), hueToChannel(low, high, hue),
                                hueToChannel(low, high, hue - 2), alpha);
}

qsizetype wordEnd(QStringView text, qsizetype pos) {
    while (pos < text.size() && isWordChar(text[pos]))
        ++pos;
    return pos;
}

bool boundaryAt(QStringView text, qsizetype pos) {
    return pos >= text.size() || !isWordChar(text[pos]);
}

qsizetype skipSpaces(QStringView text, qsizetype pos) {
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
    return pos;
}

// "255, 127, 0" or "255, 127, 0, 128": integers 0-255; a fourth value written with a decimal
// point ("0.5") is an alpha between 0 and 1, as people write it after three bytes.
std::optional<Match> decimalList(QStringView text, qsizetype pos) {
    int bytes[4] = {0, 0, 0, 255};
    double alpha = -1;
    int count = 0;
    qsizetype end = pos;
    qsizetype i = pos;
    while (count < 4) {
        if (count > 0) {
            qsizetype j = skipSpaces(text, i);
            if (j >= text.size() || text[j] != u',')
                break;
            i = skipSpaces(text, j + 1);
        }
        const qsizetype start = i;
        while (i < text.size() && isAsciiDigit(text[i]) && i - start < 4)
            ++i;
        const qsizetype digits = i - start;
        if (digits == 0 || digits > 3)
            break;
        if (count == 3 && i < text.size() && text[i] == u'.') {
            const qsizetype fracStart = i + 1;
            qsizetype k = fracStart;
            while (k < text.size() && isAsciiDigit(text[k]))
                ++k;
            if (k == fracStart || !boundaryAt(text, k))
                break;
            bool ok = false;
            const double value = text.sliced(start, k - start).toDouble(&ok);
            if (!ok || value > 1)
                break;
            alpha = value;
            i = k;
            end = i;
            ++count;
            break;
        }
        if (!boundaryAt(text, i) || (i < text.size() && (text[i] == u'.' || text[i] == u'%')))
            break;
        const int value = text.sliced(start, digits).toInt();
        if (value > 255)
            break;
        bytes[count++] = value;
        end = i;
    }
    if (count < 3)
        return std::nullopt;
    ColorValue color = fromBytes(bytes[0], bytes[1], bytes[2], count == 4 ? bytes[3] : 255);
    if (alpha >= 0) {
        QList<double> components = color.components();
        components[3] = alpha;
        color = ColorValue(components);
    }
    return Match{color, end};
}

bool isFunctionName(QStringView word) {
    for (const char16_t *name : {u"rgb", u"rgba", u"hsl", u"hsla"})
        if (word.compare(QStringView(name), Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

// For "rgb(" and its kin: the index just past the closing parenthesis, or -1.
qsizetype functionEnd(QStringView text, qsizetype pos) {
    const qsizetype end = wordEnd(text, pos);
    if (!isFunctionName(text.sliced(pos, end - pos)))
        return -1;
    const qsizetype open = skipSpaces(text, end);
    if (open >= text.size() || text[open] != u'(')
        return -1;
    // A colour function is short and flat: looking no further keeps a long paste linear.
    constexpr qsizetype kLongest = 128;
    const qsizetype limit = std::min(text.size(), open + 1 + kLongest);
    for (qsizetype i = open + 1; i < limit; ++i) {
        if (text[i] == u')')
            return i + 1;
        if (text[i] == u'(' || text[i] == u'\n')
            return -1;
    }
    return -1;
}

// The colour that starts exactly at pos, if any.
std::optional<Match> matchAt(QStringView text, qsizetype pos) {
    const QChar first = text[pos];
    if (first == u'#') {
        qsizetype end = pos + 1;
        while (end < text.size() && hexDigit(text[end]) >= 0)
            ++end;
        if (!boundaryAt(text, end))
            return std::nullopt;
        if (const std::optional<ColorValue> color = hexColor(text.sliced(pos + 1, end - pos - 1)))
            return Match{*color, end};
        return std::nullopt;
    }
    if (!isWordChar(first))
        return std::nullopt;
    const qsizetype end = wordEnd(text, pos);
    const QStringView word = text.sliced(pos, end - pos);
    if (first.isLetter()) {
        if (isFunctionName(word)) {
            const qsizetype after = functionEnd(text, pos);
            if (after < 0)
                return std::nullopt;
            const qsizetype open = text.indexOf(u'(', end);
            const std::optional<QList<Argument>> arguments =
                cssArguments(text.sliced(open + 1, after - open - 2));
            if (!arguments)
                return std::nullopt;
            const std::optional<ColorValue> color = word.startsWith(u'r', Qt::CaseInsensitive)
                                                        ? rgbFunction(*arguments)
                                                        : hslFunction(*arguments);
            if (!color)
                return std::nullopt;
            return Match{*color, after};
        }
        if (const std::optional<ColorValue> color = namedColor(word))
            return Match{*color, end};
    }
    if (isAsciiDigit(first)) {
        if (const std::optional<Match> match = decimalList(text, pos))
            return match;
    }
    // Bare hex only in the two lengths the copy formats write, so "bad" or "123" is no colour.
    if (word.size() == 6 || word.size() == 8) {
        if (const std::optional<ColorValue> color = hexColor(word))
            return Match{*color, end};
    }
    return std::nullopt;
}

} // namespace

std::optional<ColorValue> ColorTextParser::parse(QStringView text) {
    const QStringView trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const std::optional<Match> match = matchAt(trimmed, 0);
    if (!match || match->end != trimmed.size())
        return std::nullopt;
    return match->color;
}

QList<ColorTextParser::Found> ColorTextParser::findAll(QStringView text) {
    QList<Found> found;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const bool atStart = pos == 0 || !isWordChar(text[pos - 1]);
        if (atStart) {
            if (const std::optional<Match> match = matchAt(text, pos)) {
                found.append(
                    Found{match->color, text.sliced(pos, match->end - pos).toString(), pos});
                pos = match->end;
                continue;
            }
        }
        // Skip the whole word, so "x123456" never yields "123456", and a broken "rgb(...)"
        // whole, so its numbers are not read as a colour of their own.
        if (atStart && isWordChar(text[pos])) {
            const qsizetype after = functionEnd(text, pos);
            pos = after > 0 ? after : wordEnd(text, pos);
        } else {
            pos = isWordChar(text[pos]) ? wordEnd(text, pos) : pos + 1;
        }
    }
    return found;
}

QStringList ColorTextParser::colorNames() {
    QStringList names = namedColors().keys();
    names.sort();
    return names;
}
