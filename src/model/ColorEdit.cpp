#include "model/ColorEdit.h"

ColorEdit ColorEdit::change(int index, PaletteColor original, PaletteColor result) {
    return ColorEdit{Kind::Change, index, std::move(original), std::move(result), {}};
}

ColorEdit ColorEdit::add(PaletteColor color) {
    return ColorEdit{Kind::Add, -1, {}, std::move(color), {}};
}

ColorEdit ColorEdit::addAll(QList<PaletteColor> colors) {
    ColorEdit edit = add(colors.isEmpty() ? PaletteColor{} : colors.takeFirst());
    edit.more = std::move(colors);
    return edit;
}

ColorEdit ColorEdit::remove(int index, PaletteColor original) {
    return ColorEdit{Kind::Delete, index, std::move(original), {}, {}};
}

ColorEdit ColorEdit::insert(int index, PaletteColor color) {
    return ColorEdit{Kind::Insert, index, {}, std::move(color), {}};
}

ColorEdit ColorEdit::inverse(int paletteSizeAfter) const {
    switch (kind) {
    case Kind::Change:
        return change(index, result, original);
    case Kind::Add: {
        // Several colours added at once go in one step: a Delete of the first and those after.
        ColorEdit back = remove(paletteSizeAfter - 1 - int(more.size()), result);
        back.more = more;
        return back;
    }
    case Kind::Delete:
        return insert(index, original);
    case Kind::Insert:
        return remove(qMin(index, paletteSizeAfter - 1), result);
    }
    return *this;
}

int ColorEdit::locate(const Palette &palette) const {
    if (kind == Kind::Add || kind == Kind::Insert)
        return -1;
    const QList<PaletteColor> &colors = palette.palColors;
    if (index >= 0 && index < colors.size() && colors.at(index) == original)
        return index;
    int found = -1;
    for (int i = 0; i < colors.size(); ++i) {
        if (colors.at(i) == original) {
            if (found >= 0)
                return -1;
            found = i;
        }
    }
    return found;
}

bool ColorEdit::applyTo(Palette &palette) const {
    if (kind == Kind::Add) {
        palette.palColors.append(result);
        palette.palColors.append(more);
        return true;
    }
    if (kind == Kind::Insert) {
        palette.palColors.insert(qBound(0, index, int(palette.palColors.size())), result);
        return true;
    }
    const int at = locate(palette);
    if (at < 0)
        return false;
    if (kind == Kind::Change) {
        palette.palColors[at] = result;
        return true;
    }
    // A Delete with more removes them too, only while they still follow the first unchanged.
    if (palette.palColors.mid(at + 1, more.size()) != more)
        return false;
    palette.palColors.remove(at, 1 + more.size());
    return true;
}
