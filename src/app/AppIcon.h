#pragma once

#include <QIcon>

// The program's icon for the tray and its windows: the "Icon" drawing with the smaller
// drawings beside it, so that panels of 16-24 px get a drawing made for their size. The
// pixels are those of the resources, decoded when the program was built.
QIcon appIcon();
