#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "clientfiles/ClientFileLocks.h"
#include "model/NumberText.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"
#include "uop/UopSurvey.h"

namespace keelwright::cli {
namespace {

std::string counted(std::size_t n, const std::string& noun) {
    return NumberText(static_cast<std::int64_t>(n)) + " " + noun + (n == 1 ? "" : "s");
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string bytesText(std::uint64_t n) {
    return NumberText(static_cast<std::int64_t>(n)) + " bytes";
}

template <typename Problem>
void writeProblems(const std::vector<Problem>& problems, StandardOutput& out) {
    if (problems.empty()) {
        out.write("\nNo problems found.\n");
        return;
    }
    out.write("\n" + counted(problems.size(), "problem") + ":\n");
    for (const Problem& problem : problems) {
        out.write("  " + problem.message + "\n");
    }
}

void writeText(const ClientFilesSurvey& s, StandardOutput& out) {
    std::string head = "Multi.idx: " + NumberText(s.slotCount) + " slots: " + NumberText(s.usedCount) +
                       " used, " + NumberText(s.freeCount) + " free, " + NumberText(s.zeroCount) +
                       " zero records; first free slot ";
    head += s.firstFreeSlot ? NumberText(*s.firstFreeSlot) + " (multi " +
                                  NumberText(MultiNumberOfSlot(*s.firstFreeSlot)) + ", item " +
                                  ItemHexOfSlot(*s.firstFreeSlot) + ")"
                            : std::string("none");
    head += "\nMulti.mul: " + bytesText(s.dataBytes) + " in " + DescribeRecordSize(s.recordSize) +
            "; first free record " + NumberText(s.firstFreeRecord);
    if (s.unindexedTailBytes != 0) {
        head += "; its last " + bytesText(s.unindexedTailBytes) + " lie in no slot's block";
    }
    if (s.deadBytes != s.unindexedTailBytes) {  // the tail alone is told of above
        head += "; " + bytesText(s.deadBytes) + " dead (in no slot's block)";
    }
    out.write(head + "\n");
    if (!s.usedSlots.empty()) {
        out.write("\n    Slot   Multi   Item      Offset      Length  Components\n");
        for (const auto& used : s.usedSlots) {
            const std::optional<std::int32_t> components = used.components;
            out.write(rightAligned(NumberText(used.slot), 8) +
                      rightAligned(NumberText(MultiNumberOfSlot(used.slot)), 8) +
                      rightAligned(ItemHexOfSlot(used.slot), 7) +
                      rightAligned(NumberText(used.entry.Offset), 12) +
                      rightAligned(NumberText(used.entry.Length), 12) +
                      rightAligned(components ? NumberText(*components) : "-", 12) + "\n");
        }
    }
    writeProblems(s.problems, out);
}

// The keys of every object in alphabetical order, as the JSON has always had them.
void writeJson(const ClientFilesSurvey& s, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("dataBytes").number(static_cast<std::int64_t>(s.dataBytes));
    json.key("deadBytes").number(static_cast<std::int64_t>(s.deadBytes));
    json.key("firstFreeRecord").number(s.firstFreeRecord);
    json.key("firstFreeSlot");
    if (s.firstFreeSlot) {
        json.number(*s.firstFreeSlot);
    } else {
        json.null();
    }
    json.key("free").number(s.freeCount);
    json.key("indexBytes").number(static_cast<std::int64_t>(s.indexBytes));
    json.key("multis").beginArray();
    for (const auto& used : s.usedSlots) {
        const std::optional<std::int32_t> components = used.components;
        json.beginObject().key("components");
        if (components) {
            json.number(*components);
        } else {
            json.null();
        }
        json.key("item").utf8(ItemHexOfSlot(used.slot));
        json.key("length").number(used.entry.Length);
        json.key("multi").number(MultiNumberOfSlot(used.slot));
        json.key("offset").number(used.entry.Offset);
        json.key("slot").number(used.slot);
        json.endObject();
    }
    json.endArray();
    json.key("problems").beginArray();
    for (const SurveyProblem& problem : s.problems) {
        json.beginObject();
        json.key("kind").utf8(ProblemKindName(problem.kind));
        json.key("message").utf8(problem.message);
        if (problem.kind == SurveyProblem::Kind::Overlap) {
            json.key("otherSlot").number(problem.otherSlot);
        }
        json.key("slot").number(problem.slot);
        json.endObject();
    }
    json.endArray();
    json.key("recordSize").number(static_cast<std::int64_t>(BytesOf(s.recordSize.size)));
    json.key("recordSizeFrom").utf8(RecordSizeFromName(s.recordSize.from));
    json.key("slots").number(s.slotCount);
    json.key("sound").boolean(s.sound());
    json.key("unindexedTailBytes").number(static_cast<std::int64_t>(s.unindexedTailBytes));
    json.key("used").number(s.usedCount);
    json.key("zeroRecords").number(s.zeroCount);
    json.endObject();
    out.put('\n');
}

// The components of a UOP multi as extraction counts them: its tiles less a first one that is the lead.
std::int64_t componentsOf(const UopSurvey::Multi& multi) {
    return std::int64_t{multi.tiles} - (multi.leadRecord ? 1 : 0);
}

void writeText(const UopSurvey& s, StandardOutput& out) {
    std::string head = "MultiCollection.uop: " + bytesText(s.fileBytes);
    // A file that is not a UOP file has no header to tell of.
    if (s.problems.empty() || s.problems.front().kind != UopProblem::Kind::BadMagic) {
        head += ", version " + std::to_string(s.version) + "; " +
                counted(static_cast<std::size_t>(s.blocks), "table block") + " of " +
                std::to_string(s.capacity) + " entries; " + NumberText(s.entryCount) +
                (s.entryCount == 1 ? " entry" : " entries") + " in use (the header counts " +
                std::to_string(s.headerFileCount) + ")" +
                (s.clearedEntries != 0 ? ", " + NumberText(s.clearedEntries) + " cleared" : std::string()) +
                "; housing.bin " + (s.housingBin ? "present" : "absent");
        if (s.deadBytes != 0) {
            head += "; " + bytesText(s.deadBytes) + " dead (in no entry)";
        }
    }
    out.write(head + "\n");
    if (!s.multis.empty()) {
        out.write("\n   Multi   Tiles  Components      Stored      Length\n");
        for (const UopSurvey::Multi& multi : s.multis) {
            out.write(rightAligned(NumberText(multi.multi), 8) +
                      rightAligned(std::to_string(multi.tiles), 8) +
                      rightAligned(NumberText(componentsOf(multi)), 12) +
                      rightAligned(NumberText(multi.storedLength), 12) +
                      rightAligned(NumberText(multi.length), 12) + "\n");
        }
    }
    writeProblems(s.problems, out);
}

void writeJson(const UopSurvey& s, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("blocks").number(s.blocks);
    json.key("capacity").number(s.capacity);
    json.key("clearedEntries").number(s.clearedEntries);
    json.key("deadBytes").number(static_cast<std::int64_t>(s.deadBytes));
    json.key("entries").number(s.entryCount);
    json.key("fileBytes").number(static_cast<std::int64_t>(s.fileBytes));
    json.key("fileCount").number(s.headerFileCount);
    json.key("housingBin").boolean(s.housingBin);
    json.key("multis").beginArray();
    for (const UopSurvey::Multi& multi : s.multis) {
        json.beginObject();
        json.key("components").number(componentsOf(multi));
        json.key("length").number(multi.length);
        json.key("multi").number(multi.multi);
        json.key("storedLength").number(multi.storedLength);
        json.key("tiles").number(multi.tiles);
        json.endObject();
    }
    json.endArray();
    json.key("problems").beginArray();
    for (const UopProblem& problem : s.problems) {
        json.beginObject();
        json.key("kind").utf8(UopProblemKindName(problem.kind));
        json.key("message").utf8(problem.message);
        if (problem.multi) {
            json.key("multi").number(*problem.multi);
        }
        json.key("position").number(static_cast<std::int64_t>(problem.position));
        json.endObject();
    }
    json.endArray();
    json.key("sound").boolean(s.sound());
    json.key("version").number(s.version);
    json.endObject();
    out.put('\n');
}

// Writes the listing, then the verdict: a listing that cannot be written is the one failure before it.
template <typename Survey>
int report(const Survey& survey, bool json, const std::string& files, const Invocation& invocation) {
    if (json) {
        writeJson(survey, invocation.out);
    } else {
        writeText(survey, invocation.out);
    }
    invocation.out.flush();
    if (!survey.sound()) {
        return Fail(files + " " + counted(survey.problems.size(), "problem"));
    }
    return kSuccess;
}

}  // namespace

int RunList(const Invocation& invocation) {
    CommandLine parser(invocation,
                       "Lists the multis of Multi.idx and Multi.mul, or of MultiCollection.uop, and checks "
                       "the files without changing them. Exits 1 when it finds problems.");
    AddClientFileOptions(parser);
    AddRecordSizeOption(parser);
    AddWaitOption(parser);
    AddUopOption(parser,
                 "Lists the client's MultiCollection.uop instead (without --idx and --mul: list one "
                 "source at a time).");
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.parse(0);
    const std::optional<std::filesystem::path> uop = UopPathOf(parser);
    if (uop && (parser.isSet("--idx") || parser.isSet("--mul"))) {
        throw UsageError("--uop and --idx/--mul exclude each other: list one source at a time");
    }
    const std::optional<RecordSize> recordSize = RecordSizeOf(parser);
    const bool json = parser.isSet("--json");

    const std::chrono::milliseconds wait = WaitOf(parser);

    // Read under shared locks, so that a patch in progress is not reported as a problem.
    NativeFileSystem fileSystem;
    if (uop) {
        const UopSurvey survey = [&] {
            const ClientFileLocks locks(fileSystem, std::nullopt, uop, LockKind::Shared, wait);
            return SurveyUop(fileSystem, *uop);
        }();
        return report(survey, json, "MultiCollection.uop has", invocation);
    }
    const ClientFiles files = ClientFilesOf(parser);
    const ClientFilesSurvey survey = [&] {
        const ClientFileLocks locks(fileSystem, files, std::nullopt, LockKind::Shared, wait);
        return SurveyClientFiles(fileSystem, files, recordSize);
    }();
    return report(survey, json, "the client files have", invocation);
}

}  // namespace keelwright::cli
