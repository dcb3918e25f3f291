#include "interchange/CssFormat.h"

#include "interchange/ColorTextParser.h"
#include "interchange/PaletteFile.h"
#include "model/ColorText.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>

namespace {

struct Range {
    qsizetype start;
    qsizetype end;
};

// Where the comments are, so colours inside them are not imported.
QList<Range> commentRanges(const QString &text) {
    QList<Range> ranges;
    qsizetype pos = 0;
    while ((pos = text.indexOf(QStringLiteral("/*"), pos)) >= 0) {
        qsizetype end = text.indexOf(QStringLiteral("*/"), pos + 2);
        end = end < 0 ? text.size() : end + 2;
        ranges.append({pos, end});
        pos = end;
    }
    return ranges;
}

bool insideAny(const QList<Range> &ranges, qsizetype pos) {
    for (const Range &range : ranges)
        if (pos >= range.start && pos < range.end)
            return true;
    return false;
}

bool isCssColorText(const QString &text) {
    return text.startsWith(QLatin1Char('#')) || text.startsWith(u"rgb", Qt::CaseInsensitive) ||
           text.startsWith(u"hsl", Qt::CaseInsensitive);
}

// The colour's name: a comment after it on its line, else the custom property it is the value
// of, else none.
QString nameAround(const QString &text, qsizetype start, qsizetype end) {
    qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), end);
    if (lineEnd < 0)
        lineEnd = text.size();
    static const QRegularExpression comment(QStringLiteral(R"(^[^/]*?/\*\s*(.*?)\s*\*/)"));
    const QRegularExpressionMatch named =
        comment.match(QStringView(text).sliced(end, lineEnd - end));
    if (named.hasMatch() && !named.captured(1).isEmpty())
        return named.captured(1);
    qsizetype declStart = start;
    while (declStart > 0 && !QStringLiteral(";{}\n").contains(text[declStart - 1]))
        --declStart;
    static const QRegularExpression property(QStringLiteral(R"(^\s*--([\w-]+)\s*:\s*$)"),
                                             QRegularExpression::UseUnicodePropertiesOption);
    const QRegularExpressionMatch custom =
        property.match(QStringView(text).sliced(declStart, start - declStart));
    return custom.hasMatch() ? custom.captured(1) : QString();
}

SerializableColor storedColor(const ColorValue &value) {
    SerializableColor color = colorComponentsWithAlpha(value);
    if (color.alpha && *color.alpha == 1.0)
        color.alpha.reset();
    return color;
}

} // namespace

ReadResult CssFormat::read(QByteArrayView bytes, const QString &paletteName) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return ReadResult::failure(QStringLiteral("not valid UTF-8 text"));
    const QList<Range> comments = commentRanges(text);
    Palette palette;
    palette.palName = paletteName;
    for (const ColorTextParser::Found &found : ColorTextParser::findAll(text)) {
        if (!isCssColorText(found.text) || insideAny(comments, found.position))
            continue;
        PaletteColor color;
        color.colColor = storedColor(found.color);
        color.colName = nameAround(text, found.position, found.position + found.text.size());
        if (color.colName.isEmpty())
            color.colName = PaletteFile::hexName(color.colColor);
        palette.palColors.append(std::move(color));
    }
    if (palette.palColors.isEmpty())
        return ReadResult::failure(QStringLiteral("no hex, rgb() or hsl() colour found"));
    return {std::move(palette), {}};
}

QString CssFormat::slug(const QString &name) {
    QString out;
    for (const QChar c : name) {
        if (c.isLetterOrNumber())
            out += c.toLower();
        else if (!out.isEmpty() && !out.endsWith(QLatin1Char('-')))
            out += QLatin1Char('-');
    }
    while (out.endsWith(QLatin1Char('-')))
        out.chop(1);
    return out.isEmpty() ? QStringLiteral("color") : out;
}

QByteArray CssFormat::write(const Palette &palette) {
    QString comment = palette.palName;
    comment.replace(QStringLiteral("*/"), QStringLiteral("* /"));
    QString text = QStringLiteral("/* %1 */\n:root {\n").arg(comment.simplified());
    QSet<QString> used;
    for (const PaletteColor &color : palette.palColors) {
        QString property = slug(color.colName);
        for (int n = 2; used.contains(property); ++n)
            property = slug(color.colName) + QLatin1Char('-') + QString::number(n);
        used.insert(property);
        QString name = color.colName.toString().simplified();
        name.replace(QStringLiteral("*/"), QStringLiteral("* /"));
        text += QStringLiteral("  --%1: %2; /* %3 */\n")
                    .arg(property, PaletteFile::hexName(color.colColor), name);
    }
    text += QStringLiteral("}\n");
    return text.toUtf8();
}
