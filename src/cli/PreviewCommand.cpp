#include <optional>
#include <vector>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/ProgramArguments.h"
#include "clientfiles/ClientFileLocks.h"
#include "model/NumberText.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "render/ClientArt.h"
#include "render/PngFile.h"
#include "render/Preview.h"
#include "uop/UopMultis.h"

namespace keelwright::cli {
namespace {

constexpr const char* kReads = "which the preview reads";

bool anySet(const CommandLine& parser, std::initializer_list<const char*> options) {
    for (const char* option : options) {
        if (parser.isSet(option)) {
            return true;
        }
    }
    return false;
}

std::string tileCount(std::int32_t count) {
    return NumberText(count) + (count == 1 ? " tile" : " tiles");
}

// The tiles of the script, as the window's load command leaves the table.
std::vector<PreviewTile> scriptTiles(const CommandLine& parser, const std::filesystem::path& output) {
    RefuseOutputAmongInputs(output, {PathOfArgument(parser.positionals().front())}, kReads);
    if (parser.isSet("--components")) {
        RefuseOutputAmongInputs(output, {PathOfArgument(parser.value("--components"))}, kReads);
    } else if (!parser.isSet("--no-components")) {
        RefuseOutputAmongInputs(output, {DefaultComponentsFile(parser.invocation())}, kReads);
    }
    return PreviewTilesOf(LoadScript(parser).table);
}

// The tiles of multi M of Multi.idx and Multi.mul, or of MultiCollection.uop, after the whole command line
// has been checked.
class ClientTiles {
public:
    ClientTiles(const CommandLine& parser, const std::filesystem::path& output) {
        if (!parser.positionals().empty()) {
            throw UsageError("SCRIPT and the client files (--idx, --mul, --uop, --multi) exclude each other");
        }
        if (anySet(parser, {"--type", "--components", "--no-components"})) {
            throw UsageError(
                "--type, --components and --no-components are for a SCRIPT, not the client files");
        }
        if (parser.isSet("--uop")) {
            if (anySet(parser, {"--idx", "--mul"})) {
                throw UsageError("--uop and --idx/--mul exclude each other");
            }
            uop_ = RequiredPath(parser, "--uop");
            RefuseOutputAmongInputs(output, {*uop_}, kReads);
        } else {
            files_ = ClientFilesOf(parser);
            RefuseOutputAmongInputs(output, {files_.multiIdx, files_.multiMul}, kReads);
        }
        if (!parser.isSet("--multi")) {
            throw UsageError("--multi is required with the client files");
        }
        const std::optional<std::int32_t> multi =
            ParseMultiNumber(parser.value("--multi"), uop_ ? kHighestUopMulti : kHighestExtractableMulti);
        if (!multi) {
            throw UsageError("--multi needs a multi number from 0 to 32766");
        }
        multi_ = *multi;
    }

    std::vector<PreviewTile> read(FileSystem& fileSystem, std::chrono::milliseconds wait) const {
        // Read under shared locks, so that a patch in progress is not read half done.
        const ClientFileLocks locks(fileSystem, uop_ ? std::nullopt : std::optional(files_), uop_,
                                    LockKind::Shared, wait);
        if (uop_) {
            return PreviewTilesOfUop(ReadUopMulti(fileSystem, *uop_, multi_).payload);
        }
        const std::int32_t slot = SlotOfMultiNumber(multi_);
        const IndexRecord entry = ReadIndexEntry(fileSystem, files_.multiIdx, slot);
        const RecordSize size = DecideRecordSize(fileSystem, files_).size;
        return PreviewTilesOfBlock(ReadMultiBlock(fileSystem, files_.multiMul, slot, entry, size), size);
    }

private:
    ClientFiles files_;
    std::optional<std::filesystem::path> uop_;
    std::int32_t multi_ = 0;
};

}  // namespace

int RunPreview(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Draws a multi the way the game places its tiles and writes the picture as a PNG file: "
        "a SCRIPT loaded as the window's load command does, or multi M of the client files. "
        "Tiles are drawn with the client's art when --art names its folder, as blocks "
        "otherwise.");
    AddScriptOptions(parser);
    AddClientFileOptions(parser);
    parser.addOption("--uop", "The client's MultiCollection.uop, read instead of Multi.idx and Multi.mul.",
                     "UOP");
    parser.addOption(
        "--multi",
        "The multi of the client files to draw (decimal or 0x hex), from 0 (slot 1) to 32766; with --uop "
        "up to 999999.",
        "M");
    AddWaitOption(parser);
    parser.addOption("--art",
                     "The client folder whose art draws the tiles: artLegacyMUL.uop, else art.mul with "
                     "artidx.mul; and tiledata.mul when it is there.",
                     "DIR");
    parser.addOption("-o,--output", "Writes the picture to OUT.png, whole or not at all.", "OUT.png");
    parser.parse(0, 1);

    const std::filesystem::path output = RequiredPath(parser, "--output");
    std::optional<std::filesystem::path> art;
    if (parser.isSet("--art")) {
        art = RequiredPath(parser, "--art");
        RefuseOutputAmongInputs(
            output, {*art / "artLegacyMUL.uop", *art / "art.mul", *art / "artidx.mul", *art / "tiledata.mul"},
            kReads);
    }
    const std::chrono::milliseconds wait = WaitOf(parser);
    const bool fromClientFiles = anySet(parser, {"--idx", "--mul", "--uop", "--multi"});
    std::optional<ClientTiles> client;
    if (fromClientFiles) {
        client.emplace(parser, output);
    } else if (parser.positionals().empty()) {
        throw UsageError("missing argument: SCRIPT, or the client files with --multi");
    }

    NativeFileSystem fileSystem;
    const std::vector<PreviewTile> tiles =
        client ? client->read(fileSystem, wait) : scriptTiles(parser, output);
    std::optional<ClientArt> clientArt;
    if (art) {
        clientArt = OpenClientArt(fileSystem, *art);
    }
    PreviewOptions options;
    if (clientArt) {
        options.art = clientArt->art.get();
        options.tileData = clientArt->tileData ? &*clientArt->tileData : nullptr;
    }
    const Preview preview = RenderPreview(tiles, options);
    WritePng(fileSystem, output, preview.image);
    invocation.out.write(NumberText(preview.image.width()) + " x " + NumberText(preview.image.height()) +
                         " pixels: " + tileCount(preview.artTiles) + " drawn with art, " +
                         NumberText(preview.blockTiles) + " as blocks\n");
    return kSuccess;
}

}  // namespace keelwright::cli
