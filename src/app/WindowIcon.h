#pragma once

#include <QIcon>

namespace keelwright {

// Keelwright's own window icon: a wooden house on a keel, 32 by 32 pixels in 16 colours.
QIcon KeelwrightIcon();

}  // namespace keelwright
