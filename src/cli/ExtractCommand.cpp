#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/ProgramArguments.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"

namespace keelwright::cli {

int RunExtract(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Writes one multi of Multi.idx and Multi.mul as multi text (the .EXTRACT form), to FILE or stdout.");
    AddClientFileOptions(parser);
    parser.addOption("--multi", "The multi number, from 0 (slot 1) to 32766.", "M");
    parser.addOption("-o,--output", "Writes FILE whole or not at all, replacing a file of that name.",
                     "FILE");
    parser.parse(0);
    const ClientFiles files = ClientFilesOf(parser);
    const std::optional<std::int32_t> multi = ParseMultiNumber(parser.value("--multi"));
    if (!multi) {
        throw UsageError("--multi needs a multi number from 0 to 32766");
    }
    std::optional<std::filesystem::path> output;
    if (parser.isSet("--output")) {
        if (parser.value("--output").empty()) {
            throw UsageError("--output needs a file name");
        }
        output = PathOfArgument(parser.value("--output"));
        RefuseOutputAmongInputs(*output, {files.multiIdx, files.multiMul}, "which extract reads");
    }

    NativeFileSystem fileSystem;
    const std::int32_t slot = SlotOfMultiNumber(*multi);
    const IndexRecord entry = ReadIndexEntry(fileSystem, files.multiIdx, slot);
    const RecordSize size = DecideRecordSize(fileSystem, files).size;
    const std::string text = ExtractMultiText(fileSystem, files.multiMul, slot, entry, size);
    if (output) {
        WriteFileAtomically(fileSystem, *output, text);
    } else {
        invocation.out.write(text);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
