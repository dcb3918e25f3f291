#include "model/PaletteCodec.h"

#include <simdjson.h>

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Writing is hand-rolled so the bytes are fixed: keys in field order, compact, numbers in the
// shortest form that reads back as the same double. Reading uses simdjson's DOM parser, which
// validates the whole text (structure and UTF-8) before we look at any value.
//
// Reading rules beyond the file format itself:
// - A leading UTF-8 byte order mark is skipped (some editors add one).
// - A key given twice in one object: the last one wins, as in most JSON readers.
// - Integers too large for 64 bits are read as the nearest double; numbers beyond the double
//   range (1e400) are rejected, since they could not be written back.

namespace {

// ---------------------------------------------------------------------------------------------
// Encoding
//
// One writer, two sinks: BufferSink stores the bytes, CompareSink checks them against bytes
// already on disk and stops at the first difference. A load checks every file this way
// without building a second copy of it.

class BufferSink {
public:
    explicit BufferSink(char *out)
        : m_pos(out) {}
    bool put(const char *data, size_t size) {
        std::memcpy(m_pos, data, size);
        m_pos += size;
        return true;
    }
    // ASCII held in UTF-16 units.
    bool putAscii(const char16_t *data, size_t size) {
        for (size_t k = 0; k < size; ++k)
            m_pos[k] = static_cast<char>(data[k]);
        m_pos += size;
        return true;
    }
    char *position() const { return m_pos; }

private:
    char *m_pos;
};

class CompareSink {
public:
    CompareSink(const char *data, size_t size)
        : m_pos(data)
        , m_end(data + size) {}
    bool put(const char *data, size_t size) {
        if (static_cast<size_t>(m_end - m_pos) < size || std::memcmp(m_pos, data, size) != 0)
            return false;
        m_pos += size;
        return true;
    }
    bool putAscii(const char16_t *data, size_t size) {
        if (static_cast<size_t>(m_end - m_pos) < size)
            return false;
        for (size_t k = 0; k < size; ++k) {
            if (m_pos[k] != static_cast<char>(data[k]))
                return false;
        }
        m_pos += size;
        return true;
    }
    bool atEnd() const { return m_pos == m_end; }

private:
    const char *m_pos;
    const char *m_end;
};

template <class Sink, size_t N> bool putLiteral(Sink &sink, const char (&text)[N]) {
    return sink.put(text, N - 1);
}

// Shortest round-trip texts of recently written numbers. Colour components repeat a lot (the
// same 8-bit channel values, alpha 1), and std::to_chars is the single largest cost of writing.
class NumberTexts {
public:
    std::string_view text(double value) {
        std::uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        // Two slots per set: the newest value goes first, the one it displaces second.
        Slot *set = m_slots + 2 * ((bits * 0x9E3779B97F4A7C15ull) >> (64 - kSetBits));
        if (set[0].size != 0 && set[0].bits == bits)
            return {set[0].text, set[0].size};
        if (set[1].size != 0 && set[1].bits == bits)
            return {set[1].text, set[1].size};
        set[1] = set[0];
        set[0].bits = bits;
        set[0].size = static_cast<std::uint8_t>(format(value, set[0].text));
        return {set[0].text, set[0].size};
    }

private:
    static constexpr int kSetBits = 9;
    struct Slot {
        std::uint64_t bits = 0;
        std::uint8_t size = 0; // 0: empty
        char text[31] = {};
    };

    static size_t format(double value, char (&out)[31]) {
        // "-0" would read back as the integer 0; the fraction keeps the sign.
        if (value == 0.0 && std::signbit(value)) {
            std::memcpy(out, "-0.0", 4);
            return 4;
        }
        const auto result = std::to_chars(out, out + sizeof out, value);
        return static_cast<size_t>(result.ptr - out);
    }

    Slot m_slots[size_t(2) << kSetBits];
};

NumberTexts &numberTexts() {
    thread_local const std::unique_ptr<NumberTexts> texts = std::make_unique<NumberTexts>();
    return *texts;
}

template <class Sink> bool putNumber(Sink &sink, NumberTexts &texts, double value) {
    const std::string_view text = texts.text(value);
    return sink.put(text.data(), text.size());
}

template <class Sink> bool putEscapedByte(Sink &sink, unsigned char byte) {
    static constexpr char hex[] = "0123456789abcdef";
    switch (byte) {
    case '"':
        return putLiteral(sink, "\\\"");
    case '\\':
        return putLiteral(sink, "\\\\");
    case '\b':
        return putLiteral(sink, "\\b");
    case '\f':
        return putLiteral(sink, "\\f");
    case '\n':
        return putLiteral(sink, "\\n");
    case '\r':
        return putLiteral(sink, "\\r");
    case '\t':
        return putLiteral(sink, "\\t");
    default: {
        const char escaped[6] = {'\\', 'u', '0', '0', hex[byte >> 4], hex[byte & 0xF]};
        return sink.put(escaped, 6);
    }
    }
}

// At most this many bytes per UTF-16 unit ("\u001f").
constexpr size_t kMaxBytesPerUnit = 6;

// UTF-16 to escaped UTF-8 in one pass; a lone surrogate becomes U+FFFD so the output is always
// valid UTF-8 (the reader would reject it otherwise).
template <class Sink> bool putString(Sink &sink, const QString &text) {
    if (!putLiteral(sink, "\""))
        return false;
    const char16_t *data = reinterpret_cast<const char16_t *>(text.constData());
    const size_t size = static_cast<size_t>(text.size());
    size_t i = 0;
    while (i < size) {
        const size_t runStart = i;
        while (i < size && data[i] >= 0x20 && data[i] < 0x80 && data[i] != u'"' && data[i] != u'\\')
            ++i;
        if (i > runStart && !sink.putAscii(data + runStart, i - runStart))
            return false;
        if (i == size)
            break;
        const char16_t c = data[i];
        if (c < 0x80) {
            if (!putEscapedByte(sink, static_cast<unsigned char>(c)))
                return false;
            ++i;
            continue;
        }
        char32_t code = c;
        size_t used = 1;
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < size && data[i + 1] >= 0xDC00 &&
            data[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(data[i + 1]) - 0xDC00);
            used = 2;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            code = 0xFFFD;
        }
        char bytes[4];
        size_t n = 0;
        if (code < 0x800) {
            bytes[n++] = static_cast<char>(0xC0 | (code >> 6));
            bytes[n++] = static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            bytes[n++] = static_cast<char>(0xE0 | (code >> 12));
            bytes[n++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes[n++] = static_cast<char>(0x80 | (code & 0x3F));
        } else {
            bytes[n++] = static_cast<char>(0xF0 | (code >> 18));
            bytes[n++] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            bytes[n++] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            bytes[n++] = static_cast<char>(0x80 | (code & 0x3F));
        }
        if (!sink.put(bytes, n))
            return false;
        i += used;
    }
    return putLiteral(sink, "\"");
}

// Keys in field order, compact. Stops (returning false) as soon as the sink refuses a piece.
template <class Sink> bool putPalette(Sink &sink, const Palette &palette) {
    NumberTexts &texts = numberTexts();
    if (!putLiteral(sink, "{\"palName\":") || !putString(sink, palette.palName) ||
        !putLiteral(sink, ",\"palColors\":["))
        return false;
    bool first = true;
    for (const PaletteColor &color : palette.palColors) {
        if (!first && !putLiteral(sink, ","))
            return false;
        first = false;
        const SerializableColor c = color.colColor;
        if (!putLiteral(sink, "{\"colName\":") || !putString(sink, color.colName) ||
            !putLiteral(sink, ",\"colColor\":{\"red\":") || !putNumber(sink, texts, c.red) ||
            !putLiteral(sink, ",\"green\":") || !putNumber(sink, texts, c.green) ||
            !putLiteral(sink, ",\"blue\":") || !putNumber(sink, texts, c.blue))
            return false;
        if (c.alpha && (!putLiteral(sink, ",\"alpha\":") || !putNumber(sink, texts, *c.alpha)))
            return false;
        if (!putLiteral(sink, "}}"))
            return false;
    }
    return putLiteral(sink, "]}");
}

// Enough room for putPalette: the fixed text, each name at its longest and each number at the
// longest shortest form of a double ("-2.2250738585072014e-308", 24 bytes).
size_t encodedSizeBound(const Palette &palette) {
    constexpr size_t kNumber = 24;
    constexpr size_t kTop = sizeof "{\"palName\":\"\",\"palColors\":[]}";
    constexpr size_t kColor =
        sizeof ",{\"colName\":\"\",\"colColor\":{\"red\":,\"green\":,\"blue\":,"
               "\"alpha\":}}" +
        4 * kNumber;
    size_t bound = kTop + kMaxBytesPerUnit * static_cast<size_t>(palette.palName.size());
    for (const PaletteColor &color : palette.palColors)
        bound += kColor + kMaxBytesPerUnit * static_cast<size_t>(color.colName.size());
    return bound;
}

bool isFinite(const SerializableColor &color) {
    return std::isfinite(color.red) && std::isfinite(color.green) && std::isfinite(color.blue) &&
           (!color.alpha || std::isfinite(*color.alpha));
}

bool isFinite(const Palette &palette) {
    for (const PaletteColor &color : palette.palColors) {
        if (!isFinite(color.colColor))
            return false;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Decoding

using simdjson::dom::element;
using simdjson::dom::element_type;
using simdjson::dom::object;

const char *typeName(element_type type) {
    switch (type) {
    case element_type::ARRAY:
        return "array";
    case element_type::OBJECT:
        return "object";
    case element_type::INT64:
    case element_type::UINT64:
    case element_type::DOUBLE:
        return "number";
    case element_type::STRING:
        return "string";
    case element_type::BOOL:
        return "boolean";
    case element_type::NULL_VALUE:
        return "null";
    }
    return "value";
}

bool isNumber(element_type type) {
    return type == element_type::INT64 || type == element_type::UINT64 ||
           type == element_type::DOUBLE;
}

// The "where" part of an error ("palColors[3].colColor.red"), kept as a chain of stack
// frames and only turned into text when something is wrong.
class Path {
public:
    Path() = default;
    Path key(const char *name) const { return Path(this, name, 0); }
    Path index(size_t i) const { return Path(this, nullptr, i); }
    QString prefix() const {
        const QString text = toText();
        return text.isEmpty() ? QStringLiteral("top level: ") : text + QStringLiteral(": ");
    }

private:
    Path(const Path *parent, const char *name, size_t index)
        : m_parent(parent)
        , m_name(name)
        , m_index(index) {}
    QString toText() const {
        if (!m_parent)
            return {};
        QString text = m_parent->toText();
        if (m_name) {
            if (!text.isEmpty())
                text += QLatin1Char('.');
            text += QLatin1String(m_name);
        } else {
            text += QLatin1Char('[') + QString::number(m_index) + QLatin1Char(']');
        }
        return text;
    }

    const Path *m_parent = nullptr;
    const char *m_name = nullptr;
    size_t m_index = 0;
};

QString expected(const Path &path, const char *wanted, element_type got) {
    return path.prefix() + QStringLiteral("expected ") + QLatin1String(wanted) +
           QStringLiteral(", got ") + QLatin1String(typeName(got));
}

QString missing(const Path &path, const char *key) {
    return path.prefix() + QStringLiteral("missing key \"") + QLatin1String(key) + QLatin1Char('"');
}

// Looks up the named keys of an object in one pass; later duplicates replace earlier ones.
template <size_t N>
void findKeys(const object &obj, const std::string_view (&names)[N], element (&found)[N],
              bool (&present)[N]) {
    for (size_t k = 0; k < N; ++k)
        present[k] = false;
    for (const auto field : obj) {
        for (size_t k = 0; k < N; ++k) {
            if (field.key == names[k]) {
                found[k] = field.value;
                present[k] = true;
                break;
            }
        }
    }
}

QString widenAscii(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Colour names repeat from palette to palette ("New color", "Color 1", ...). Equal short names
// read on one thread share one block instead of each colour holding its own copy: with
// thousands of palettes that is megabytes less to allocate and touch. It keeps at most 1024
// short names (starting afresh when full), so data whose names never repeat cannot grow it.
class NamePool {
public:
    SharedName get(std::string_view text) {
        if (text.size() > maxNameLength)
            return latin1Name(text);
        const auto found = m_names.find(text);
        if (found != m_names.end())
            return found->second;
        if (m_names.size() >= maxNames)
            m_names.clear();
        SharedName name = latin1Name(text);
        m_names.emplace(std::string(text), name);
        return name;
    }

private:
    static SharedName latin1Name(std::string_view text) {
        return SharedName(QLatin1StringView(text.data(), static_cast<qsizetype>(text.size())));
    }

    static constexpr size_t maxNames = 1024;
    static constexpr size_t maxNameLength = 64;
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const {
            return std::hash<std::string_view>()(text);
        }
    };
    std::unordered_map<std::string, SharedName, Hash, std::equal_to<>> m_names;
};

NamePool &colorNames() {
    thread_local NamePool pool;
    return pool;
}

// The text of a string value; ascii tells whether it is plain ASCII (the usual case).
bool stringText(const element &value, const Path &path, std::string_view &text, bool &ascii,
                QString &error) {
    if (value.get_string().get(text) != simdjson::SUCCESS) {
        error = expected(path, "a string", value.type());
        return false;
    }
    ascii = true;
    for (const char c : text)
        ascii &= static_cast<unsigned char>(c) < 0x80;
    return true;
}

// Valid UTF-8 (simdjson has checked it) to UTF-16, keeping every leading byte order mark.
QString fromUtf8(std::string_view text) {
    // QString::fromUtf8 drops a leading byte order mark; a name may start with U+FEFF.
    qsizetype marks = 0;
    while (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        ++marks;
    }
    QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (marks > 0)
        out.prepend(QString(marks, QChar(0xFEFF)));
    return out;
}

bool readString(const element &value, const Path &path, QString &out, QString &error) {
    std::string_view text;
    bool ascii = true;
    if (!stringText(value, path, text, ascii, error))
        return false;
    // Names are mostly ASCII: widen them directly.
    out = ascii ? widenAscii(text) : fromUtf8(text);
    return true;
}

// pool: shares equal names.
bool readName(const element &value, const Path &path, SharedName &out, QString &error,
              NamePool &pool) {
    std::string_view text;
    bool ascii = true;
    if (!stringText(value, path, text, ascii, error))
        return false;
    out = ascii ? pool.get(text) : SharedName(fromUtf8(text));
    return true;
}

bool readNumber(const element &value, const Path &path, double &out, QString &error) {
    const element_type type = value.type();
    if (!isNumber(type)) {
        // What the huge-number rewrite left in place of a number no double can hold.
        std::string_view text;
        if (type == element_type::STRING && value.get_string().get(text) == simdjson::SUCCESS &&
            !text.empty() && text.find_first_not_of('#') == std::string_view::npos)
            error = path.prefix() + QStringLiteral("a number too large to be read");
        else
            error = expected(path, "a number", type);
        return false;
    }
    if (type == element_type::DOUBLE)
        out = value.get_double().value_unsafe();
    else if (type == element_type::INT64)
        out = static_cast<double>(value.get_int64().value_unsafe());
    else
        out = static_cast<double>(value.get_uint64().value_unsafe());
    return true;
}

bool readColor(const element &value, const Path &path, SerializableColor &color, QString &error) {
    object obj;
    if (value.get_object().get(obj) != simdjson::SUCCESS) {
        error = expected(path, "an object", value.type());
        return false;
    }
    static constexpr std::string_view names[] = {"red", "green", "blue", "alpha"};
    element found[4];
    bool present[4];
    findKeys(obj, names, found, present);
    double *targets[3] = {&color.red, &color.green, &color.blue};
    for (size_t k = 0; k < 3; ++k) {
        if (!present[k]) {
            error = missing(path, names[k].data());
            return false;
        }
        if (!readNumber(found[k], path.key(names[k].data()), *targets[k], error))
            return false;
    }
    color.alpha.reset();
    if (present[3] && !found[3].is_null()) {
        double alpha = 0.0;
        if (!readNumber(found[3], path.key("alpha"), alpha, error))
            return false;
        color.alpha = alpha;
    }
    return true;
}

bool readPaletteColor(const element &value, const Path &path, PaletteColor &color, QString &error) {
    object obj;
    if (value.get_object().get(obj) != simdjson::SUCCESS) {
        error = expected(path, "an object", value.type());
        return false;
    }
    static constexpr std::string_view names[] = {"colName", "colColor"};
    element found[2];
    bool present[2];
    findKeys(obj, names, found, present);
    for (size_t k = 0; k < 2; ++k) {
        if (!present[k]) {
            error = missing(path, names[k].data());
            return false;
        }
    }
    SerializableColor components;
    if (!readName(found[0], path.key("colName"), color.colName, error, colorNames()) ||
        !readColor(found[1], path.key("colColor"), components, error))
        return false;
    color.colColor = components;
    return true;
}

bool readPalette(const element &root, Palette &palette, QString &error) {
    const Path top;
    object obj;
    if (root.get_object().get(obj) != simdjson::SUCCESS) {
        error = expected(top, "an object", root.type());
        return false;
    }
    static constexpr std::string_view names[] = {"palName", "palColors"};
    element found[2];
    bool present[2];
    findKeys(obj, names, found, present);
    for (size_t k = 0; k < 2; ++k) {
        if (!present[k]) {
            error = missing(top, names[k].data());
            return false;
        }
    }
    if (!readString(found[0], top.key("palName"), palette.palName, error))
        return false;
    simdjson::dom::array colors;
    const Path colorsPath = top.key("palColors");
    if (found[1].get_array().get(colors) != simdjson::SUCCESS) {
        error = expected(colorsPath, "an array", found[1].type());
        return false;
    }
    palette.palColors.reserve(static_cast<qsizetype>(colors.size()));
    size_t index = 0;
    for (const element item : colors) {
        PaletteColor color;
        if (!readPaletteColor(item, colorsPath.index(index), color, error))
            return false;
        palette.palColors.append(std::move(color));
        ++index;
    }
    return true;
}

constexpr size_t kKeepBufferLimit = 16 * 1024 * 1024;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// simdjson refuses integers that do not fit 64 bits. Such an integer (hand-edited files) is
// rewritten in place as the same value in the form "<digits>e<exponent>", padded with spaces,
// which is never longer than the original. Returns whether anything changed.
bool rewriteBigIntegers(char *text, size_t size) {
    bool changed = false;
    bool inString = false;
    size_t i = 0;
    while (i < size) {
        const char c = text[i];
        if (inString) {
            if (c == '\\')
                ++i;
            else if (c == '"')
                inString = false;
            ++i;
            continue;
        }
        if (c == '"') {
            inString = true;
            ++i;
            continue;
        }
        if (c != '-' && !isDigit(c)) {
            ++i;
            continue;
        }
        const size_t start = i;
        size_t digitsStart = c == '-' ? i + 1 : i;
        size_t end = digitsStart;
        while (end < size && isDigit(text[end]))
            ++end;
        const size_t digitCount = end - digitsStart;
        const bool followsNumber =
            end < size && (text[end] == '.' || text[end] == 'e' || text[end] == 'E');
        if (digitCount >= 19 && !followsNumber && text[digitsStart] != '0') {
            double value = 0.0;
            const auto parsed = std::from_chars(text + start, text + end, value);
            if (parsed.ec == std::errc() && std::isfinite(value)) {
                char scientific[40];
                const auto written = std::to_chars(scientific, scientific + sizeof scientific,
                                                   value, std::chars_format::scientific);
                // "d.ddde+XX" -> mantissa digits and decimal exponent
                std::string_view sci(scientific, static_cast<size_t>(written.ptr - scientific));
                const size_t ePos = sci.find('e');
                std::string digits;
                bool negative = false;
                for (size_t k = 0; k < ePos; ++k) {
                    if (sci[k] == '-')
                        negative = true;
                    else if (isDigit(sci[k]))
                        digits.push_back(sci[k]);
                }
                int exponent = 0;
                std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1),
                                sci.data() + sci.size(), exponent);
                exponent -= static_cast<int>(digits.size()) - 1;
                std::string replacement = negative ? "-" : "";
                replacement += digits;
                replacement += 'e';
                replacement += std::to_string(exponent);
                if (replacement.size() <= end - start) {
                    std::memcpy(text + start, replacement.data(), replacement.size());
                    std::memset(text + start + replacement.size(), ' ',
                                end - start - replacement.size());
                    changed = true;
                }
            }
        }
        i = end;
        while (i < size && (isDigit(text[i]) || text[i] == '.' || text[i] == 'e' ||
                            text[i] == 'E' || text[i] == '+' || text[i] == '-'))
            ++i;
        // A number too large for a double (1e400) cannot be a colour component, but it may
        // sit in a key the format ignores: turn it into a string of the same length, which an
        // ignored key drops and a component reports as the wrong type.
        if (i - start >= 2 && text[start] != ' ') {
            double value = 0.0;
            const auto parsed = std::from_chars(text + start, text + i, value);
            const std::string_view token(text + start, i - start);
            const size_t e = token.find_first_of("eE");
            const bool underflow =
                e != std::string_view::npos && e + 1 < token.size() && token[e + 1] == '-';
            if (parsed.ec == std::errc::result_out_of_range && !underflow) {
                text[start] = '"';
                std::memset(text + start + 1, '#', i - start - 2);
                text[i - 1] = '"';
                changed = true;
            }
        }
    }
    return changed;
}

// simdjson reads "-0" as the integer 0; written back that would drop the sign that "-0.0"
// keeps. Gives every such "-0" a fraction; nullopt when there is none (the usual case).
std::optional<std::string> withSignedZeros(const char *text, size_t size) {
    // memchr for the rare '-' is several times faster than memmem for "-0" over every file.
    const char *end = text + size;
    const char *minus = text;
    while ((minus = static_cast<const char *>(std::memchr(minus, '-', size_t(end - minus)))) &&
           (minus + 1 == end || minus[1] != '0'))
        ++minus;
    if (!minus)
        return std::nullopt;
    std::string out;
    bool inString = false;
    bool found = false;
    for (size_t i = 0; i < size; ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\' && i + 1 < size) {
                out.push_back(c);
                out.push_back(text[++i]);
                continue;
            }
            inString = c != '"';
        } else if (c == '"') {
            inString = true;
        } else if (c == '-' && i + 1 < size && text[i + 1] == '0' &&
                   (i + 2 >= size || !(isDigit(text[i + 2]) || text[i + 2] == '.' ||
                                       text[i + 2] == 'e' || text[i + 2] == 'E'))) {
            out.append("-0.0");
            ++i;
            found = true;
            continue;
        }
        out.push_back(c);
    }
    if (!found)
        return std::nullopt;
    return out;
}

// ---------------------------------------------------------------------------------------------
// Reading what this program wrote
//
// Nearly every file is exactly what encode() gave. WrittenFormReader reads only that form, in
// one pass, with no parse tree and no second encoding to compare: a file it reads is one that
// decode() reads to the same palette and that encodesTo() accepts. Anything else (other
// spacing, key order, escapes, non-ASCII text, numbers not in their shortest form) makes it
// give up, and the general reader takes over.

// Values of number texts already read and found in written form, so the same component read
// again (the same 8-bit channel values recur across every palette) skips parsing and checking.
class NumberValues {
public:
    bool find(std::string_view text, double &value) const {
        const Slot &slot = m_slots[index(text)];
        if (slot.size != text.size() || std::memcmp(slot.text, text.data(), text.size()) != 0)
            return false;
        value = slot.value;
        return true;
    }
    void remember(std::string_view text, double value) {
        if (text.empty() || text.size() > sizeof(Slot::text))
            return;
        Slot &slot = m_slots[index(text)];
        slot.size = static_cast<std::uint8_t>(text.size());
        std::memcpy(slot.text, text.data(), text.size());
        slot.value = value;
    }

private:
    static constexpr int kBits = 10;
    struct Slot {
        double value = 0.0;
        std::uint8_t size = 0; // 0: empty
        char text[23] = {};
    };

    // From the first and last eight bytes and the length: cheap, and number texts that share
    // their start ("0.50196...") differ at the end.
    static size_t index(std::string_view text) {
        std::uint64_t head = 0;
        std::uint64_t tail = 0;
        std::memcpy(&head, text.data(), std::min<size_t>(8, text.size()));
        if (text.size() > 8)
            std::memcpy(&tail, text.data() + text.size() - 8, 8);
        const std::uint64_t mixed =
            (head * 0x9E3779B97F4A7C15ull) ^ ((tail + text.size()) * 0xC2B2AE3D27D4EB4Full);
        return static_cast<size_t>((mixed ^ (mixed >> 31)) >> (64 - kBits));
    }

    Slot m_slots[size_t(1) << kBits];
};

NumberValues &numberValues() {
    thread_local const std::unique_ptr<NumberValues> values = std::make_unique<NumberValues>();
    return *values;
}

class WrittenFormReader {
public:
    WrittenFormReader(const char *data, size_t size)
        : m_pos(data)
        , m_end(data + size) {}

    std::optional<Palette> read() {
        Palette palette;
        std::string_view name;
        if (!literal("{\"palName\":") || !string(name) || !literal(",\"palColors\":["))
            return std::nullopt;
        palette.palName = widenAscii(name);
        // Gathered first, so the palette's list is allocated at its exact size: growing it
        // colour by colour would leave a quarter of it unused, megabytes over 20,000 palettes.
        thread_local std::vector<PaletteColor> colors;
        colors.clear();
        if (!literal("]")) {
            NamePool &names = colorNames();
            do {
                if (!this->color(colors.emplace_back(), names))
                    return std::nullopt;
            } while (literal(","));
            if (!literal("]"))
                return std::nullopt;
        }
        if (!literal("}") || m_pos != m_end)
            return std::nullopt;
        palette.palColors.reserve(static_cast<qsizetype>(colors.size()));
        for (PaletteColor &color : colors)
            palette.palColors.append(std::move(color));
        if (colors.capacity() > 4096)
            std::vector<PaletteColor>().swap(colors); // a big palette's room is not kept
        else
            colors.clear();
        return palette;
    }

private:
    bool color(PaletteColor &color, NamePool &names) {
        std::string_view name;
        SerializableColor c;
        double alpha = 0.0;
        if (!literal("{\"colName\":") || !string(name) || !literal(",\"colColor\":{\"red\":") ||
            !number(c.red) || !literal(",\"green\":") || !number(c.green) ||
            !literal(",\"blue\":") || !number(c.blue))
            return false;
        if (literal(",\"alpha\":")) {
            if (!number(alpha))
                return false;
            c.alpha = alpha;
        }
        if (!literal("}}"))
            return false;
        color.colName = names.get(name);
        color.colColor = c;
        return true;
    }

    template <size_t N> bool literal(const char (&text)[N]) {
        if (static_cast<size_t>(m_end - m_pos) < N - 1 || std::memcmp(m_pos, text, N - 1) != 0)
            return false;
        m_pos += N - 1;
        return true;
    }

    // Printable ASCII without quotes or backslashes: written as is, read back as is.
    bool string(std::string_view &text) {
        if (m_pos == m_end || *m_pos != '"')
            return false;
        const char *start = ++m_pos;
        while (m_pos != m_end && kPlainChar[static_cast<unsigned char>(*m_pos)])
            ++m_pos;
        if (m_pos == m_end || *m_pos != '"')
            return false;
        text = std::string_view(start, static_cast<size_t>(m_pos - start));
        ++m_pos;
        return true;
    }

    // A number counts only in the form encode() gives its value: the shortest that reads back.
    bool number(double &value) {
        const char *start = m_pos;
        m_pos = numberEnd(m_pos, m_end);
        const std::string_view text(start, static_cast<size_t>(m_pos - start));
        if (text.empty())
            return false;
        if (m_values.find(text, value))
            return true;
        const auto parsed = std::from_chars(start, m_pos, value);
        if (parsed.ec != std::errc() || parsed.ptr != m_pos || !std::isfinite(value) ||
            m_texts.text(value) != text)
            return false;
        m_values.remember(text, value);
        return true;
    }

    // Where a number ends: the written form puts a ',' or '}' after each. Whatever else the
    // text holds up to there, from_chars refuses or the form check does. Eight bytes a step.
    static const char *numberEnd(const char *pos, const char *end) {
        constexpr std::uint64_t ones = 0x0101010101010101ull;
        constexpr std::uint64_t highs = 0x8080808080808080ull;
        while (end - pos >= 8) {
            std::uint64_t word;
            std::memcpy(&word, pos, 8);
            const std::uint64_t comma = word ^ (ones * ',');
            const std::uint64_t brace = word ^ (ones * '}');
            // The lowest flagged byte is exact: only bytes above a true match can be false.
            const std::uint64_t found =
                ((comma - ones) & ~comma & highs) | ((brace - ones) & ~brace & highs);
            if (found != 0)
                return pos + (std::countr_zero(found) >> 3);
            pos += 8;
        }
        while (pos != end && *pos != ',' && *pos != '}')
            ++pos;
        return pos;
    }
    // String characters written as they are.
    static constexpr std::array<bool, 256> kPlainChar = [] {
        std::array<bool, 256> table{};
        for (int c = 0x20; c < 0x80; ++c)
            table[c] = c != '"' && c != '\\';
        return table;
    }();

    const char *m_pos;
    const char *m_end;
    NumberTexts &m_texts = numberTexts();
    NumberValues &m_values = numberValues();
};
} // namespace

std::optional<QByteArray> PaletteCodec::encode(const Palette &palette) {
    if (!isFinite(palette))
        return std::nullopt;
    QByteArray out(static_cast<qsizetype>(encodedSizeBound(palette)), Qt::Uninitialized);
    BufferSink sink(out.data());
    putPalette(sink, palette);
    out.truncate(sink.position() - out.constData());
    return out;
}

bool PaletteCodec::encodesTo(const Palette &palette, QByteArrayView bytes) {
    if (!isFinite(palette))
        return false;
    CompareSink sink(bytes.data(), static_cast<size_t>(bytes.size()));
    return putPalette(sink, palette) && sink.atEnd();
}

std::optional<Palette> PaletteCodec::decodeWrittenForm(QByteArrayView bytes) {
    return WrittenFormReader(bytes.data(), static_cast<size_t>(bytes.size())).read();
}

PaletteCodec::DecodeResult PaletteCodec::decode(QByteArrayView json) {
    DecodeResult result;
    const char *data = json.data();
    size_t size = static_cast<size_t>(json.size());
    if (size >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0) {
        data += 3;
        size -= 3;
    }
    if (size == 0) {
        result.error = QStringLiteral("empty text");
        return result;
    }

    const std::optional<std::string> signedZeros = withSignedZeros(data, size);
    if (signedZeros) {
        data = signedZeros->data();
        size = signedZeros->size();
    }

    // simdjson reads a little past the end; keep one padded buffer per thread for reuse.
    thread_local std::vector<char> buffer;
    thread_local simdjson::dom::parser parser;
    if (buffer.size() < size + simdjson::SIMDJSON_PADDING)
        buffer.resize(size + simdjson::SIMDJSON_PADDING);
    std::memcpy(buffer.data(), data, size);
    std::memset(buffer.data() + size, 0, simdjson::SIMDJSON_PADDING);

    element root;
    auto code = parser.parse(buffer.data(), size, false).get(root);
    if (code == simdjson::NUMBER_ERROR && rewriteBigIntegers(buffer.data(), size))
        code = parser.parse(buffer.data(), size, false).get(root);
    if (code != simdjson::SUCCESS) {
        result.error =
            QStringLiteral("not valid JSON: ") + QString::fromUtf8(simdjson::error_message(code));
        return result;
    }

    Palette palette;
    if (readPalette(root, palette, result.error))
        result.palette = std::move(palette);
    // Do not keep the memory of an unusually large text around for the rest of the run.
    if (size > kKeepBufferLimit) {
        parser = simdjson::dom::parser();
        std::vector<char>().swap(buffer);
    }
    return result;
}
