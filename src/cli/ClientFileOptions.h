#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

#include "cli/CommandLine.h"
#include "clientfiles/PatchTargets.h"
#include "mulfiles/Patcher.h"

namespace keelwright::cli {

// Adds --idx and --mul, the paths of the client's Multi.idx and Multi.mul.
void AddClientFileOptions(CommandLine& parser);
// Adds --record-size, the size of the records of Multi.mul.
void AddRecordSizeOption(CommandLine& parser);
// Adds --uop, the client's MultiCollection.uop, with the help text of the command.
void AddUopOption(CommandLine& parser, const std::string& help);

// Adds --wait, how long to wait for client files that another program is changing.
void AddWaitOption(CommandLine& parser);

// The two paths; throws UsageError when either option is missing or empty.
ClientFiles ClientFilesOf(const CommandLine& parser);

// The record size --record-size gives; nothing when it is not given. Throws UsageError for any value but
// 12 and 16, and when --record-size comes without the Multi.mul it is about.
std::optional<RecordSize> RecordSizeOf(const CommandLine& parser);

// The wait --wait gives, 10 seconds when it is not given. Throws UsageError for anything but whole
// seconds from 0 to 3600.
std::chrono::milliseconds WaitOf(const CommandLine& parser);

// The path --uop gives; nothing when it is not given. Throws UsageError when it is empty.
std::optional<std::filesystem::path> UopPathOf(const CommandLine& parser);
// The files the options name: Multi.idx and Multi.mul unless --uop comes alone, and MultiCollection.uop.
PatchTargets TargetsOf(const CommandLine& parser);

}  // namespace keelwright::cli
