#include "interchange/GplFormat.h"

#include "interchange/PaletteFile.h"

#include <QStringDecoder>
#include <algorithm>
#include <cmath>

namespace {

QString lineError(qsizetype line, const QString &what) {
    return QStringLiteral("line %1: %2").arg(line).arg(what);
}

bool isBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// The next run of non-blank characters from pos on; pos moves past it.
QStringView nextField(QStringView line, qsizetype &pos) {
    while (pos < line.size() && isBlank(line[pos]))
        ++pos;
    const qsizetype start = pos;
    while (pos < line.size() && !isBlank(line[pos]))
        ++pos;
    return line.sliced(start, pos - start);
}

// Byte value of a stored component as the copy texts show it (truncated), kept to 0..255.
int byteValue(double component) {
    const double value = std::trunc(component * 255.0);
    if (!(value > 0))
        return 0;
    return value >= 255.0 ? 255 : static_cast<int>(value);
}

// A name goes on one line: line breaks and other control characters become spaces.
QString oneLine(const QString &text) {
    QString out = text;
    for (QChar &c : out)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char(' ');
    return out.trimmed();
}

} // namespace

ReadResult GplFormat::read(QByteArrayView bytes, const QString &fallbackName) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return ReadResult::failure(QStringLiteral("not valid UTF-8 text"));

    const QList<QStringView> lines = QStringView(text).split(QLatin1Char('\n'));
    const auto lineAt = [&](qsizetype i) {
        QStringView line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        return line;
    };
    if (lineAt(0).trimmed() != u"GIMP Palette")
        return ReadResult::failure(QStringLiteral("not a GIMP palette (the first line is not "
                                                  "\"GIMP Palette\")"));
    Palette palette;
    bool inHeader = true;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QStringView line = lineAt(i);
        const QStringView trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (inHeader && trimmed.startsWith(u"Name:")) {
            palette.palName = trimmed.sliced(5).trimmed().toString();
            continue;
        }
        if (inHeader && trimmed.startsWith(u"Columns:"))
            continue;
        inHeader = false;

        qsizetype pos = 0;
        double components[3];
        for (double &component : components) {
            const QStringView field = nextField(line, pos);
            bool ok = false;
            const int value = field.toInt(&ok);
            if (!ok)
                return ReadResult::failure(lineError(
                    i + 1, field.isEmpty() ? QStringLiteral("a colour needs three numbers")
                                           : QStringLiteral("\"%1\" is not a whole number")
                                                 .arg(field.left(40).toString())));
            // GIMP itself clamps values outside 0-255.
            component = std::clamp(value, 0, 255) / 255.0;
        }
        PaletteColor color;
        color.colColor = {components[0], components[1], components[2], std::nullopt};
        color.colName = line.sliced(pos).trimmed().toString();
        if (color.colName.isEmpty())
            color.colName = PaletteFile::hexName(color.colColor);
        palette.palColors.append(std::move(color));
    }
    if (palette.palName.isEmpty())
        palette.palName = fallbackName;
    return {std::move(palette), {}};
}

QByteArray GplFormat::write(const Palette &palette) {
    QString text = QStringLiteral("GIMP Palette\nName: %1\n#\n").arg(oneLine(palette.palName));
    for (const PaletteColor &color : palette.palColors) {
        const SerializableColor &c = color.colColor;
        text += QStringLiteral("%1 %2 %3\t%4\n")
                    .arg(byteValue(c.red), 3)
                    .arg(byteValue(c.green), 3)
                    .arg(byteValue(c.blue), 3)
                    .arg(oneLine(color.colName));
    }
    return text.toUtf8();
}
