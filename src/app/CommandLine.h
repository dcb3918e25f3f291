#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <optional>

// The program's command line. Runs before the application object exists, so --help, --version
// and a wrong option answer without a display. Further options are added to parser() before
// parse(); what they do is up to whoever added them.
class CommandLine {
public:
    CommandLine();

    QCommandLineParser &parser() { return m_parser; }

    // Reads the arguments (the program's path first). Handles --help, --version and mistakes:
    // returns the exit status when the program should end now (0 after help or version on
    // stdout, 2 after a message and the usage on stderr), nullopt to go on.
    std::optional<int> parse(const QStringList &arguments);
    // The same from main()'s arguments, refusing one that is not valid text: a file name in
    // another encoding would name a different file once converted back.
    std::optional<int> parse(int argc, const char *const *argv);

    bool pickRequested() const { return m_parser.isSet(m_pick); }

    // The commands that work on the palettes folder without a display.
    enum class DataCommand { None, Import, Export, List, Print };
    DataCommand dataCommand() const;
    // --import: the files; --export: the target file.
    QStringList files() const { return m_parser.positionalArguments(); }
    // --export and --print: the palette's name.
    QString paletteName() const;

    QString usage() const;

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QCommandLineOption m_pick;
    QCommandLineOption m_import;
    QCommandLineOption m_export;
    QCommandLineOption m_list;
    QCommandLineOption m_print;
};
