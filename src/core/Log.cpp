#include "core/Log.h"

#include <algorithm>
#include <cstdio>

namespace {
bool needsEscape(char16_t u) {
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029 ||
           (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069) || u == 0x200E ||
           u == 0x200F || u == 0x061C;
}
} // namespace

namespace {

bool g_toStderr = false;

void writeLine(std::FILE *stream, const QString &line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
    // A reader that went away leaves the stream in error; later lines try again.
    std::clearerr(stream);
}

} // namespace

void logLine(const QString &line) {
    writeLine(g_toStderr ? stderr : stdout, line);
}

void setLogToStandardError(bool toStderr) {
    g_toStderr = toStderr;
}

void printLine(const QString &line) {
    writeLine(stdout, line);
}

QString printable(const QString &text, int maxChars) {
    const bool cut = text.size() > maxChars;
    const QStringView shown = cut ? QStringView(text).first(maxChars) : QStringView(text);
    if (!cut && std::none_of(shown.cbegin(), shown.cend(),
                             [](QChar c) { return needsEscape(c.unicode()); }))
        return text;
    QString out;
    out.reserve(shown.size() + 8);
    for (const QChar c : shown) {
        const char16_t u = c.unicode();
        if (!needsEscape(u))
            out += c;
        else if (u <= 0xFF)
            out += QStringLiteral("\\x%1").arg(uint(u), 2, 16, QLatin1Char('0'));
        else
            out += QStringLiteral("\\u%1").arg(uint(u), 4, 16, QLatin1Char('0'));
    }
    // A cut never splits a surrogate pair into a lone half.
    if (cut && !out.isEmpty() && out.back().isHighSurrogate())
        out.chop(1);
    if (cut)
        out += QChar(0x2026);
    return out;
}
