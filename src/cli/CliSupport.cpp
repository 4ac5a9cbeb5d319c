#include "cli/CliSupport.h"

#include <iostream>
#include <utility>

#include "cli/ProgramArguments.h"
#include "model/DesignList.h"
#include "model/Error.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/OutputPaths.h"

namespace keelwright::cli {
namespace {

ComponentsList readComponents(const CommandLine& parser) {
    const bool explicitList = parser.isSet("--components");
    if (parser.isSet("--exact")) {
        if (explicitList || parser.isSet("--no-components")) {
            throw UsageError(
                "--exact applies no components list: --components and --no-components do not go with it");
        }
        return {};
    }
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
        return ReadComponentsList(DefaultComponentsFile(parser.invocation()));
    } catch (const Error& e) {
        Warn(std::string(e.description()) + "; using an empty components list");
        return {};
    }
}

}  // namespace

std::filesystem::path DefaultComponentsFile(const Invocation& invocation) {
    NativeFileSystem fileSystem;
    return DefaultComponentsPath(invocation.programFolder, [&fileSystem](const std::filesystem::path& path) {
        return fileSystem.exists(path);
    });
}

void AddScriptOptions(CommandLine& parser) {
    parser.addOption(
        "--type",
        "Reads SCRIPT as multi text (txt), a WSC export (wsc), a UO Architect design file (uoa), UO "
        "Architect's design library (uoalib: Designs.idx, Designs.bin beside it) or a CSV tile list (csv); "
        "by default from its extension (a file named Designs.idx is a library).",
        "txt|wsc|uoa|uoalib|csv");
    parser.addOption("--design",
                     "Loads this design of a UO Architect file or library: its name, or its position from 1.",
                     "NAME|N");
    parser.addOption("--template", "Loads the template of this id from multi text that holds several.", "ID");
    parser.addOption("--components",
                     "Marks the components this list names (default: Components.txt beside the program).",
                     "FILE");
    parser.addFlag("--no-components", "Uses an empty components list.");
    parser.addFlag(
        "--exact",
        "Loads the tiles exactly as the script gives them (multi text or CSV): not centred, each tile's "
        "flags from its file (up to 64 bits), no components list; a patch writes exactly those records.");
    parser.addPositional("SCRIPT", "The script to load (*.txt, *.wsc, *.uoa, *.csv or Designs.idx).");
}

LoadedMulti LoadScript(const CommandLine& parser) {
    LoadedMulti loaded;
    loaded.components = readComponents(parser);
    const std::filesystem::path script = PathOfArgument(parser.positionals().front());
    LoadOptions options;
    options.exact = parser.isSet("--exact");
    options.choice = DesignChoiceOf(parser);
    try {
        LoadMulti(
            script, ScriptTypeOption(parser), loaded.table, loaded.components,
            [](const ItemCount& found) {
                for (const std::string& warning : found.warnings) {
                    Warn(warning);
                }
            },
            options);
    } catch (const SeveralDesignsError& e) {
        const bool templates = e.designs().kind == DesignList::Kind::Templates;
        throw Error(e.number(), e.reason() + (templates ? "; choose one with --template ID"
                                                        : "; choose one with --design NAME|N"))
            .at(e.file());
    }
    return loaded;
}

std::optional<ScriptType> ScriptTypeOption(const CommandLine& parser) {
    if (!parser.isSet("--type")) {
        return std::nullopt;
    }
    const std::string type = parser.value("--type");
    if (const std::optional<ScriptType> named = ScriptTypeNamed(type)) {
        return named;
    }
    throw UsageError(std::string("--type takes ") + kScriptTypeNames + ", not " + QuoteInput(type));
}

DesignChoice DesignChoiceOf(const CommandLine& parser) {
    if (parser.isSet("--design") && parser.isSet("--template")) {
        throw UsageError("--design and --template exclude each other: a file holds designs or templates");
    }
    DesignChoice choice;
    if (parser.isSet("--design")) {
        choice.design = parser.value("--design");
    }
    if (parser.isSet("--template")) {
        choice.templateId = parser.value("--template");
    }
    return choice;
}

std::filesystem::path RequiredPath(const CommandLine& parser, const std::string& option) {
    const std::string value = parser.value(option);
    if (value.empty()) {
        throw UsageError(option + " is required");
    }
    return PathOfArgument(value);
}

std::vector<std::filesystem::path> ScriptInputs(const CommandLine& parser) {
    std::vector<std::filesystem::path> inputs = {PathOfArgument(parser.positionals().front())};
    if (parser.isSet("--components")) {
        inputs.push_back(PathOfArgument(parser.value("--components")));
    } else if (!parser.isSet("--no-components") && !parser.isSet("--exact")) {
        inputs.push_back(DefaultComponentsFile(parser.invocation()));
    }
    return inputs;
}

void RefuseOutputAmongInputs(const std::filesystem::path& output,
                             const std::vector<std::filesystem::path>& inputs, std::string_view use) {
    NativeFileSystem fileSystem;
    for (const std::filesystem::path& input : inputs) {
        if (WouldReplace(fileSystem, output, input)) {
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
