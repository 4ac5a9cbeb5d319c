#pragma once

#include <QStringList>

namespace keelwright::cli {

int RunShow(const QStringList& arguments);
int RunScripts(const QStringList& arguments);
int RunPatch(const QStringList& arguments);
int RunExtract(const QStringList& arguments);
int RunList(const QStringList& arguments);

}  // namespace keelwright::cli
