#include "widgets/icons.h"

#include <QApplication>

namespace nuvo::widgets {

QIcon themedIcon(const char* themeName, QStyle::StandardPixmap fallback) {
  return QIcon::fromTheme(QString::fromLatin1(themeName), QApplication::style()->standardIcon(fallback));
}

}  // namespace nuvo::widgets
