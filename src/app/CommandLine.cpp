#include "app/CommandLine.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

namespace {

QString tr(const char *text) {
    return QCoreApplication::translate("CommandLine", text);
}

void write(std::FILE *stream, const QString &text) {
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

} // namespace

CommandLine::CommandLine()
    : m_help({QStringLiteral("h"), QStringLiteral("help")}, tr("Show this help and exit."))
    , m_version({QStringLiteral("v"), QStringLiteral("version")}, tr("Show the version and exit."))
    , m_pick(QStringLiteral("pick"),
             tr("Pick a color on screen with the running Swatchbar (started first when none "
                "runs) and add it to the \"Picked\" palette."))
    , m_import(QStringLiteral("import"),
               tr("Import palette files (.gpl, .ase, .css, .txt, .json) given after the options "
                  "into the palettes folder."))
    , m_export(QStringLiteral("export"),
               tr("Write the palette <name> to the file given after the options, in the format "
                  "its extension names (.gpl, .ase, .css, .txt, .json)."),
               QStringLiteral("name"))
    , m_list(QStringLiteral("list"), tr("Print every palette's name, one per line."))
    , m_print(QStringLiteral("print"),
              tr("Print each color of the palette <name> as its text in the palette's copy "
                 "format, a tab and the color's name."),
              QStringLiteral("name")) {
    m_parser.setApplicationDescription(
        tr("Color palettes in the system tray: click a swatch to copy its color as text."));
    // Qt's own --help adds --help-all with toolkit options that mean nothing to users here.
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_pick);
    m_parser.addOption(m_import);
    m_parser.addOption(m_export);
    m_parser.addOption(m_list);
    m_parser.addOption(m_print);
    m_parser.addPositionalArgument(QStringLiteral("files"),
                                   tr("Files for --import, or the one file for --export."),
                                   QStringLiteral("[file...]"));
}

CommandLine::DataCommand CommandLine::dataCommand() const {
    if (m_parser.isSet(m_import))
        return DataCommand::Import;
    if (m_parser.isSet(m_export))
        return DataCommand::Export;
    if (m_parser.isSet(m_list))
        return DataCommand::List;
    if (m_parser.isSet(m_print))
        return DataCommand::Print;
    return DataCommand::None;
}

QString CommandLine::paletteName() const {
    if (m_parser.isSet(m_export))
        return m_parser.value(m_export);
    return m_parser.value(m_print);
}

QString CommandLine::usage() const {
    QString text = m_parser.helpText();
    // Without an application object the parser cannot know the program's name.
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("swatchbar"));
    return text;
}

std::optional<int> CommandLine::parse(int argc, const char *const *argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        // The program's own path is never used as a file name.
        if (i > 0 && QFile::encodeName(argument) != QByteArrayView(argv[i])) {
            write(stderr,
                  QStringLiteral("swatchbar: %1\n\n%2")
                      .arg(tr("\"%1\" is not valid text in the system's encoding.").arg(argument),
                           usage()));
            return 2;
        }
        arguments.append(argument);
    }
    return parse(arguments);
}

std::optional<int> CommandLine::parse(const QStringList &arguments) {
    if (!m_parser.parse(arguments)) {
        write(stderr, QStringLiteral("swatchbar: %1\n\n%2").arg(m_parser.errorText(), usage()));
        return 2;
    }
    const auto mistake = [&](const QString &what) {
        write(stderr, QStringLiteral("swatchbar: %1\n\n%2").arg(what, usage()));
        return 2;
    };
    int commands = m_parser.isSet(m_pick) ? 1 : 0;
    for (const QCommandLineOption *option : {&m_import, &m_export, &m_list, &m_print})
        commands += m_parser.isSet(*option) ? 1 : 0;
    if (commands > 1)
        return mistake(tr("Use only one of --pick, --import, --export, --list and --print."));
    const QStringList positional = m_parser.positionalArguments();
    const DataCommand command = dataCommand();
    if (command == DataCommand::Import && positional.isEmpty())
        return mistake(tr("--import needs at least one file."));
    if (command == DataCommand::Export && positional.size() != 1)
        return mistake(tr("--export needs a palette name and one file."));
    if (command != DataCommand::Import && command != DataCommand::Export && !positional.isEmpty())
        return mistake(tr("Unexpected argument: %1").arg(positional.constFirst()));
    if (m_parser.isSet(m_help)) {
        write(stdout, usage());
        return 0;
    }
    if (m_parser.isSet(m_version)) {
        write(stdout, QStringLiteral("swatchbar %1\n").arg(QStringLiteral(SWATCHBAR_VERSION)));
        return 0;
    }
    return std::nullopt;
}
