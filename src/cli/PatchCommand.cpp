#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "model/NumberText.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/PosixFileSystem.h"
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

}  // namespace

int RunPatch(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Loads a script as show does and patches it into Multi.idx and Multi.mul: the block goes to the end "
        "of "
        "Multi.mul and the first free slot of Multi.idx points at it. Both files are left unchanged on "
        "failure.");
    AddScriptOptions(parser);
    AddClientFileOptions(parser);
    parser.addOption({"json", "Writes one JSON object instead of text for people."});
    Parse(parser, arguments, 1);
    const ClientFiles files = ClientFilesOf(parser);

    const LoadedMulti loaded = LoadScript(parser);
    PosixFileSystem fileSystem;
    const PatchResult result = PatchMulti(fileSystem, loaded.table, files);
    WriteOut(parser.isSet("json") ? asJson(result) : asText(result, loaded.table.Count));
    return kSuccess;
}

}  // namespace keelwright::cli
