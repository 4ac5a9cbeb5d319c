#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/ProgramArguments.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "uop/UopMultis.h"
#include "uop/UopTileRecords.h"

namespace keelwright::cli {

int RunExtract(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Writes one multi of Multi.idx and Multi.mul, or of MultiCollection.uop, as multi text "
        "(the .EXTRACT form), to FILE or stdout.");
    AddClientFileOptions(parser);
    AddRecordSizeOption(parser);
    AddUopOption(parser, "Reads the multi from the client's MultiCollection.uop instead.");
    parser.addOption("--multi", "The multi number, from 0 (slot 1) to 32766; with --uop up to 999999.", "M");
    parser.addOption("-o,--output", "Writes FILE whole or not at all, replacing a file of that name.",
                     "FILE");
    parser.parse(0);
    const std::optional<std::filesystem::path> uop = UopPathOf(parser);
    if (uop && (parser.isSet("--idx") || parser.isSet("--mul"))) {
        throw UsageError("--uop and --idx/--mul exclude each other: extract reads one source");
    }
    const std::optional<RecordSize> recordSize = RecordSizeOf(parser);
    const std::optional<ClientFiles> files = uop ? std::nullopt : std::optional(ClientFilesOf(parser));
    const std::optional<std::int32_t> multi =
        ParseMultiNumber(parser.value("--multi"), uop ? kHighestUopMulti : kHighestExtractableMulti);
    if (!multi) {
        throw UsageError(uop ? "--multi needs a multi number from 0 to 999999"
                             : "--multi needs a multi number from 0 to 32766");
    }
    std::optional<std::filesystem::path> output;
    if (parser.isSet("--output")) {
        if (parser.value("--output").empty()) {
            throw UsageError("--output needs a file name");
        }
        output = PathOfArgument(parser.value("--output"));
        if (uop) {
            RefuseOutputAmongInputs(*output, {*uop}, "which extract reads");
        } else {
            RefuseOutputAmongInputs(*output, {files->multiIdx, files->multiMul}, "which extract reads");
        }
    }

    NativeFileSystem fileSystem;
    std::string text;
    if (uop) {
        text = ExtractUopMultiText(fileSystem, *uop, *multi);
    } else {
        const std::int32_t slot = SlotOfMultiNumber(*multi);
        const IndexRecord entry = ReadIndexEntry(fileSystem, files->multiIdx, slot);
        const RecordSize size = DecideRecordSize(fileSystem, *files, recordSize).size;
        text = ExtractMultiText(fileSystem, files->multiMul, slot, entry, size);
    }
    if (output) {
        WriteFileAtomically(fileSystem, *output, text);
    } else {
        invocation.out.write(text);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
