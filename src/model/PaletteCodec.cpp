#include "model/PaletteCodec.h"

#include <simdjson.h>

#include <charconv>
#include <cmath>
#include <cstring>
#include <string_view>
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

void appendNumber(QByteArray &out, double value) {
    // "-0" would read back as the integer 0; the fraction keeps the sign.
    if (value == 0.0 && std::signbit(value)) {
        out.append("-0.0", 4);
        return;
    }
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr - buffer);
}

void appendEscapedByte(QByteArray &out, unsigned char byte) {
    static constexpr char hex[] = "0123456789abcdef";
    switch (byte) {
    case '"':
        out.append("\\\"", 2);
        return;
    case '\\':
        out.append("\\\\", 2);
        return;
    case '\b':
        out.append("\\b", 2);
        return;
    case '\f':
        out.append("\\f", 2);
        return;
    case '\n':
        out.append("\\n", 2);
        return;
    case '\r':
        out.append("\\r", 2);
        return;
    case '\t':
        out.append("\\t", 2);
        return;
    default: {
        const char escaped[6] = {'\\', 'u', '0', '0', hex[byte >> 4], hex[byte & 0xF]};
        out.append(escaped, 6);
    }
    }
}

// UTF-16 to escaped UTF-8 in one pass; a lone surrogate becomes U+FFFD so the output is always
// valid UTF-8 (the reader would reject it otherwise).
void appendString(QByteArray &out, const QString &text) {
    out.append('"');
    const char16_t *data = reinterpret_cast<const char16_t *>(text.utf16());
    const qsizetype size = text.size();
    qsizetype runStart = 0;
    qsizetype i = 0;
    auto flushAscii = [&] {
        if (i > runStart) {
            const qsizetype oldSize = out.size();
            out.resize(oldSize + (i - runStart));
            char *dst = out.data() + oldSize;
            for (qsizetype k = runStart; k < i; ++k)
                *dst++ = static_cast<char>(data[k]);
        }
    };
    while (i < size) {
        const char16_t c = data[i];
        if (c >= 0x20 && c < 0x80 && c != u'"' && c != u'\\') {
            ++i;
            continue;
        }
        flushAscii();
        if (c < 0x80) {
            appendEscapedByte(out, static_cast<unsigned char>(c));
            ++i;
        } else {
            char32_t code = c;
            qsizetype used = 1;
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < size && data[i + 1] >= 0xDC00 &&
                data[i + 1] <= 0xDFFF) {
                code = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (char32_t(data[i + 1]) - 0xDC00);
                used = 2;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                code = 0xFFFD;
            }
            char bytes[4];
            int n = 0;
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
            out.append(bytes, n);
            i += used;
        }
        runStart = i;
    }
    flushAscii();
    out.append('"');
}

bool isFinite(const SerializableColor &color) {
    return std::isfinite(color.red) && std::isfinite(color.green) && std::isfinite(color.blue) &&
           (!color.alpha || std::isfinite(*color.alpha));
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

bool readString(const element &value, const Path &path, QString &out, QString &error) {
    std::string_view text;
    if (value.get_string().get(text) != simdjson::SUCCESS) {
        error = expected(path, "a string", value.type());
        return false;
    }
    // QString::fromUtf8 drops a leading byte order mark; a name may start with U+FEFF.
    qsizetype marks = 0;
    while (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3);
        ++marks;
    }
    out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (marks > 0)
        out.prepend(QString(marks, QChar(0xFEFF)));
    return true;
}

bool readNumber(const element &value, const Path &path, double &out, QString &error) {
    const element_type type = value.type();
    if (!isNumber(type)) {
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
    return readString(found[0], path.key("colName"), color.colName, error) &&
           readColor(found[1], path.key("colColor"), color.colColor, error);
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
    }
    return changed;
}

} // namespace

std::optional<QByteArray> PaletteCodec::encode(const Palette &palette) {
    for (const PaletteColor &color : palette.palColors) {
        if (!isFinite(color.colColor))
            return std::nullopt;
    }
    QByteArray out;
    out.reserve(32 + palette.palName.size() * 3 + palette.palColors.size() * 120);
    out.append("{\"palName\":");
    appendString(out, palette.palName);
    out.append(",\"palColors\":[");
    bool first = true;
    for (const PaletteColor &color : palette.palColors) {
        if (!first)
            out.append(',');
        first = false;
        out.append("{\"colName\":");
        appendString(out, color.colName);
        out.append(",\"colColor\":{\"red\":");
        appendNumber(out, color.colColor.red);
        out.append(",\"green\":");
        appendNumber(out, color.colColor.green);
        out.append(",\"blue\":");
        appendNumber(out, color.colColor.blue);
        if (color.colColor.alpha) {
            out.append(",\"alpha\":");
            appendNumber(out, *color.colColor.alpha);
        }
        out.append("}}");
    }
    out.append("]}");
    return out;
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
