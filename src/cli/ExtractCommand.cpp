#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"

namespace keelwright::cli {

int RunExtract(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes one multi of Multi.idx and Multi.mul as multi text (the .EXTRACT form), to FILE or stdout.");
    AddClientFileOptions(parser);
    parser.addOption({"multi", "The multi number, from 0 (slot 1) to 32766.", "M"});
    parser.addOption(
        {{"o", "output"}, "Writes FILE whole or not at all, replacing a file of that name.", "FILE"});
    Parse(parser, arguments, 0);
    const ClientFiles files = ClientFilesOf(parser);
    const std::optional<std::int32_t> multi = ParseMultiNumber(ToBytes(parser.value("multi")));
    if (!multi) {
        throw UsageError("--multi needs a multi number from 0 to 32766");
    }
    if (parser.isSet("output") && parser.value("output").isEmpty()) {
        throw UsageError("--output needs a file name");
    }

    NativeFileSystem fileSystem;
    const std::int32_t slot = SlotOfMultiNumber(*multi);
    const IndexRecord entry = ReadIndexEntry(fileSystem, files.multiIdx, slot);
    const RecordSize size = DecideRecordSize(fileSystem, files).size;
    const std::string text = ExtractMultiText(fileSystem, files.multiMul, slot, entry, size);
    if (parser.isSet("output")) {
        WriteFileAtomically(fileSystem, ToPath(parser.value("output")), text);
    } else {
        WriteOut(text);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
