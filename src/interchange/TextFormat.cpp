#include "interchange/TextFormat.h"

#include "interchange/ColorTextParser.h"
#include "interchange/PaletteFile.h"
#include "model/ColorText.h"

#include <QStringDecoder>

namespace {

// What separates a colour from its name besides spaces: "#FF7F00 - Orange", "Orange: #FF7F00".
QString withoutSeparators(QString text) {
    static const QString separators = QStringLiteral(" \t-:=,;|");
    while (!text.isEmpty() && separators.contains(text.front()))
        text.remove(0, 1);
    while (!text.isEmpty() && separators.contains(text.back()))
        text.chop(1);
    return text;
}

} // namespace

ReadResult TextFormat::read(QByteArrayView bytes, const QString &paletteName) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return ReadResult::failure(QStringLiteral("not valid UTF-8 text"));
    Palette palette;
    palette.palName = paletteName;
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // A whole line that is one colour ("255, 127, 0") is read as that, not as its parts.
        std::optional<ColorValue> whole = ColorTextParser::parse(line);
        QString name;
        if (!whole) {
            const QList<ColorTextParser::Found> found = ColorTextParser::findAll(line);
            if (found.isEmpty())
                continue;
            const ColorTextParser::Found &first = found.constFirst();
            whole = first.color;
            const QString before = withoutSeparators(line.first(first.position).toString());
            const QString after =
                withoutSeparators(line.sliced(first.position + first.text.size()).toString());
            name = before.isEmpty() || after.isEmpty() ? before + after
                                                       : before + QLatin1Char(' ') + after;
        }
        SerializableColor components = colorComponentsWithAlpha(*whole);
        if (components.alpha && *components.alpha == 1.0)
            components.alpha.reset();
        PaletteColor color;
        color.colColor = components;
        color.colName = name.isEmpty() ? PaletteFile::hexName(components) : name;
        palette.palColors.append(std::move(color));
    }
    if (palette.palColors.isEmpty())
        return ReadResult::failure(QStringLiteral("no colour found"));
    return {std::move(palette), {}};
}

QByteArray TextFormat::write(const Palette &palette) {
    QString text;
    for (const PaletteColor &color : palette.palColors) {
        const QString name = color.colName.toString().simplified();
        text += PaletteFile::hexName(color.colColor);
        if (!name.isEmpty())
            text += QLatin1Char(' ') + name;
        text += QLatin1Char('\n');
    }
    return text.toUtf8();
}
