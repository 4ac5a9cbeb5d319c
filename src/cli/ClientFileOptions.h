#pragma once

#include "cli/CommandLine.h"
#include "mulfiles/Patcher.h"

namespace keelwright::cli {

// Adds --idx and --mul, the paths of the client's Multi.idx and Multi.mul.
void AddClientFileOptions(CommandLine& parser);

// The two paths; throws UsageError when either option is missing or empty.
ClientFiles ClientFilesOf(const CommandLine& parser);

}  // namespace keelwright::cli
