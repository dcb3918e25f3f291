#include "core/Log.h"

#include <cstdio>

namespace {

bool g_toStderr = false;

void writeLine(std::FILE *stream, const QString &line) {
    const QByteArray bytes = line.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
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
