#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdio>
#include <unistd.h>

// Runs a piece of code with stdout sent to a temporary file and returns the lines it printed.
template <typename Fn> QStringList capturedLines(Fn &&fn) {
    std::fflush(stdout);
    const int saved = ::dup(STDOUT_FILENO);
    FILE *sink = std::tmpfile();
    ::dup2(::fileno(sink), STDOUT_FILENO);
    fn();
    std::fflush(stdout);
    ::dup2(saved, STDOUT_FILENO);
    ::close(saved);
    QByteArray bytes;
    std::rewind(sink);
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, sink)) > 0)
        bytes.append(chunk, static_cast<qsizetype>(n));
    std::fclose(sink);
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
