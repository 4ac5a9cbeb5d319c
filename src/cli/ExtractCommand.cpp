#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/ProgramArguments.h"
#include "model/NumberText.h"
#include "clientfiles/ClientFileLocks.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/ExtractFormats.h"
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
        "(the .EXTRACT form) or another tool's format, to FILE or stdout.");
    AddClientFileOptions(parser);
    AddRecordSizeOption(parser);
    AddWaitOption(parser);
    AddUopOption(parser, "Reads the multi from the client's MultiCollection.uop instead.");
    parser.addOption(
        "--multi", "The multi number (decimal or 0x hex), from 0 (slot 1) to 32766; with --uop up to 999999.",
        "M");
    parser.addFlag(
        "--exact",
        "Writes every record of the block, a first lead record included, with its flags whole (bytes 8 "
        "to 15 of a 16-byte record as one number), for patch --exact to write back byte for byte.");
    parser.addOption("-o,--output", "Writes FILE whole or not at all, replacing a file of that name.",
                     "FILE");
    parser.addOption(
        "--format",
        "Writes multi text (txt, the default), a CSV tile list (csv), a UO Architect design file "
        "(uoa) or a WSC export (wsc).",
        "txt|csv|uoa|wsc");
    parser.addOption("--name", "The design's name in a UO Architect file (default: \"multi M\").", "NAME");
    parser.parse(0);
    const std::optional<ExtractFormat> format =
        parser.isSet("--format") ? ExtractFormatNamed(parser.value("--format")) : ExtractFormat::Txt;
    if (!format) {
        throw UsageError("--format takes txt, csv, uoa or wsc, not " + QuoteInput(parser.value("--format")));
    }
    if (parser.isSet("--exact") && format != ExtractFormat::Txt) {
        throw UsageError("--exact writes multi text: it takes no --format but txt");
    }
    if (parser.isSet("--name") && format != ExtractFormat::Uoa) {
        throw UsageError("--name names the design of a UO Architect file: it needs --format uoa");
    }
    const std::optional<std::filesystem::path> uop = UopPathOf(parser);
    if (uop && (parser.isSet("--idx") || parser.isSet("--mul"))) {
        throw UsageError("--uop and --idx/--mul exclude each other: extract reads one source");
    }
    const std::optional<RecordSize> recordSize = RecordSizeOf(parser);
    const std::chrono::milliseconds wait = WaitOf(parser);
    const std::optional<ClientFiles> files = uop ? std::nullopt : std::optional(ClientFilesOf(parser));
    const std::optional<std::int32_t> multi =
        ParseMultiNumber(parser.value("--multi"), uop ? kHighestUopMulti : kHighestExtractableMulti);
    if (!multi) {
        throw UsageError(uop ? "--multi needs a multi number from 0 to 999999"
                             : "--multi needs a multi number from 0 to 32766");
    }
    const std::string name = parser.isSet("--name") ? parser.value("--name") : "multi " + NumberText(*multi);
    if (!DecodeUtf8(name)) {
        throw UsageError("--name is not UTF-8 text");
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
    const bool exact = parser.isSet("--exact");
    std::vector<ComponentRecord> components;
    std::vector<PartIdList> parts;  // only a UOP's tiles have any
    std::string text;
    // Read under shared locks, so that a patch in progress is not read half done.
    std::optional<ClientFileLocks> locks(std::in_place, fileSystem, files, uop, LockKind::Shared, wait);
    if (uop) {
        if (exact) {
            text = ExtractUopMultiText(fileSystem, *uop, *multi, true);
        } else {
            components = ExtractUopComponents(fileSystem, *uop, *multi, false, &parts);
        }
    } else {
        const std::int32_t slot = SlotOfMultiNumber(*multi);
        const IndexRecord entry = ReadIndexEntry(fileSystem, files->multiIdx, slot);
        const RecordSize size = DecideRecordSize(fileSystem, *files, recordSize).size;
        if (exact) {
            text = ExactMultiTextOfBlock(ReadMultiBlock(fileSystem, files->multiMul, slot, entry, size), size);
        } else {
            components = ExtractMultiComponents(fileSystem, files->multiMul, slot, entry, size);
        }
    }
    if (!exact) {
        text = ExtractedFile(*format, components, name, parts);
    }
    locks.reset();
    if (output) {
        WriteFileAtomically(fileSystem, *output, text);
    } else {
        invocation.out.write(text);
    }
    return kSuccess;
}

}  // namespace keelwright::cli
