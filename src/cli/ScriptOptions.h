#pragma once

// The script-writing options, shared by every command that writes the item scripts of the multi it loaded.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "cli/CliSupport.h"
#include "scripts/ItemScripts.h"

namespace keelwright::cli {

// What the script options ask for. The patch slot and the components list size come from the command.
struct ScriptRequest {
    ScriptFormat format = ScriptFormat::Ver51a;
    ScriptDetails details;
    std::optional<std::filesystem::path> outputPath;  // nothing for standard output
};

// Adds --format, --name, --buy, --sell, --scripts-only and -o/--output, the last with its own help text.
void AddScriptWritingOptions(
    CommandLine& parser,
    const std::string& outputHelp = "Writes the scripts to FILE instead of standard output.");

// Whether any script-writing option was given, for a command that writes scripts only when asked to.
bool ScriptWritingRequested(const CommandLine& parser);

// Reads the script-writing options. Throws UsageError for a missing or bad one: --format, --name, --buy and
// --sell are all needed, and like the window's Create Script button the three texts must not be blank. A
// format that names the multi by its slot (NeedsPatchSlot) is the command's to check against the slot.
ScriptRequest ReadScriptRequest(const CommandLine& parser);

// The script text of the requested format for the loaded multi in that slot. Throws Error as the builders do.
std::string BuildScripts(const ScriptRequest& request, const LoadedMulti& multi, std::int32_t patchSlot);

// Writes the text to standard output or, whole or not at all, to the output file. Throws Error on failure.
void WriteScripts(const ScriptRequest& request, std::string_view text, StandardOutput& out);

}  // namespace keelwright::cli
