#include "cli/ClientFileOptions.h"

#include <algorithm>

#include "cli/CliSupport.h"
#include "cli/ProgramArguments.h"
#include "clientfiles/ClientFileLocks.h"
#include "model/Error.h"

namespace keelwright::cli {

void AddClientFileOptions(CommandLine& parser) {
    parser.addOption("--idx", "The client's Multi.idx.", "MULTI_IDX");
    parser.addOption("--mul", "The client's Multi.mul.", "MULTI_MUL");
}

void AddRecordSizeOption(CommandLine& parser) {
    parser.addOption("--record-size",
                     "The size of the records of Multi.mul, 12 or 16 bytes; by default the files tell.",
                     "12|16");
}

void AddUopOption(CommandLine& parser, const std::string& help) {
    parser.addOption("--uop", help, "MULTICOLLECTION_UOP");
}

void AddWaitOption(CommandLine& parser) {
    parser.addOption("--wait",
                     "How long to wait for client files that another program is changing (or, for a patch, "
                     "reading), 0 to 3600 seconds; 10 by default, 0 fails at once.",
                     "SECONDS");
}

std::chrono::milliseconds WaitOf(const CommandLine& parser) {
    if (!parser.isSet("--wait")) {
        return kDefaultLockWait;
    }
    const std::string text = parser.value("--wait");
    const bool digits = !text.empty() && text.size() <= 4 &&
                        std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (!digits || std::stoi(text) > 3600) {
        throw UsageError("--wait takes whole seconds from 0 to 3600, not " + QuoteInput(text));
    }
    return std::chrono::seconds(std::stoi(text));
}

ClientFiles ClientFilesOf(const CommandLine& parser) {
    return ClientFiles{RequiredPath(parser, "--idx"), RequiredPath(parser, "--mul")};
}

std::optional<RecordSize> RecordSizeOf(const CommandLine& parser) {
    if (!parser.isSet("--record-size")) {
        return std::nullopt;
    }
    if (!parser.isSet("--idx") && !parser.isSet("--mul")) {
        throw UsageError("--record-size is the size of the records of Multi.mul: it needs --idx and --mul");
    }
    const std::optional<RecordSize> size = ParseRecordSize(parser.value("--record-size"));
    if (!size) {
        throw UsageError("--record-size takes 12 or 16, not " + QuoteInput(parser.value("--record-size")));
    }
    return size;
}

std::optional<std::filesystem::path> UopPathOf(const CommandLine& parser) {
    if (!parser.isSet("--uop")) {
        return std::nullopt;
    }
    if (parser.value("--uop").empty()) {
        throw UsageError("--uop needs a file name");
    }
    return PathOfArgument(parser.value("--uop"));
}

PatchTargets TargetsOf(const CommandLine& parser) {
    PatchTargets targets;
    targets.uop = UopPathOf(parser);
    if (!targets.uop || parser.isSet("--idx") || parser.isSet("--mul")) {
        targets.mul = ClientFilesOf(parser);
    }
    return targets;
}

}  // namespace keelwright::cli
