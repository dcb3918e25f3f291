#include "settings/IniCodec.h"

#include <QDataStream>
#include <QIODevice>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <cstring>
#include <optional>

namespace {

const char hexDigits[] = "0123456789ABCDEF";

bool isHexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isKeyChar(char16_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.';
}

// Appends the leading characters of text for which keep() holds, in one step; returns how many.
template <typename Keep> qsizetype appendWhile(QStringView text, QByteArray &out, Keep keep) {
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char *to = out.data() + start;
    qsizetype n = 0;
    while (n < text.size() && keep(text[n].unicode()))
        *to++ = char(text[n++].unicode());
    out.resize(start + n);
    return n;
}

// Keys: letters, digits and "-_." as they are, "/" as "\", everything else as %XX or %UXXXX.
void escapeKey(QStringView key, QByteArray &out) {
    const qsizetype plain = appendWhile(key, out, isKeyChar);
    for (const QChar qc : key.sliced(plain)) {
        const char16_t c = qc.unicode();
        if (c == '/') {
            out += '\\';
        } else if (isKeyChar(c)) {
            out += char(c);
        } else if (c <= 0xFF) {
            out += '%';
            out += hexDigits[c >> 4];
            out += hexDigits[c & 0xF];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += hexDigits[(c >> shift) & 0xF];
        }
    }
}

int hexValue(char16_t c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The number in count hex digits at text[at], or -1 when they are not all hex digits.
int hexNumber(const QString &text, qsizetype at, int count) {
    int code = 0;
    for (int i = 0; i < count; ++i) {
        const int digit = hexValue(text.at(at + i).unicode());
        if (digit < 0)
            return -1;
        code = code * 16 + digit;
    }
    return code;
}

// Keys in ASCII, with every escape complete, decoded in one pass; nullopt for anything else.
std::optional<QString> unescapeAsciiKey(QByteArrayView key) {
    QString out(key.size(), Qt::Uninitialized);
    QChar *to = out.data();
    qsizetype n = 0;
    const auto hexAt = [&key](qsizetype at, int count) {
        int code = 0;
        for (int i = 0; i < count; ++i) {
            const int digit = hexValue(char16_t(uchar(key[at + i])));
            if (digit < 0)
                return -1;
            code = code * 16 + digit;
        }
        return code;
    };
    for (qsizetype i = 0; i < key.size(); ++i) {
        const char c = key[i];
        if (uchar(c) >= 0x80)
            return std::nullopt;
        if (c == '\\') {
            to[n++] = QLatin1Char('/');
        } else if (c != '%') {
            to[n++] = QLatin1Char(c);
        } else if (i + 1 < key.size() && key[i + 1] == 'U') {
            const int code = i + 5 < key.size() ? hexAt(i + 2, 4) : -1;
            if (code < 0)
                return std::nullopt;
            to[n++] = QChar(char16_t(code));
            i += 5;
        } else {
            const int code = i + 2 < key.size() ? hexAt(i + 1, 2) : -1;
            if (code < 0)
                return std::nullopt;
            to[n++] = QChar(char16_t(code));
            i += 2;
        }
    }
    out.truncate(n);
    return out;
}

QString unescapeKey(QByteArrayView key) {
    if (std::optional<QString> ascii = unescapeAsciiKey(key))
        return *ascii;
    QString out;
    const QString text = QString::fromUtf8(key);
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\\')) {
            out += QLatin1Char('/');
        } else if (c == QLatin1Char('%') && i + 5 < text.size() &&
                   text.at(i + 1) == QLatin1Char('U')) {
            int code = hexNumber(text, i + 2, 4);
            bool ok = code >= 0;
            if (!ok)
                code = int(text.mid(i + 2, 4).toUInt(&ok, 16));
            if (ok) {
                out += QChar(char16_t(code));
                i += 5;
            } else {
                out += c;
            }
        } else if (c == QLatin1Char('%') && i + 2 < text.size()) {
            int code = hexNumber(text, i + 1, 2);
            bool ok = code >= 0;
            if (!ok)
                code = int(text.mid(i + 1, 2).toUInt(&ok, 16));
            if (ok) {
                out += QChar(char16_t(code));
                i += 2;
            } else {
                out += c;
            }
        } else {
            out += c;
        }
    }
    return out;
}

// Printable ASCII without anything the value reader treats specially.
bool isPlainValue(QByteArrayView text) {
    if (text.isEmpty() || text.front() == '@')
        return false;
    for (const char c : text) {
        if (c < 0x20 || c > 0x7E || c == '"' || c == '\\' || c == ',' || c == ';')
            return false;
    }
    return true;
}

qsizetype leadingBlanks(QByteArrayView text) {
    qsizetype n = 0;
    while (n < text.size() && (text.at(n) == ' ' || text.at(n) == '\t'))
        ++n;
    return n;
}

// Values: C-style escapes, "\xN" for other control characters (and for every character
// outside ASCII inside a byte array), quotes around text that holds a separator or starts or
// ends with a space.
void escapeString(const QString &text, QByteArray &out) {
    // Printable ASCII without separators, quotes or backslashes goes out as it is.
    const auto isPlain = [](char16_t c) {
        return c >= 0x20 && c <= 0x7E && c != ';' && c != ',' && c != '=' && c != '"' && c != '\\';
    };
    if (!text.isEmpty() && text.front() != QLatin1Char(' ') && text.back() != QLatin1Char(' ')) {
        const qsizetype start = out.size();
        if (appendWhile(text, out, isPlain) == text.size())
            return;
        out.truncate(start);
    }
    const bool rawBytes = text.startsWith(QLatin1String("@ByteArray(")) ||
                          text.startsWith(QLatin1String("@Variant("));
    const qsizetype start = out.size();
    bool needsQuotes = false;
    bool escapeNextIfDigit = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar qc = text.at(i);
        const char16_t c = qc.unicode();
        if (c == ';' || c == ',' || c == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(c)) {
            out += "\\x" + QByteArray::number(uint(c), 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (c) {
        case 0:
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(c);
            break;
        default:
            if (c <= 0x1F || (c >= 0x7F && rawBytes)) {
                out += "\\x" + QByteArray::number(uint(c), 16);
                escapeNextIfDigit = true;
            } else if (rawBytes || c < 0x80) {
                out += char(c);
            } else if (qc.isHighSurrogate() && i + 1 < text.size() &&
                       text.at(i + 1).isLowSurrogate()) {
                // A character outside the BMP is one UTF-8 sequence: each half alone would
                // come out as a replacement character.
                out += QStringView(text).sliced(i, 2).toUtf8();
                ++i;
            } else {
                out += QString(qc).toUtf8();
            }
        }
    }
    if (needsQuotes ||
        (start < out.size() && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

QString variantToString(const QVariant &value) {
    switch (value.typeId()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray:
        return QStringLiteral("@ByteArray(") + QString::fromLatin1(value.toByteArray()) +
               QLatin1Char(')');
    case QMetaType::QString: {
        const QString text = value.toString();
        return text.startsWith(QLatin1Char('@')) ? QLatin1Char('@') + text : text;
    }
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toString();
    case QMetaType::QRect: {
        const QRect r = value.toRect();
        return QStringLiteral("@Rect(%1 %2 %3 %4)")
            .arg(r.x())
            .arg(r.y())
            .arg(r.width())
            .arg(r.height());
    }
    case QMetaType::QSize: {
        const QSize s = value.toSize();
        return QStringLiteral("@Size(%1 %2)").arg(s.width()).arg(s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = value.toPoint();
        return QStringLiteral("@Point(%1 %2)").arg(p.x()).arg(p.y());
    }
    default: {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(QDataStream::Qt_4_0);
        stream << value;
        return QStringLiteral("@Variant(") + QString::fromLatin1(bytes) + QLatin1Char(')');
    }
    }
}

QVariant stringToVariant(const QString &text) {
    if (!text.startsWith(QLatin1Char('@')))
        return text;
    if (text.startsWith(QLatin1String("@@")))
        return text.mid(1);
    if (!text.endsWith(QLatin1Char(')')))
        return text;
    const auto inner = [&text](qsizetype prefix) {
        return text.mid(prefix, text.size() - prefix - 1);
    };
    if (text.startsWith(QLatin1String("@ByteArray(")))
        return inner(11).toLatin1();
    if (text == QLatin1String("@Invalid()"))
        return QVariant();
    if (text.startsWith(QLatin1String("@Variant("))) {
        const QByteArray bytes = inner(9).toLatin1();
        QDataStream stream(bytes);
        stream.setVersion(QDataStream::Qt_4_0);
        QVariant value;
        stream >> value;
        return stream.status() == QDataStream::Ok ? value : QVariant(text);
    }
    const auto numbers = [&](qsizetype prefix) {
        QList<int> list;
        for (const QString &part : inner(prefix).split(QLatin1Char(' '), Qt::SkipEmptyParts))
            list.append(part.toInt());
        return list;
    };
    if (text.startsWith(QLatin1String("@Rect("))) {
        const QList<int> n = numbers(6);
        if (n.size() == 4)
            return QRect(n[0], n[1], n[2], n[3]);
    } else if (text.startsWith(QLatin1String("@Size("))) {
        const QList<int> n = numbers(6);
        if (n.size() == 2)
            return QSize(n[0], n[1]);
    } else if (text.startsWith(QLatin1String("@Point("))) {
        const QList<int> n = numbers(7);
        if (n.size() == 2)
            return QPoint(n[0], n[1]);
    }
    return text;
}

// One value: escapes, quoted parts and, outside quotes, commas that make a list. Unquoted
// white space at either end of an item is dropped.
QVariant readValue(const QString &text) {
    QStringList items;
    QString item;
    bool quoted = false;
    bool isList = false;
    qsizetype keepTo = 0; // item's length up to the last character that must stay
    const auto endItem = [&] {
        item.truncate(keepTo);
        items.append(item);
        item.clear();
        keepTo = 0;
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            keepTo = item.size();
        } else if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar e = text.at(++i);
            const char16_t u = e.unicode();
            if (u == 'x') {
                uint code = 0;
                while (i + 1 < text.size() && isHexDigit(text.at(i + 1).unicode()))
                    code = code * 16 + QString(text.at(++i)).toUInt(nullptr, 16);
                item += QChar(char16_t(code));
            } else if (u >= '0' && u <= '7') {
                uint code = u - '0';
                while (i + 1 < text.size() && text.at(i + 1) >= QLatin1Char('0') &&
                       text.at(i + 1) <= QLatin1Char('7'))
                    code = code * 8 + (text.at(++i).unicode() - '0');
                item += QChar(char16_t(code));
            } else {
                static const char from[] = "abfnrtv";
                static const char to[] = "\a\b\f\n\r\t\v";
                const char *at = u < 0x80 ? std::strchr(from, char(u)) : nullptr;
                item += at && *at ? QChar(to[at - from]) : e;
            }
            keepTo = item.size();
        } else if (c == QLatin1Char(';') && !quoted) {
            break; // the rest of the line is a comment, as QSettings reads it
        } else if (c == QLatin1Char(',') && !quoted) {
            isList = true;
            endItem();
        } else if ((c == QLatin1Char(' ') || c == QLatin1Char('\t')) && !quoted) {
            if (!item.isEmpty())
                item += c; // dropped again if nothing follows
        } else {
            item += c;
            keepTo = item.size();
        }
    }
    endItem();
    if (!isList)
        return stringToVariant(items.first());
    for (QString &each : items) {
        if (each.startsWith(QLatin1String("@@")))
            each.remove(0, 1);
    }
    return items;
}

} // namespace

QByteArray IniCodec::write(const Map &values) {
    // Keys without a group under [General] first, then each group in order.
    QMap<QString, QList<Map::const_iterator>> sections;
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(QLatin1Char('/'));
        sections[slash < 0 ? QString() : it.key().left(slash)].append(it);
    }
    QByteArray out;
    for (auto section = sections.cbegin(); section != sections.cend(); ++section) {
        if (!out.isEmpty())
            out += '\n';
        out += '[';
        if (section.key().isEmpty())
            out += "General";
        else if (section.key().compare(QLatin1String("General"), Qt::CaseInsensitive) == 0)
            out += '%' + section.key().toLatin1();
        else
            escapeKey(section.key(), out);
        out += "]\n";
        const qsizetype skip = section.key().isEmpty() ? 0 : section.key().size() + 1;
        for (const Map::const_iterator &it : section.value()) {
            escapeKey(QStringView(it.key()).sliced(skip), out);
            out += '=';
            const QVariant &value = it.value();
            const bool isList =
                value.typeId() == QMetaType::QStringList ||
                (value.typeId() == QMetaType::QVariantList && value.toList().size() != 1);
            if (isList) {
                const QVariantList list = value.toList();
                if (list.isEmpty())
                    out += "@Invalid()";
                for (qsizetype i = 0; i < list.size(); ++i) {
                    if (i > 0)
                        out += ", ";
                    escapeString(variantToString(list.at(i)), out);
                }
            } else if (value.typeId() == QMetaType::Int) {
                // Most of the file: position keys. Digits and a sign need no escaping.
                out += QByteArray::number(value.toInt());
            } else {
                escapeString(variantToString(value), out);
            }
            out += '\n';
        }
    }
    return out;
}

IniCodec::Map IniCodec::read(const QByteArray &bytes) {
    Map values;
    QString section;
    QByteArrayView body(bytes);
    if (body.startsWith("\xEF\xBB\xBF"))
        body = body.sliced(3);
    QByteArray pending; // a line continued with a final backslash
    qsizetype from = 0;
    while (from <= body.size()) {
        qsizetype end = body.indexOf('\n', from);
        if (end < 0)
            end = body.size();
        QByteArrayView line = body.sliced(from, end - from);
        from = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.endsWith('\\') && !line.endsWith("\\\\")) {
            pending.append(line.chopped(1));
            continue;
        }
        QByteArray joined;
        if (!pending.isEmpty()) {
            joined = pending;
            joined.append(line);
            pending.clear();
            line = joined;
        }
        const QByteArrayView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(';') || trimmed.startsWith('#'))
            continue;
        if (trimmed.startsWith('[')) {
            const qsizetype close = trimmed.indexOf(']');
            const QByteArrayView name =
                (close < 0 ? trimmed.sliced(1) : trimmed.sliced(1, close - 1)).trimmed();
            if (name.compare("general", Qt::CaseInsensitive) == 0)
                section.clear();
            else if (name.compare("%general", Qt::CaseInsensitive) == 0)
                section = QString::fromLatin1(name.sliced(1)) + QLatin1Char('/');
            else
                section = unescapeKey(name) + QLatin1Char('/');
            continue;
        }
        const qsizetype equals = trimmed.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = section + unescapeKey(trimmed.first(equals).trimmed());
        const QByteArrayView text = trimmed.sliced(equals + 1);
        // Most lines are a plain word or number: no escapes, quotes, lists or types.
        const QByteArrayView plain = text.trimmed();
        if (isPlainValue(plain) && plain.size() == text.size() - leadingBlanks(text))
            values.insert(values.cend(), key, QString::fromLatin1(plain));
        else
            values.insert(values.cend(), key, readValue(QString::fromUtf8(text)));
    }
    return values;
}
