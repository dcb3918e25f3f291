#pragma once

#include <QString>
#include <QStringList>

// The templates of the "Copy format" picker: the six built-in ones in their order, then the
// user's own, kept in the settings file under their own key.
class CopyFormats {
public:
    CopyFormats() = delete;

    static QStringList userFormats();
    // Stored and written to disk at once.
    static void setUserFormats(const QStringList &templates);
    // Built-in templates first, then the user's.
    static QStringList all();
    // The template at a stored index; an index past the end (a removed template) gives the last
    // one, a negative one the first. The stored index itself is left alone.
    static QString at(int index);
    static int clampedIndex(int index, qsizetype count);
};
