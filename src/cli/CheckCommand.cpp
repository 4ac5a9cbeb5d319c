#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "clientfiles/ClientFileLocks.h"
#include "clientfiles/ReaderCheck.h"
#include "clientfiles/ReaderCheckReport.h"
#include "mulfiles/NativeFileSystem.h"

namespace keelwright::cli {
namespace {

void multiOrNull(JsonWriter& json, const std::optional<std::int32_t>& multi) {
    json.key("multi");
    if (multi) {
        json.number(*multi);
    } else {
        json.null();
    }
}

// The keys of every object in alphabetical order, as list writes them.
void writeJson(const ReaderCheck& check, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("clean").boolean(check.clean());
    json.key("disagreements").beginArray();
    for (const FileDisagreement& disagreement : check.disagreements) {
        json.beginObject();
        json.key("kind").utf8(DisagreementKindName(disagreement.kind));
        json.key("message").utf8(disagreement.reason);
        json.key("multi").number(disagreement.multi);
        json.endObject();
    }
    json.endArray();
    json.key("readers").beginArray();
    for (const ReaderView& view : check.readers) {
        json.beginObject();
        json.key("checked").boolean(view.checked);
        json.key("clean").boolean(view.clean());
        json.key("findings").beginArray();
        for (const ReaderFinding& finding : view.findings) {
            json.beginObject();
            json.key("message").utf8(finding.reason);
            multiOrNull(json, finding.multi);
            json.endObject();
        }
        json.endArray();
        json.key("name").utf8(ReaderName(view.reader));
        json.key("numbers").utf8(view.numbers);
        json.key("reader").utf8(ReaderKey(view.reader));
        json.key("reads").utf8(view.reads);
        json.endObject();
    }
    json.endArray();
    json.endObject();
    out.put('\n');
}

}  // namespace

int RunCheck(const Invocation& invocation) {
    CommandLine parser(invocation,
                       "Tells how each program that reads the client files will read them (Sphere, the game "
                       "client and ClassicUO from 7.0 on, clients before 7.0, ServUO, ModernUO, POL): which "
                       "file it reads, in which record size, which numbers it sees, and every multi it sees "
                       "otherwise than the files hold it; then where Multi.mul and MultiCollection.uop "
                       "disagree. Only reads. Exits 1 when a reader sees the files otherwise or they "
                       "disagree.");
    AddClientFileOptions(parser);
    AddRecordSizeOption(parser);
    AddUopOption(parser, "The client's MultiCollection.uop (alone, or with --idx and --mul).");
    AddWaitOption(parser);
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.parse(0);
    const PatchTargets targets = TargetsOf(parser);
    const std::optional<RecordSize> recordSize = RecordSizeOf(parser);
    const std::chrono::milliseconds wait = WaitOf(parser);

    NativeFileSystem fileSystem;
    const ReaderCheck check = [&] {
        const ClientFileLocks locks(fileSystem, targets.mul, targets.uop, LockKind::Shared, wait);
        return CheckReaders(fileSystem, targets, recordSize);
    }();
    if (parser.isSet("--json")) {
        writeJson(check, invocation.out);
    } else {
        invocation.out.write(ReaderCheckText(check));
    }
    invocation.out.flush();
    return check.clean() ? kSuccess : Fail(ReaderCheckSummary(check));
}

}  // namespace keelwright::cli
