#pragma once

// `apply`: makes the client files match a manifest in one safe step. In order:
//   1. every number checked against the files (a slot past the end of Multi.idx), before any script loads;
//   2. every script loaded and its block encoded, and the item scripts built, before any file is written;
//   3. the plan (ApplyPlan.h), refused as a whole when any entry is refused;
//   4. the lock file naming the old tiles and the new of every number the transaction changes (whole or not
//      at all), then the client files in one transaction (MultiTransaction.h);
//   5. the lock file naming only the new tiles, whole or not at all, when what it would say changed;
//   6. the scripts file, whole or not at all, when its text changed.
// With nothing to change, nothing is written at all. A run that a crash stopped anywhere is finished by the
// next apply of the same manifest (the numbers done are unchanged then, the others still to do), or undone
// by an apply of the version before it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "clientfiles/ApplyPlan.h"
#include "clientfiles/Manifest.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "mulfiles/FileSystem.h"

namespace keelwright {

// Where an apply is: `step` in words ("Loading a.txt", "Planning", "Writing the client files"), `done` of
// `total` scripts loaded. From `writing` on, the run can no longer be cancelled.
struct ApplyProgress {
    std::string step;
    int done = 0;
    int total = 0;
    bool writing = false;
};

struct ApplyOptions {
    bool dryRun = false;
    double waitSeconds = 0;     // how long to wait for the locks of the client files
    std::int64_t fileTime = 0;  // the time stamp of new UOP entries, a Windows FILETIME
    // The components list loaded when the manifest names none (Components.txt beside the program), which
    // the scripts output must not replace.
    std::optional<std::filesystem::path> componentsFile;
    // An entry whose number has no slot in Multi.idx or whose script does not load is refused in the plan,
    // with the error as its reason, instead of stopping the run: the window shows every entry's state.
    bool refuseFailingEntries = false;
    // Told each step; answering false before `writing` stops the run with ErrorNumber::Cancelled, nothing
    // written. Its answer once the writing has begun is not heeded.
    std::function<bool(const ApplyProgress&)> progress;
};

// What an apply planned and did.
struct ApplyResult {
    std::vector<PlannedMulti> plan;  // in the manifest's order
    int added = 0;
    int replaced = 0;
    int removed = 0;
    int unchanged = 0;
    int refused = 0;
    bool clientFilesChange = false;  // written, or with a dry run to be written
    bool lockChanges = false;
    bool scriptsChange = false;
    bool lockWritten = false;          // the lock file was replaced (never with a dry run)
    bool scriptsWritten = false;       // the scripts file was replaced (never with a dry run)
    WriteCounts counts;                // what the transaction wrote
    std::optional<Error> lateFailure;  // the lock or scripts file failed after the client files were written
    std::string scriptsText;           // the text of the scripts file, of the entries that loaded

    // Whether anything was (or, with a dry run, would be) written.
    bool changes() const { return clientFilesChange || lockChanges || scriptsChange; }
};

// The lock file of a manifest: "<manifest>.lock" beside it.
std::filesystem::path LockPathOf(const std::filesystem::path& manifest);

// Applies the manifest read from `manifestPath`, loading its scripts with `components` unless the manifest
// names a components list. Throws Error, writing nothing, for anything found before the transaction; a
// failed transaction leaves every file as it was. A refused plan writes nothing and returns with `refused`
// set.
ApplyResult ApplyManifest(FileSystem& fileSystem, const std::filesystem::path& manifestPath,
                          const Manifest& manifest, const ComponentsList& components,
                          const ApplyOptions& options);

}  // namespace keelwright
