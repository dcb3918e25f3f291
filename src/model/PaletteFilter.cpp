#include "model/PaletteFilter.h"

#include "model/ColorText.h"

#include <QRegularExpression>
#include <algorithm>
#include <cmath>

namespace {
bool isHexDigit(QChar c) {
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

// The 0-255 value the copy formats write, or -1 outside that range.
int byteValue(double component) {
    const double value = std::trunc(component * 255.0);
    return value >= 0 && value <= 255 ? static_cast<int>(value) : -1;
}
} // namespace

PaletteFilter::PaletteFilter(const QString &text)
    : m_text(text.trimmed()) {
    QString hex = m_text.toLower();
    if (hex.startsWith(QLatin1Char('#'))) {
        hex.remove(0, 1);
        m_hexFromStart = true;
    }
    if (!hex.isEmpty() && std::all_of(hex.cbegin(), hex.cend(), isHexDigit))
        m_hex = hex;
    static const QRegularExpression numberList(QStringLiteral("^\\d+(?:[\\s,]+\\d+)*[\\s,]*$"));
    if (!m_hexFromStart && numberList.match(m_text).hasMatch()) {
        static const QRegularExpression separators(QStringLiteral("[\\s,]+"));
        QStringList parts = m_text.split(separators, Qt::SkipEmptyParts);
        m_numbers = parts.join(QStringLiteral(", "));
        // "255, " asks for the next component too.
        if (m_text.back() == QLatin1Char(',') || m_text.back().isSpace())
            m_numbers += QStringLiteral(", ");
    }
}

bool PaletteFilter::matches(const PaletteColor &color) const {
    if (isEmpty())
        return true;
    if (color.colName.toString().contains(m_text, Qt::CaseInsensitive))
        return true;
    const SerializableColor &c = color.colColor;
    if (!m_hex.isEmpty()) {
        const QString hex = hexTextWithAlpha(c).toLower();
        if (m_hexFromStart ? hex.startsWith(m_hex) : hex.contains(m_hex))
            return true;
    }
    if (!m_numbers.isEmpty()) {
        const int r = byteValue(c.red), g = byteValue(c.green), b = byteValue(c.blue);
        if (r >= 0 && g >= 0 && b >= 0) {
            QString text = QStringLiteral("%1, %2, %3").arg(r).arg(g).arg(b);
            if (c.alpha) {
                const int a = byteValue(*c.alpha);
                if (a >= 0)
                    text += QStringLiteral(", ") + QString::number(a);
            }
            // Whole numbers from the start of one: "55, 12" does not match "255, 127".
            const QString padded = QStringLiteral(", ") + text;
            if (padded.contains(QStringLiteral(", ") + m_numbers))
                return true;
        }
    }
    return false;
}

bool PaletteFilter::matches(const Palette &palette) const {
    if (isEmpty() || palette.palName.contains(m_text, Qt::CaseInsensitive))
        return true;
    for (const PaletteColor &color : palette.palColors) {
        if (matches(color))
            return true;
    }
    return false;
}
