#pragma once

#include "model/Palette.h"

// One change the user makes to a palette's colours, bound to the colour it was made on rather
// than to a bare position: between the start of an edit and its "Ok", another window or
// another program may have moved, changed or removed colours.
struct ColorEdit {
    enum class Kind { Change, Add, Delete, Insert };

    Kind kind = Kind::Add;
    int index = -1;        // where the colour was when the edit began (Change, Delete)
    PaletteColor original; // the colour as it was then (Change, Delete)
    PaletteColor result;   // the colour as the user left it (Change, Add)
    // Further colours an Add appends after result in the same save; for a Delete (the undo of
    // such an Add), the colours right after original that go with it.
    QList<PaletteColor> more;

    static ColorEdit change(int index, PaletteColor original, PaletteColor result);
    static ColorEdit add(PaletteColor color);
    // Several colours added at once (a paste, a drop); colors must not be empty.
    static ColorEdit addAll(QList<PaletteColor> colors);
    static ColorEdit remove(int index, PaletteColor original);
    // Puts a colour back at index (or at the end when the palette got shorter): undoes a delete.
    static ColorEdit insert(int index, PaletteColor color);
    // The edit that takes this one back, for a palette in which this one was just made.
    ColorEdit inverse(int paletteSizeAfter) const;

    // Where the edited colour is in palette now: at its old index if it is still there
    // unchanged, otherwise the one equal colour elsewhere; -1 when it is gone or when several
    // equal colours leave it ambiguous. Always -1 for Add and Insert.
    int locate(const Palette &palette) const;
    // Applies the edit; false (palette untouched) when its colour can no longer be told.
    bool applyTo(Palette &palette) const;
};
