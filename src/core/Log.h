#pragma once

#include <QString>

// Writes one diagnostic line to standard output and flushes it at once, so lines are not
// lost in a buffer when stdout is a pipe or the process is killed.
void logLine(const QString &line);
