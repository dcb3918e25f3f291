#pragma once

class PalettesOO;

// Opens a floating "Viewing: <name>" window for the palette at index of the collection.
void openPaletteWindow(PalettesOO *collection, int index);
