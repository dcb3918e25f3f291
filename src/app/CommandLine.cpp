#include "app/CommandLine.h"

#include <QCoreApplication>
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
                "runs) and add it to the \"Picked\" palette.")) {
    m_parser.setApplicationDescription(
        tr("Color palettes in the system tray: click a swatch to copy its color as text."));
    // Qt's own --help adds --help-all with toolkit options that mean nothing to users here.
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_pick);
}

QString CommandLine::usage() const {
    QString text = m_parser.helpText();
    // Without an application object the parser cannot know the program's name.
    text.replace(QStringLiteral("<executable_name>"), QStringLiteral("swatchbar"));
    return text;
}

std::optional<int> CommandLine::parse(const QStringList &arguments) {
    if (!m_parser.parse(arguments)) {
        write(stderr, QStringLiteral("swatchbar: %1\n\n%2").arg(m_parser.errorText(), usage()));
        return 2;
    }
    if (!m_parser.positionalArguments().isEmpty()) {
        write(
            stderr,
            QStringLiteral("swatchbar: %1\n\n%2")
                .arg(tr("Unexpected argument: %1").arg(m_parser.positionalArguments().constFirst()),
                     usage()));
        return 2;
    }
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
