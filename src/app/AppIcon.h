#pragma once

#include <QIcon>

// The program's icon for the tray and its windows: the "Icon" resource with the smaller
// drawings beside it, so that panels of 16-24 px get a drawing made for their size.
QIcon appIcon();
