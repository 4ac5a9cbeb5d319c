#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/CommandLine.h"
#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/ScriptReaders.h"

namespace keelwright::cli {

// Adds --type, --design, --template, --components and --no-components, the options every command that
// loads a script takes, and the SCRIPT argument.
void AddScriptOptions(CommandLine& parser);

// The loaded multi of a command that takes a script, as the window's load command leaves it.
struct LoadedMulti {
    ComponentTable table;
    ComponentsList components;
};
// The Components.txt a command reads when none is named (DefaultComponentsPath beside the program).
std::filesystem::path DefaultComponentsFile(const Invocation& invocation);

// Reads the components list the options name and loads the script (the first positional argument). A file
// with several designs or templates and no choice fails with the list and the option that chooses.
LoadedMulti LoadScript(const CommandLine& parser);

// The type --type names; nothing when it is not given (the type then comes from the file).
std::optional<ScriptType> ScriptTypeOption(const CommandLine& parser);
// The design or template --design or --template chooses.
DesignChoice DesignChoiceOf(const CommandLine& parser);

// The path an option names; throws UsageError when the option is missing or empty.
std::filesystem::path RequiredPath(const CommandLine& parser, const std::string& option);

// The files LoadScript reads: the script, and the components list that --components names or, unless
// --no-components or --exact, Components.txt beside the program.
std::vector<std::filesystem::path> ScriptInputs(const CommandLine& parser);

// Throws UsageError when the output file is one of the inputs (WouldReplace): writing it would replace a
// file the command reads. `use` says how the command uses its inputs ("which the patch uses").
void RefuseOutputAmongInputs(const std::filesystem::path& output,
                             const std::vector<std::filesystem::path>& inputs, std::string_view use);

void Warn(std::string_view message);
// Prints "keelwright-cli: error: MESSAGE" on stderr and returns kFailure.
int Fail(std::string_view message);

}  // namespace keelwright::cli
