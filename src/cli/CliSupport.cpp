#include "cli/CliSupport.h"

#include <iostream>
#include <system_error>

#include "cli/ProgramArguments.h"
#include "model/Error.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"

namespace keelwright::cli {
namespace {

ComponentsList readComponents(const CommandLine& parser) {
    const bool explicitList = parser.isSet("--components");
    if (explicitList && parser.isSet("--no-components")) {
        throw UsageError("--components and --no-components exclude each other");
    }
    if (explicitList) {
        return ReadComponentsList(PathOfArgument(parser.value("--components")));
    }
    if (parser.isSet("--no-components")) {
        return {};
    }
    try {
        return ReadComponentsList(parser.invocation().programFolder / "Components.txt");
    } catch (const Error& e) {
        Warn(std::string(e.description()) + "; using an empty components list");
        return {};
    }
}

ScriptType scriptType(const CommandLine& parser, const std::filesystem::path& script) {
    if (!parser.isSet("--type")) {
        return ScriptTypeOf(script);
    }
    const std::string type = parser.value("--type");
    if (type == "txt") {
        return ScriptType::MultiTxt;
    }
    if (type == "wsc") {
        return ScriptType::Wsc;
    }
    throw UsageError("--type takes txt or wsc, not " + QuoteInput(type));
}

// The path with links and dot steps resolved as far as it exists; the plain absolute form if that fails.
std::filesystem::path resolved(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    if (error) {
        canonical = std::filesystem::absolute(path, error).lexically_normal();
    }
    return canonical;
}

bool sameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return resolved(a) == resolved(b) || std::filesystem::equivalent(a, b, error);
}

}  // namespace

void AddScriptOptions(CommandLine& parser) {
    parser.addOption("--type",
                     "Reads SCRIPT as multi text (txt) or a WSC export (wsc); by default from its extension.",
                     "txt|wsc");
    parser.addOption("--components",
                     "Marks the components this list names (default: Components.txt beside the program).",
                     "FILE");
    parser.addFlag("--no-components", "Uses an empty components list.");
    parser.addPositional("SCRIPT", "The multi text (*.txt) or WSC export (*.wsc) to load.");
}

LoadedMulti LoadScript(const CommandLine& parser) {
    LoadedMulti loaded;
    loaded.components = readComponents(parser);
    const std::filesystem::path script = PathOfArgument(parser.positionals().front());
    LoadMulti(script, scriptType(parser, script), loaded.table, loaded.components);
    return loaded;
}

std::filesystem::path RequiredPath(const CommandLine& parser, const std::string& option) {
    const std::string value = parser.value(option);
    if (value.empty()) {
        throw UsageError(option + " is required");
    }
    return PathOfArgument(value);
}

void RefuseOutputAmongInputs(const std::filesystem::path& output,
                             std::initializer_list<std::filesystem::path> inputs, std::string_view use) {
    for (const std::filesystem::path& input : inputs) {
        if (sameFile(output, input)) {
            throw UsageError("-o names " + PathText(input) + ", " + std::string(use));
        }
    }
}

void Warn(std::string_view message) {
    std::cerr << "keelwright-cli: warning: " << message << '\n';
}

int Fail(std::string_view message) {
    std::cerr << "keelwright-cli: error: " << message << '\n';
    return kFailure;
}

}  // namespace keelwright::cli
