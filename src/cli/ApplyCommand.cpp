#include <chrono>
#include <cstdlib>

#include "cli/CliSupport.h"
#include "cli/ClientFileOptions.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/ProgramArguments.h"
#include "clientfiles/ManifestApply.h"
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

// A Latin-1 script text as UTF-8, for the terminal.
std::string utf8Of(std::string_view latin1) {
    std::string text;
    for (const char c : latin1) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x80) {
            text.push_back(c);
        } else {
            text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
            text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        }
    }
    return text;
}

std::string tilesText(const std::optional<std::int32_t>& tiles) {
    return tiles ? NumberText(*tiles) + " tiles" : "a damaged multi";
}

// "+ 0x1400 Lakeside Mill: 26 tiles", "~ 0x1401 Stone Tower: 44 tiles, was 42", "= 0x1402 Small Boat",
// "- 0x1403: was 12 tiles", "! 0x1404 Keep: multi 0x1404 holds ...".
std::string planLine(const PlannedMulti& planned) {
    const ManifestEntry& entry = *planned.entry;
    std::string line = std::string(PlanSign(planned.outcome)) + " " + MultiHex(entry.number);
    if (!entry.remove) {
        line += " " + utf8Of(entry.name);
    }
    switch (planned.outcome) {
        case PlanOutcome::Added:
            return line + ": " + NumberText(planned.tiles) + " tiles";
        case PlanOutcome::Replaced:
            return line + ": " + NumberText(planned.tiles) + " tiles, was " +
                   (planned.was ? NumberText(*planned.was) : tilesText(planned.was));
        case PlanOutcome::Removed:
            return line + ": was " + tilesText(planned.was);
        case PlanOutcome::Refused:
            return line + ": " + planned.refusal;
        case PlanOutcome::Unchanged:
            break;
    }
    return line;
}

std::string countsText(const ApplyResult& result) {
    return NumberText(result.added) + " added, " + NumberText(result.replaced) + " replaced, " +
           NumberText(result.removed) + " removed, " + NumberText(result.unchanged) + " unchanged.";
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
        out.write(planLine(planned) + "\n");
    }
    if (result.refused > 0) {
        return;
    }
    if (!result.changes()) {
        out.write("No changes.\n");
        return;
    }
    out.write((dryRun ? "Would apply: " : "Applied: ") + countsText(result) + "\n");
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
    AddWaitOption(parser);
    parser.addPositional("MANIFEST", "The manifest (*.toml) of the shard's multis.");
    parser.parse(1);
    ApplyOptions options;
    options.dryRun = parser.isSet("--dry-run");
    options.waitSeconds = std::chrono::duration<double>(WaitOf(parser)).count();
    options.fileTime = NewEntryFileTime(invocation.sourceDateEpoch, std::chrono::system_clock::now());
    const std::filesystem::path manifestPath = PathOfArgument(parser.positionals().front());

    const Manifest manifest = ReadManifest(manifestPath);
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
