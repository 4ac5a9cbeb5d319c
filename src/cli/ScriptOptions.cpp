#include "cli/ScriptOptions.h"

#include <algorithm>

#include "cli/ProgramArguments.h"
#include "cli/ScriptsFile.h"
#include "model/Error.h"

namespace keelwright::cli {
namespace {

// The text of a required option that the window's Create Script rule would accept: not spaces alone. It
// becomes the script's bytes as Latin-1, so any character beyond Latin-1 is refused rather than replaced.
std::string requiredText(const CommandLine& parser, const std::string& option) {
    if (!parser.isSet(option)) {
        throw UsageError(option + " is required");
    }
    const std::optional<std::u32string> text = DecodeUtf8(parser.value(option));
    if (!text) {
        throw UsageError(option + " is not UTF-8 text");
    }
    if (std::all_of(text->begin(), text->end(), [](char32_t c) { return c == U' '; })) {
        throw UsageError(option + " is blank");
    }
    std::string bytes;
    for (const char32_t c : *text) {
        if (c > 0xFF) {
            throw UsageError(option + " holds a character that is not Latin-1");
        }
        bytes.push_back(static_cast<char>(c));
    }
    return bytes;
}

ScriptFormat format(const CommandLine& parser) {
    if (!parser.isSet("--format")) {
        throw UsageError("--format is required");
    }
    const std::string name = parser.value("--format");
    const std::optional<ScriptFormat> format = ScriptFormatNamed(name);
    if (!format) {
        throw UsageError("--format takes 51a, 54 or x, not " + QuoteInput(name));
    }
    return *format;
}

}  // namespace

void AddScriptWritingOptions(CommandLine& parser, const std::string& outputHelp) {
    parser.addOption(
        "--format",
        "Writes the old format (51a), the new one (54) or MULTIDEF sections for Sphere 0.56d and "
        "X (x).",
        "51a|54|x");
    parser.addOption("--name", "The multi name, written as given.", "NAME");
    parser.addOption("--buy", "The price for which a vendor sells the deed.", "VALUE");
    parser.addOption("--sell", "The price a vendor pays for the deed (old format only).", "VALUE");
    parser.addFlag("--scripts-only", "Gives every tile a component line, not only the listed ones.");
    parser.addOption("-o,--output", outputHelp, "FILE");
}

bool ScriptWritingRequested(const CommandLine& parser) {
    for (const char* option : {"--format", "--name", "--buy", "--sell", "--scripts-only", "--output"}) {
        if (parser.isSet(option)) {
            return true;
        }
    }
    return false;
}

ScriptRequest ReadScriptRequest(const CommandLine& parser) {
    ScriptRequest request;
    request.format = format(parser);
    request.details.multiName = requiredText(parser, "--name");
    request.details.buyValue = requiredText(parser, "--buy");
    request.details.sellValue = requiredText(parser, "--sell");
    request.details.scriptsOnly = parser.isSet("--scripts-only");
    if (parser.isSet("--output")) {
        const std::string output = parser.value("--output");
        if (output.empty()) {
            throw UsageError("--output names no file");
        }
        request.outputPath = PathOfArgument(output);
    }
    return request;
}

std::string BuildScripts(const ScriptRequest& request, const LoadedMulti& multi, std::int32_t patchSlot) {
    ScriptDetails details = request.details;
    details.patchSlot = patchSlot;
    details.componentsListCount = multi.components.count();
    return CreateScript(request.format, details, multi.table);
}

void WriteScripts(const ScriptRequest& request, std::string_view text, StandardOutput& out) {
    if (request.outputPath) {
        ScriptsFile(*request.outputPath).commit(text);
        return;
    }
    out.write(text);
}

}  // namespace keelwright::cli
