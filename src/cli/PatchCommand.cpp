#include <chrono>
#include <limits>
#include <optional>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/ProgramArguments.h"
#include "cli/ScriptOptions.h"
#include "cli/ScriptsFile.h"
#include "clientfiles/ClientFileLocks.h"
#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/PatchedMultiSearch.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"
#include "mulfiles/SphereReading.h"

namespace keelwright::cli {
namespace {

void writeText(const EveryFilePatchResult& result, std::int32_t components, StandardOutput& out) {
    if (result.replaced.any()) {
        out.write("Replaced " + MultiText(result.multi) + ": " + result.replaced.describe() + "\n");
    }
    const std::string patched = "Patched " + NumberText(components) + " components into ";
    if (const auto& mul = result.mul) {
        out.write(patched + "slot " + NumberText(mul->slot) + " (multi " + NumberText(result.multi) +
                  ", item " + ItemHexOfSlot(mul->slot) + "): offset " + NumberText(mul->offset) +
                  ", length " + NumberText(mul->length) + ", first free record " +
                  NumberText(mul->firstFreeRecord) + "\n");
    }
    if (const auto& uop = result.uop) {
        out.write(patched + "MultiCollection.uop as multi " + NumberText(result.multi) + " (" + uop->name +
                  ", item " + ItemHexOfSlot(SlotOfMultiNumber(result.multi)) + "): stored length " +
                  NumberText(uop->storedLength) + ", length " + NumberText(uop->length) + "\n");
    }
}

// Keys in the order people read them.
void writeJson(const EveryFilePatchResult& result, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    if (const auto& mul = result.mul) {
        json.key("slot").number(mul->slot);
    }
    json.key("multi").number(result.multi);
    json.key("item").utf8(ItemHexOfSlot(SlotOfMultiNumber(result.multi)));
    if (const auto& mul = result.mul) {
        json.key("offset").number(mul->offset);
        json.key("length").number(mul->length);
        json.key("firstFreeRecord").number(mul->firstFreeRecord);
        json.key("recordSize").number(static_cast<std::int64_t>(BytesOf(mul->recordSize.size)));
    }
    if (result.replaced.any()) {
        json.key("replaced").beginObject();
        for (const auto& [key, held] :
             {std::pair("mul", &result.replaced.mul), std::pair("uop", &result.replaced.uop)}) {
            if (*held) {
                json.key(key);
                if ((*held)->tiles) {
                    json.number(*(*held)->tiles);
                } else {
                    json.null();
                }
            }
        }
        json.endObject();
    }
    if (const auto& uop = result.uop) {
        json.key("uop").beginObject();
        json.key("multi").number(uop->multi);
        json.key("name").utf8(uop->name);
        json.key("storedLength").number(uop->storedLength);
        json.key("length").number(uop->length);
        json.endObject();
    }
    json.endObject();
    out.put('\n');
}

// The script options of a patch that also writes the item scripts. Standard output carries the patch result,
// so the scripts need a file of their own, and that file must not be one the patch reads or writes: the
// scripts would replace it whole.
std::optional<ScriptRequest> scriptRequest(const CommandLine& parser, const PatchTargets& targets) {
    if (!ScriptWritingRequested(parser)) {
        return std::nullopt;
    }
    ScriptRequest request = ReadScriptRequest(parser);
    if (!request.outputPath) {
        throw UsageError("the script options need -o FILE: standard output carries the patch result");
    }
    const std::string use = "which the patch uses";
    RefuseOutputAmongInputs(*request.outputPath, ScriptInputs(parser), use);
    if (targets.mul) {
        RefuseOutputAmongInputs(*request.outputPath, {targets.mul->multiIdx, targets.mul->multiMul}, use);
    }
    if (targets.uop) {
        RefuseOutputAmongInputs(*request.outputPath, {*targets.uop}, use);
    }
    return request;
}

// The multi number under which the files already hold the multi, as the window asks about; nothing when
// they do not, or when the search meets a fault, which the patch then reports.
std::optional<std::int32_t> alreadyPatched(FileSystem& fileSystem, const ComponentTable& table,
                                           const PatchTargets& targets,
                                           std::optional<RecordSize> recordSize) {
    try {
        return FindPatchedMulti(fileSystem, table, targets, recordSize);
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace

int RunPatch(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Loads a script as show does and patches it under one multi number into Multi.idx and Multi.mul, "
        "MultiCollection.uop or all three: the block goes to the end of Multi.mul and the first free slot "
        "of Multi.idx (or slot M + 1 with --multi M) points at it; the UOP gets an entry for the multi. "
        "Every "
        "file is left unchanged on failure. With the script options it then writes the item scripts for the "
        "slot it patched, as the "
        "scripts command does, to the file -o names; a bad script option, an output file that cannot be "
        "created or a slot the format cannot name stops it before anything is patched.");
    AddScriptOptions(parser);
    AddClientFileOptions(parser);
    AddRecordSizeOption(parser);
    AddWaitOption(parser);
    AddUopOption(parser,
                 "Patches the client's MultiCollection.uop too (or alone, without --idx and --mul), "
                 "under the same multi number.");
    parser.addOption(
        "--multi",
        "Patches at multi M (slot M + 1; decimal or 0x hex) in every file given instead of the first "
        "free number; a file that holds M already stops the patch unless --replace is given.",
        "M");
    parser.addFlag("--replace", "With --multi: the new multi takes the place of what the files hold at M.");
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    AddScriptWritingOptions(parser, "Writes the scripts to FILE; needed with the other script options.");
    parser.parse(1);
    const PatchTargets targets = TargetsOf(parser);
    PatchOptions options;
    options.recordSize = RecordSizeOf(parser);
    options.exact = parser.isSet("--exact");
    options.replace = parser.isSet("--replace");
    if (parser.isSet("--multi")) {
        options.multi =
            ParseMultiNumber(parser.value("--multi"),
                             targets.mul ? std::numeric_limits<std::int32_t>::max() - 1 : kHighestUopMulti);
        if (!options.multi) {
            throw UsageError("--multi needs a multi number");
        }
    } else if (options.replace) {
        throw UsageError("--replace needs --multi: the number whose multi it replaces");
    }
    const std::chrono::milliseconds wait = WaitOf(parser);
    const std::optional<ScriptRequest> request = scriptRequest(parser, targets);

    const LoadedMulti loaded = LoadScript(parser);
    std::optional<ScriptsFile> scriptsFile;
    if (request) {
        scriptsFile.emplace(*request->outputPath);
    }
    NativeFileSystem fileSystem;
    // No other program writes the files, nor reads them, from before the searches to the last flush.
    std::optional<ClientFileLocks> locks(std::in_place, fileSystem, targets.mul, targets.uop,
                                         LockKind::Exclusive, wait);
    // A patch at the first free number warns when the same tiles already stand at a number of the files.
    std::int32_t already = -1;
    if (!options.multi && !options.exact) {
        already = alreadyPatched(fileSystem, loaded.table, targets, options.recordSize).value_or(-1);
    }
    // A trial build for the slot the patch is about to fill: the builders refuse texts the options could not
    // (a line break, a component they cannot number) and a slot the format cannot name (a multi number
    // Sphere cannot use), and that must stop the command while the client files are still untouched.
    options.beforeWriting = [&](std::int32_t slot) {
        if (request) {
            BuildScripts(*request, loaded, slot);
        }
    };
    const EveryFilePatchResult result = PatchEveryFile(
        fileSystem, loaded.table, targets,
        NewEntryFileTime(invocation.sourceDateEpoch, std::chrono::system_clock::now()), options);
    locks.reset();
    if (already >= 0) {
        Warn("the multi was already " + MultiText(already) + " (slot " +
             NumberText(SlotOfMultiNumber(already)) + ") of these files; it is now in them again as " +
             MultiText(result.multi));
    }
    // From 0x2000 on the reader warnings tell of Sphere, when Multi.mul is written.
    if (result.multi > kHighestSphereMulti && (result.multi < kSphereMultiEnd || !targets.mul)) {
        Warn(MultiText(result.multi) + " is above 8190 (1FFE): Sphere cannot use it");
    }
    for (const std::string& warning : result.warnings) {
        Warn(warning);
    }

    // The patch is complete and stays whatever fails from here: undoing it could fail in turn. The one
    // error line names the slot, so that the user can finish the work.
    const std::string slot = NumberText(SlotOfMultiNumber(result.multi));
    std::string failure;
    try {
        if (parser.isSet("--json")) {
            writeJson(result, invocation.out);
        } else {
            writeText(result, loaded.table.Count, invocation.out);
        }
        invocation.out.flush();
    } catch (const Error& e) {
        failure = "the patch completed into slot " + slot + ", but its result could not be shown (" +
                  e.description() + ")";
    }
    if (scriptsFile) {
        try {
            scriptsFile->commit(BuildScripts(*request, loaded, SlotOfMultiNumber(result.multi)));
        } catch (const Error& e) {
            failure = "the patch completed into slot " + slot + ", but the scripts could not be written (" +
                      e.description() + "); write them with: keelwright-cli scripts --slot " + slot;
        }
    }
    return failure.empty() ? kSuccess : Fail(failure);
}

}  // namespace keelwright::cli
