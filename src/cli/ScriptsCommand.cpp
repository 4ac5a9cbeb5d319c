#include <optional>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ScriptOptions.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/Extractor.h"

namespace keelwright::cli {
namespace {

// The Multi.idx slot (counted from 1) that the multi was patched into: --slot N, or --multi M for slot M + 1,
// each decimal or 0x hex as every command reads multi numbers; 0, the default, is the window's state before
// any patch.
std::int32_t patchSlot(const CommandLine& parser) {
    if (parser.isSet("--slot") && parser.isSet("--multi")) {
        throw UsageError("--slot and --multi exclude each other: --multi M is --slot M+1");
    }
    if (parser.isSet("--multi")) {
        const std::optional<std::int32_t> multi =
            ParseMultiNumber(parser.value("--multi"), kMaxPatchSlot - 1);
        if (!multi) {
            throw UsageError("--multi needs a multi number");
        }
        return *multi + 1;
    }
    if (!parser.isSet("--slot")) {
        return 0;
    }
    const std::string text = parser.value("--slot");
    std::optional<std::int32_t> slot;
    try {
        slot = ParseMultiNumber(text, kMaxPatchSlot);
    } catch (const Error&) {
        // A slot is no multi number: the refusal names the option instead.
    }
    if (!slot) {
        throw UsageError("--slot takes a whole number from 0 to " + NumberText(kMaxPatchSlot) + ", not " +
                         QuoteInput(text));
    }
    return *slot;
}

}  // namespace

int RunScripts(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Loads a script as the window's load command does and writes the Sphere item scripts for "
        "the multi and its deed, as the window's Create Script command shows them (CR LF line "
        "ends).");
    AddScriptOptions(parser);
    AddScriptWritingOptions(parser);
    parser.addOption(
        "--slot",
        "The Multi.idx slot the multi was patched into, decimal or 0x hex (default 0: item number "
        "3FFF); --format x needs it or --multi.",
        "N");
    parser.addOption("--multi", "The multi number the multi was patched at, decimal or 0x hex (slot M + 1).",
                     "M");
    parser.parse(1);
    const ScriptRequest request = ReadScriptRequest(parser);
    if (request.outputPath) {
        RefuseOutputAmongInputs(*request.outputPath, ScriptInputs(parser), "which the scripts are made from");
    }
    const std::int32_t slot = patchSlot(parser);
    if (NeedsPatchSlot(request.format) && slot == 0) {
        throw UsageError(
            "--format " + parser.value("--format") +
            " needs --slot N, the Multi.idx slot the multi was patched into (from 1), or --multi M, "
            "its multi number");
    }

    const LoadedMulti loaded = LoadScript(parser);
    WriteScripts(request, BuildScripts(request, loaded, slot), invocation.out);
    return kSuccess;
}

}  // namespace keelwright::cli
