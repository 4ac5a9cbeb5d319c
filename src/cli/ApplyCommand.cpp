#include <chrono>
#include <cstdlib>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/ProgramArguments.h"
#include "clientfiles/ClientFolder.h"
#include "clientfiles/ManifestApply.h"
#include "clientfiles/PlanText.h"
#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopNewEntry.h"

namespace keelwright::cli {
namespace {

// The components list of the scripts: the manifest's, else Components.txt beside the program, as for the
// other commands.
ComponentsList componentsOf(const Manifest& manifest, const Invocation& invocation) {
    if (manifest.scripts && manifest.scripts->components) {
        return ReadComponentsList(*manifest.scripts->components);
    }
    try {
        return ReadComponentsList(DefaultComponentsFile(invocation));
    } catch (const Error& e) {
        Warn(std::string(e.description()) + "; using an empty components list");
        return {};
    }
}

const char* outcomeName(const ApplyResult& result, bool dryRun) {
    if (result.refused > 0) {
        return "refused";
    }
    if (!result.changes()) {
        return "no-changes";
    }
    return dryRun ? "planned" : "applied";
}

void writeText(const ApplyResult& result, const Manifest& manifest, bool dryRun, StandardOutput& out) {
    for (const PlannedMulti& planned : result.plan) {
        out.write(PlanLine(planned) + "\n");
    }
    if (result.refused > 0) {
        return;
    }
    if (!result.changes()) {
        out.write("No changes.\n");
        return;
    }
    out.write((dryRun ? "Would apply: " : "Applied: ") + PlanCountsText(result) + "\n");
    // A line for what was done only once it is done: a scripts file that failed after the client files
    // has the error line instead.
    if (dryRun ? result.scriptsChange : result.scriptsWritten) {
        out.write(std::string(dryRun ? "Would write the scripts to " : "Wrote the scripts to ") +
                  PathText(manifest.scripts->output) + ".\n");
    }
}

// Keys in alphabetical order.
void writeJson(const ApplyResult& result, bool dryRun, StandardOutput& out) {
    JsonWriter json(out);
    json.beginObject();
    json.key("added").number(result.added);
    json.key("dryRun").boolean(dryRun);
    json.key("lockFile").boolean(dryRun ? result.lockChanges : result.lockWritten);
    json.key("multis").beginArray();
    for (const PlannedMulti& planned : result.plan) {
        const ManifestEntry& entry = *planned.entry;
        json.beginObject();
        json.key("hex").utf8(MultiHex(entry.number));
        json.key("line").number(entry.line);
        json.key("multi").number(entry.number);
        json.key("name");
        entry.remove ? json.null() : json.latin1(entry.name);
        json.key("outcome").utf8(PlanOutcomeName(planned.outcome));
        if (!planned.refusal.empty()) {
            json.key("reason").utf8(planned.refusal);
        }
        json.key("tiles");
        entry.remove ? json.null() : json.number(planned.tiles);
        json.key("was");
        planned.was ? json.number(*planned.was) : json.null();
        json.endObject();
    }
    json.endArray();
    json.key("outcome").utf8(outcomeName(result, dryRun));
    json.key("refused").number(result.refused);
    json.key("removed").number(result.removed);
    json.key("replaced").number(result.replaced);
    json.key("scriptsFile").boolean(dryRun ? result.scriptsChange : result.scriptsWritten);
    json.key("unchanged").number(result.unchanged);
    json.endObject();
    out.put('\n');
}

}  // namespace

int RunApply(const Invocation& invocation) {
    CommandLine parser(
        invocation,
        "Makes the client files match a manifest of a shard's multis: prints the plan (+ added, ~ replaced, "
        "- removed, = unchanged), then writes every change in one transaction, all or nothing, and records "
        "what it wrote in MANIFEST.lock. A multi that this manifest did not write is replaced or removed "
        "only "
        "when its entry says replace = true. With nothing to change nothing is written.");
    parser.addFlag("--dry-run", "Prints the plan and writes nothing.");
    parser.addFlag("--json", "Writes one JSON object instead of text for people.");
    parser.addOption("--client",
                     "Writes the client files found in DIR (Multi.idx, Multi.mul, MultiCollection.uop, "
                     "whatever their letter case) instead of those [client] names; the same lock file "
                     "counts.",
                     "DIR");
    AddWaitOption(parser);
    parser.addPositional("MANIFEST", "The manifest (*.toml) of the shard's multis.");
    parser.parse(1);
    ApplyOptions options;
    options.dryRun = parser.isSet("--dry-run");
    options.waitSeconds = std::chrono::duration<double>(WaitOf(parser)).count();
    options.fileTime = NewEntryFileTime(invocation.sourceDateEpoch, std::chrono::system_clock::now());
    const std::filesystem::path manifestPath = PathOfArgument(parser.positionals().front());

    Manifest manifest = ReadManifest(manifestPath);
    if (parser.isSet("--client")) {
        manifest =
            WithClientFiles(std::move(manifest), ClientFilesIn(PathOfArgument(parser.value("--client"))));
    }
    const ComponentsList components = componentsOf(manifest, invocation);
    options.componentsFile = DefaultComponentsFile(invocation);
    NativeFileSystem fileSystem;
    const ApplyResult result = ApplyManifest(fileSystem, manifestPath, manifest, components, options);
    for (const PlannedMulti& planned : result.plan) {
        for (const std::string& warning : planned.warnings) {
            Warn(warning);
        }
    }
    try {
        if (parser.isSet("--json")) {
            writeJson(result, options.dryRun, invocation.out);
        } else {
            writeText(result, manifest, options.dryRun, invocation.out);
        }
        invocation.out.flush();
    } catch (const Error& e) {
        if (!result.changes() || options.dryRun) {
            throw;
        }
        return Fail("the manifest was applied, but its result could not be shown (" + e.description() + ")");
    }
    if (result.refused > 0) {
        return Fail("the plan is refused (" + NumberText(result.refused) + " of " +
                    NumberText(static_cast<std::int64_t>(result.plan.size())) +
                    " entries); nothing was written");
    }
    if (result.lateFailure) {
        return Fail("the client files were applied, but " + result.lateFailure->description() +
                    "; run apply again to finish");
    }
    return kSuccess;
}

}  // namespace keelwright::cli
