#include "app/WindowIcon.h"

#include <QPixmap>

#include "app/KeelwrightIcon.xpm"

namespace keelwright {

QIcon KeelwrightIcon() { return QIcon(QPixmap(kKeelwrightIcon)); }

}  // namespace keelwright
