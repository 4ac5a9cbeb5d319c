#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/StandardOutput.h"

namespace keelwright::cli {

enum ExitCode : int {
    kSuccess = 0,
    kFailure = 1,
    kUsage = 2,
    kIndexUnusable = 3,
};

// What main hands a command.
struct Invocation {
    std::string command;                  // "keelwright-cli NAME", as usage lines name the command
    std::vector<std::string> arguments;   // the arguments after the command's name, as UTF-8
    std::filesystem::path programFolder;  // where Components.txt lies by default
    StandardOutput& out;
    // SOURCE_DATE_EPOCH as main read it, once: the time stamp of new UOP entries (NewEntryFileTime).
    std::optional<std::string> sourceDateEpoch = std::nullopt;
};

// One command each: it parses its own options and returns the exit status. Failures are thrown: UsageError
// for the command line, Error for the work.
int RunShow(const Invocation& invocation);
int RunScripts(const Invocation& invocation);
int RunPatch(const Invocation& invocation);
int RunExtract(const Invocation& invocation);
int RunList(const Invocation& invocation);
int RunCheck(const Invocation& invocation);
int RunPreview(const Invocation& invocation);
int RunRemove(const Invocation& invocation);
int RunApply(const Invocation& invocation);

}  // namespace keelwright::cli
