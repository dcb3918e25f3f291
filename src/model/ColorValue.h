#pragma once

#include <QList>
#include <QString>

// The colour as the UI shows and picks it: a plain list of components (red, green, blue and
// optionally alpha) kept as doubles, so a colour nobody touched is stored back bit for bit.
class ColorValue {
public:
    ColorValue() = default;
    explicit ColorValue(QList<double> components)
        : m_components(std::move(components)) {}
    static ColorValue fromSrgb(double red, double green, double blue, double alpha);

    const QList<double> &components() const { return m_components; }
    // Readable rendering for log lines, e.g. "sRGB 1 0.5 0 1".
    QString description() const;

    bool operator==(const ColorValue &) const = default;

private:
    QList<double> m_components;
};
