#pragma once

#include <QStringList>

namespace keelwright::cli {

int RunShow(const QStringList& arguments);

}  // namespace keelwright::cli
