#pragma once

#include <QStringList>

namespace keelwright::cli {

int RunShow(const QStringList& arguments);
int RunScripts(const QStringList& arguments);

}  // namespace keelwright::cli
