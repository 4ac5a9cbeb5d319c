#include <optional>
#include <system_error>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/ScriptOptions.h"
#include "cli/ScriptsFile.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/Slots.h"

namespace keelwright::cli {
namespace {

std::string asText(const PatchResult& result, std::int32_t components) {
    return "Patched " + NumberText(components) + " components into slot " + NumberText(result.slot) +
           " (multi " + NumberText(MultiNumberOfSlot(result.slot)) + ", item " + ItemHexOfSlot(result.slot) +
           "): offset " + NumberText(result.offset) + ", length " + NumberText(result.length) +
           ", first free record " + NumberText(result.firstFreeRecord) + "\n";
}

// Keys in the order people read them; every value is a number or a hex string, so nothing needs escaping.
std::string asJson(const PatchResult& result) {
    return "{\"slot\":" + NumberText(result.slot) +
           ",\"multi\":" + NumberText(MultiNumberOfSlot(result.slot)) + ",\"item\":\"" +
           ItemHexOfSlot(result.slot) + "\",\"offset\":" + NumberText(result.offset) +
           ",\"length\":" + NumberText(result.length) +
           ",\"firstFreeRecord\":" + NumberText(result.firstFreeRecord) + "}\n";
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

bool samePath(const std::filesystem::path& a, const std::filesystem::path& b) {
    return resolved(a) == resolved(b);
}

// The script options of a patch that also writes the item scripts. Standard output carries the patch result,
// so the scripts need a file of their own, and that file must not be one the patch reads or writes: the
// scripts would replace it whole.
std::optional<ScriptRequest> scriptRequest(const QCommandLineParser& parser, const ClientFiles& files) {
    if (!ScriptWritingRequested(parser)) {
        return std::nullopt;
    }
    ScriptRequest request = ReadScriptRequest(parser);
    if (request.outputPath.isEmpty()) {
        throw UsageError("the script options need -o FILE: standard output carries the patch result");
    }
    const std::filesystem::path output = ToPath(request.outputPath);
    for (const auto& input : {files.multiIdx, files.multiMul, ToPath(parser.positionalArguments().front())}) {
        if (samePath(output, input)) {
            throw UsageError("-o names " + input.string() + ", which the patch uses");
        }
    }
    return request;
}

}  // namespace

int RunPatch(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Loads a script as show does and patches it into Multi.idx and Multi.mul: the block goes to the end "
        "of Multi.mul and the first free slot of Multi.idx points at it. Both files are left unchanged on "
        "failure. With the script options it then writes the item scripts for the slot it patched, as the "
        "scripts command does, to the file -o names; a bad script option or an output file that cannot be "
        "created stops it before anything is patched.");
    AddScriptOptions(parser);
    AddClientFileOptions(parser);
    parser.addOption({"json", "Writes one JSON object instead of text for people."});
    AddScriptWritingOptions(parser, "Writes the scripts to FILE; needed with the other script options.");
    Parse(parser, arguments, 1);
    const ClientFiles files = ClientFilesOf(parser);
    const std::optional<ScriptRequest> request = scriptRequest(parser, files);

    const LoadedMulti loaded = LoadScript(parser);
    std::optional<ScriptsFile> scriptsFile;
    if (request) {
        // A trial build: the builders refuse texts the options could not (a line break, a component they
        // cannot number), and that must stop the command while the client files are still untouched.
        BuildScripts(*request, loaded, 0);
        scriptsFile.emplace(request->outputPath);
    }
    NativeFileSystem fileSystem;
    const PatchResult result = PatchMulti(fileSystem, loaded.table, files);
    WriteOut(parser.isSet("json") ? asJson(result) : asText(result, loaded.table.Count));
    if (!scriptsFile) {
        return kSuccess;
    }
    try {
        scriptsFile->commit(BuildScripts(*request, loaded, result.slot));
    } catch (const Error& e) {
        // The patch is complete and stays: undoing it could fail in turn. The user needs the slot to write
        // the scripts again.
        const std::string slot = NumberText(result.slot);
        return Fail("the patch completed into slot " + slot + ", but the scripts could not be written (" +
                    e.description() + "); write them with: keelwright-cli scripts --slot " + slot);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
