#pragma once

class CommandLine;

// --import, --export, --list and --print: they work on the palettes folder without a display
// and end the process. Exit status 0 on success, 1 when any file or palette failed.
class DataCommands {
public:
    DataCommands() = delete;

    // Needs a QCoreApplication with the program's names set.
    static int run(const CommandLine &commandLine);
};
