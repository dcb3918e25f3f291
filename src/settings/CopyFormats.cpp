#include "settings/CopyFormats.h"

#include "model/ColorText.h"
#include "settings/Settings.h"

QStringList CopyFormats::userFormats() {
    return Settings::stringList(QLatin1String(SettingsKeys::userFormats));
}

void CopyFormats::setUserFormats(const QStringList &templates) {
    Settings::setStringList(QLatin1String(SettingsKeys::userFormats), templates);
}

QStringList CopyFormats::all() {
    return formats() + userFormats();
}

QString CopyFormats::at(int index) {
    const QStringList templates = all();
    return templates.at(clampedIndex(index, templates.size()));
}

int CopyFormats::clampedIndex(int index, qsizetype count) {
    return qBound(0, index, qMax(0, static_cast<int>(count) - 1));
}
