#pragma once

#include <QString>

// Writes one diagnostic line to standard output and flushes it at once, so lines are not
// lost in a buffer when stdout is a pipe or the process is killed.
void logLine(const QString &line);

// Sends the diagnostic lines to stderr instead (true) or back to stdout: a command whose
// stdout is data for a pipe keeps it clean of them.
void setLogToStandardError(bool toStderr);
// Writes one line to stdout whatever the setting above, flushed at once.
void printLine(const QString &line);
