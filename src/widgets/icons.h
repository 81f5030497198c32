#pragma once
// Icons of buttons: the desktop theme's icon of a name, else the style's standard icon, so every
// button shows a picture also where no theme is installed. No image files of our own.

#include <QIcon>
#include <QStyle>

namespace nuvo::widgets {

QIcon themedIcon(const char* themeName, QStyle::StandardPixmap fallback);

}  // namespace nuvo::widgets
