#include <optional>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/ProgramArguments.h"
#include "cli/ScriptOptions.h"
#include "cli/ScriptsFile.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/Slots.h"

namespace keelwright::cli {
namespace {

void writeText(const PatchResult& result, std::int32_t components, StandardOutput& out) {
    out.write("Patched " + NumberText(components) + " components into slot " + NumberText(result.slot) +
              " (multi " + NumberText(MultiNumberOfSlot(result.slot)) + ", item " +
              ItemHexOfSlot(result.slot) + "): offset " + NumberText(result.offset) + ", length " +
              NumberText(result.length) + ", first free record " + NumberText(result.firstFreeRecord) + "\n");
}

// Keys in the order people read them.
void writeJson(const PatchResult& result, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("slot").number(result.slot);
    json.key("multi").number(MultiNumberOfSlot(result.slot));
    json.key("item").utf8(ItemHexOfSlot(result.slot));
    json.key("offset").number(result.offset);
    json.key("length").number(result.length);
    json.key("firstFreeRecord").number(result.firstFreeRecord);
    json.endObject();
    out.put('\n');
}

// The script options of a patch that also writes the item scripts. Standard output carries the patch result,
// so the scripts need a file of their own, and that file must not be one the patch reads or writes: the
// scripts would replace it whole.
std::optional<ScriptRequest> scriptRequest(const CommandLine& parser, const ClientFiles& files) {
    if (!ScriptWritingRequested(parser)) {
        return std::nullopt;
    }
    ScriptRequest request = ReadScriptRequest(parser);
    if (!request.outputPath) {
        throw UsageError("the script options need -o FILE: standard output carries the patch result");
    }
    RefuseOutputAmongInputs(*request.outputPath,
                            {files.multiIdx, files.multiMul, PathOfArgument(parser.positionals().front())},
                            "which the patch uses");
    return request;
}

}  // namespace

int RunPatch(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Loads a script as show does and patches it into Multi.idx and Multi.mul: the block goes to the end "
        "of Multi.mul and the first free slot of Multi.idx points at it. Both files are left unchanged on "
        "failure. With the script options it then writes the item scripts for the slot it patched, as the "
        "scripts command does, to the file -o names; a bad script option, an output file that cannot be "
        "created or a slot the format cannot name stops it before anything is patched.");
    AddScriptOptions(parser);
    AddClientFileOptions(parser);
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    AddScriptWritingOptions(parser, "Writes the scripts to FILE; needed with the other script options.");
    parser.parse(1);
    const ClientFiles files = ClientFilesOf(parser);
    const std::optional<ScriptRequest> request = scriptRequest(parser, files);

    const LoadedMulti loaded = LoadScript(parser);
    std::optional<ScriptsFile> scriptsFile;
    if (request) {
        scriptsFile.emplace(*request->outputPath);
    }
    NativeFileSystem fileSystem;
    // A trial build for the slot the patch is about to fill: the builders refuse texts the options could not
    // (a line break, a component they cannot number) and a slot the format cannot name (a multi number
    // Sphere cannot use), and that must stop the command while the client files are still untouched.
    const PatchResult result = PatchMulti(fileSystem, loaded.table, files, [&](std::int32_t slot) {
        if (request) {
            BuildScripts(*request, loaded, slot);
        }
    });

    // The patch is complete and stays whatever fails from here: undoing it could fail in turn. The one
    // error line names the slot, so that the user can finish the work.
    const std::string slot = NumberText(result.slot);
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
            scriptsFile->commit(BuildScripts(*request, loaded, result.slot));
        } catch (const Error& e) {
            failure = "the patch completed into slot " + slot + ", but the scripts could not be written (" +
                      e.description() + "); write them with: keelwright-cli scripts --slot " + slot;
        }
    }
    return failure.empty() ? kSuccess : Fail(failure);
}

}  // namespace keelwright::cli
