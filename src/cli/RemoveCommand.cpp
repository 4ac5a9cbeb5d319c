#include <limits>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "clientfiles/ClientFileLocks.h"
#include "clientfiles/MultiRemoval.h"
#include "model/NumberText.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"
#include "uop/UopMultis.h"

namespace keelwright::cli {
namespace {

void writeText(const MultiRemoved& result, StandardOutput& out) {
    out.write("Removed " + MultiText(result.removed.multi) + ": " + result.removed.describe() + "\n");
}

// Keys in the order people read them.
void writeJson(const MultiRemoved& result, StandardOutput& out) {
    const auto tiles = [&](JsonWriter& json, const HeldMulti& held) {
        json.key("tiles");
        if (held.tiles) {
            json.number(*held.tiles);
        } else {
            json.null();
        }
    };
    JsonWriter json(out);
    json.beginObject();
    json.key("multi").number(result.removed.multi);
    json.key("item").utf8(ItemHexOfSlot(SlotOfMultiNumber(result.removed.multi)));
    if (result.indexEntry) {
        json.key("mul").beginObject();
        json.key("slot").number(SlotOfMultiNumber(result.removed.multi));
        json.key("offset").number(result.indexEntry->Offset);
        json.key("length").number(result.indexEntry->Length);
        tiles(json, *result.removed.mul);
        json.endObject();
    }
    if (result.uopEntry) {
        json.key("uop").beginObject();
        json.key("name").utf8(MultiEntryName(result.removed.multi));
        json.key("position").number(static_cast<std::int64_t>(result.uopEntry->position));
        json.key("offset").number(result.uopEntry->entry.Offset);
        tiles(json, *result.removed.uop);
        json.endObject();
    }
    json.endObject();
    out.put('\n');
}

}  // namespace

int RunRemove(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Removes multi M from each of the files given that holds it: its Multi.idx slot becomes free "
        "(Offset, Length and Extra -1) and its MultiCollection.uop entry is cleared. Multi.mul is never "
        "written; the old block stays there as dead bytes. Every file is left unchanged on failure; "
        "nothing to remove in any file is a failure.");
    AddClientFileOptions(parser);
    AddRecordSizeOption(parser);
    AddUopOption(parser,
                 "Removes the multi from the client's MultiCollection.uop too (or alone, without --idx and "
                 "--mul).");
    parser.addOption("--multi", "The multi number, decimal or 0x hex (slot M + 1).", "M");
    AddWaitOption(parser);
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.parse(0);
    const PatchTargets targets = TargetsOf(parser);
    const std::optional<RecordSize> recordSize = RecordSizeOf(parser);
    if (!parser.isSet("--multi")) {
        throw UsageError("--multi is required");
    }
    const std::optional<std::int32_t> multi =
        ParseMultiNumber(parser.value("--multi"),
                         targets.mul ? std::numeric_limits<std::int32_t>::max() - 1 : kHighestUopMulti);
    if (!multi) {
        throw UsageError("--multi needs a multi number");
    }

    const std::chrono::milliseconds wait = WaitOf(parser);

    NativeFileSystem fileSystem;
    // No other program writes the files, nor reads them, from before the search to the last flush.
    std::optional<ClientFileLocks> locks(std::in_place, fileSystem, targets.mul, targets.uop,
                                         LockKind::Exclusive, wait);
    const MultiRemoved result = RemoveMulti(fileSystem, targets, *multi, recordSize);
    locks.reset();
    try {
        if (parser.isSet("--json")) {
            writeJson(result, invocation.out);
        } else {
            writeText(result, invocation.out);
        }
        invocation.out.flush();
    } catch (const Error& e) {
        return Fail("the removal of " + MultiText(*multi) +
                    " completed, but its result could not be shown (" + e.description() + ")");
    }
    return kSuccess;
}

}  // namespace keelwright::cli
