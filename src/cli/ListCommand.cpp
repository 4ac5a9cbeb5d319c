#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "model/NumberText.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"

namespace keelwright::cli {
namespace {

std::string counted(std::size_t n, const std::string& noun) {
    return NumberText(static_cast<std::int64_t>(n)) + " " + noun + (n == 1 ? "" : "s");
}

std::string rightAligned(const std::string& text, std::size_t width) {
    return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

void writeText(const ClientFilesSurvey& s, StandardOutput& out) {
    std::string head = "Multi.idx: " + NumberText(s.slotCount) + " slots: " + NumberText(s.usedCount) +
                       " used, " + NumberText(s.freeCount) + " free, " + NumberText(s.zeroCount) +
                       " zero records; first free slot ";
    head += s.firstFreeSlot ? NumberText(*s.firstFreeSlot) + " (multi " +
                                  NumberText(MultiNumberOfSlot(*s.firstFreeSlot)) + ", item " +
                                  ItemHexOfSlot(*s.firstFreeSlot) + ")"
                            : std::string("none");
    head += "\nMulti.mul: " + NumberText(static_cast<std::int64_t>(s.dataBytes)) +
            " bytes; first free record " + NumberText(s.firstFreeRecord) + "\n";
    out.write(head);
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
    if (s.sound()) {
        out.write("\nNo problems found.\n");
    } else {
        out.write("\n" + counted(s.problems.size(), "problem") + ":\n");
        for (const SurveyProblem& problem : s.problems) {
            out.write("  " + problem.message + "\n");
        }
    }
}

// The keys of every object in alphabetical order, as the JSON has always had them.
void writeJson(const ClientFilesSurvey& s, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("dataBytes").number(static_cast<std::int64_t>(s.dataBytes));
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
    json.key("slots").number(s.slotCount);
    json.key("sound").boolean(s.sound());
    json.key("used").number(s.usedCount);
    json.key("zeroRecords").number(s.zeroCount);
    json.endObject();
    out.put('\n');
}

}  // namespace

int RunList(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Lists the multis of Multi.idx and Multi.mul and checks both files without changing them. "
        "Exits 1 when it finds problems.");
    AddClientFileOptions(parser);
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.parse(0);
    const ClientFiles files = ClientFilesOf(parser);

    NativeFileSystem fileSystem;
    const ClientFilesSurvey survey = SurveyClientFiles(fileSystem, files);
    if (parser.isSet("--json")) {
        writeJson(survey, invocation.out);
    } else {
        writeText(survey, invocation.out);
    }
    // The listing must be out before the verdict: a listing that cannot be written is the one failure.
    invocation.out.flush();
    if (!survey.sound()) {
        return Fail("the client files have " + counted(survey.problems.size(), "problem"));
    }
    return kSuccess;
}

}  // namespace keelwright::cli
