#pragma once

#include <QIcon>
#include <QImage>

// The program's icon, drawn in code so that the window icon and the icon
// files for the desktop come from one picture: a sheet of pipe-separated
// rows with a blue water drop.
QImage AppIconImage(int size);
// All the sizes the window system may ask for; needs the application object.
QIcon AppIcon();
