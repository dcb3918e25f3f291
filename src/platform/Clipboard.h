#pragma once

#include <QString>

// Puts text on the clipboard as the one plain-text item it holds (and in the X11 selection
// where there is one).
void copyPlainText(const QString &text);
