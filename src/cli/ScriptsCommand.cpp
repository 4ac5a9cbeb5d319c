#include <algorithm>
#include <charconv>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ScriptOptions.h"
#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright::cli {
namespace {

// --slot: the Multi.idx slot (counted from 1) that the multi was patched into; 0, the default, is the
// window's state before any patch.
std::int32_t patchSlot(const CommandLine& parser) {
    if (!parser.isSet("--slot")) {
        return 0;
    }
    const std::string text = parser.value("--slot");
    // Digits alone: no sign, blank or fraction that a number parser would quietly accept.
    const bool digitsOnly =
        !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    std::int64_t slot = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), slot);
    if (!digitsOnly || ec != std::errc() || slot > kMaxPatchSlot) {
        throw UsageError("--slot takes a whole number from 0 to " + NumberText(kMaxPatchSlot) + ", not " +
                         QuoteInput(text));
    }
    return static_cast<std::int32_t>(slot);
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
    parser.addOption("--slot",
                     "The Multi.idx slot the multi was patched into (default 0: item number 3FFF); needed by "
                     "--format x.",
                     "N");
    parser.parse(1);
    const ScriptRequest request = ReadScriptRequest(parser);
    if (request.outputPath) {
        RefuseOutputAmongInputs(*request.outputPath, ScriptInputs(parser), "which the scripts are made from");
    }
    const std::int32_t slot = patchSlot(parser);
    if (NeedsPatchSlot(request.format) && slot == 0) {
        throw UsageError("--format " + parser.value("--format") +
                         " needs --slot N, the Multi.idx slot the multi was patched into (from 1)");
    }

    const LoadedMulti loaded = LoadScript(parser);
    WriteScripts(request, BuildScripts(request, loaded, slot), invocation.out);
    return kSuccess;
}

}  // namespace keelwright::cli
