#pragma once

#include <QString>

// Writes one diagnostic line to standard output and flushes it at once, so lines are not
// lost in a buffer when stdout is a pipe or the process is killed. A write that fails (a
// closed pipe) is dropped.
void logLine(const QString &line);

// A name or other outside text as it may appear inside a log line: characters that would
// break the line or reorder it on screen (controls, line and paragraph separators, bidi
// controls) are shown as escapes, and a long text is cut with an ellipsis.
QString printable(const QString &text, int maxChars = 300);

// Sends the diagnostic lines to stderr instead (true) or back to stdout: a command whose
// stdout is data for a pipe keeps it clean of them.
void setLogToStandardError(bool toStderr);
// Writes one line to stdout whatever the setting above, flushed at once.
void printLine(const QString &line);
