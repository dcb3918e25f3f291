#pragma once

#include "model/ColorValue.h"
#include "model/SerializableColor.h"

#include <QString>
#include <QStringList>

// Conversions between stored and shown colours, and the copy-text templates.
ColorValue displayColor(const SerializableColor &color);
SerializableColor colorComponents(const ColorValue &color);
SerializableColor colorComponentsWithAlpha(const ColorValue &color);
QString hexText(const SerializableColor &color);
QString hexTextWithAlpha(const SerializableColor &color);
QString formatColor(const QString &format, const SerializableColor &color);

// The built-in copy templates, in picker order, and the label shown for a template.
const QStringList &formats();
QString formatLabel(const QString &format);
