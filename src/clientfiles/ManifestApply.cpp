#include "clientfiles/ManifestApply.h"

#include "clientfiles/ClientFileLocks.h"

#include <map>

#include "model/ComponentTable.h"
#include "model/DesignList.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/OutputPaths.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"
#include "scripts/ItemScripts.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

// The whole file, or nothing when there is none.
std::optional<std::string> contentsOf(FileSystem& fileSystem, const std::filesystem::path& path) {
    if (!fileSystem.exists(path)) {
        return std::nullopt;
    }
    const std::unique_ptr<RandomAccessFile> file = fileSystem.open(path, OpenMode::Read);
    std::string text(static_cast<std::size_t>(file->size()), '\0');
    file->readAt(0, std::span(reinterpret_cast<std::uint8_t*>(text.data()), text.size()));
    return text;
}

PatchTargets targetsOf(const Manifest& manifest) {
    PatchTargets targets;
    if (manifest.idx) {
        targets.mul = ClientFiles{*manifest.idx, *manifest.mul};
    }
    targets.uop = manifest.uop;
    return targets;
}

Error atEntry(const Manifest& manifest, const ManifestEntry& entry, const Error& cause) {
    return Error(cause.number(), "multi " + MultiHex(entry.number) + ": " + cause.description())
        .at(manifest.fileName, entry.line);
}

// The entries refused before the plan, with why, when ApplyOptions::refuseFailingEntries asks for them.
using FailedEntries = std::map<const ManifestEntry*, std::string>;

// Throws the error of an entry, or keeps it as the entry's refusal in `failed` when given.
void failEntry(FailedEntries* failed, const ManifestEntry& entry, const Error& error) {
    if (failed == nullptr) {
        throw error;
    }
    failed->emplace(&entry, error.description());
}

// Every number must have its slot in Multi.idx, which a patch never grows.
void checkNumbers(FileSystem& fileSystem, const Manifest& manifest, const PatchTargets& targets,
                  FailedEntries* failed) {
    if (!targets.mul) {
        return;
    }
    RecordFile index(fileSystem, targets.mul->multiIdx, OpenMode::Read);
    const std::int64_t slots = index.wholeRecords();
    for (const ManifestEntry& entry : manifest.entries) {
        if (SlotOfMultiNumber(entry.number) > slots) {
            failEntry(
                failed, entry,
                Error(ErrorNumber::BadRecordNumber,
                      "[[multi]] number: " + MultiHex(entry.number) + " has no slot in " + index.name() +
                          ", which holds multis 0x0 to " + MultiHex(static_cast<std::int32_t>(slots - 1)))
                    .at(manifest.fileName, entry.numberLine));
        }
    }
}

// Tells the caller where the run is; a caller's "stop" before the writing throws, nothing written.
void report(const ApplyOptions& options, ApplyProgress progress) {
    if (options.progress && !options.progress(progress) && !progress.writing) {
        throw Error(ErrorNumber::Cancelled, "cancelled: nothing was written");
    }
}

struct Loaded {
    std::vector<LoadedEntry> entries;
    std::string scripts;  // the text of the scripts file
};

Loaded loadEntries(const Manifest& manifest, const ComponentsList& components, RecordSize size,
                   FailedEntries* failed, const ApplyOptions& options) {
    Loaded loaded;
    const int total = static_cast<int>(manifest.entries.size());
    int done = 0;
    for (const ManifestEntry& entry : manifest.entries) {
        report(options,
               {entry.remove ? "Planning" : "Loading " + PathText(entry.script.filename()), done++, total});
        LoadedEntry l{&entry, {}, {}, 0};
        if (failed != nullptr && failed->contains(&entry)) {
            continue;
        }
        if (entry.remove) {
            loaded.entries.push_back(std::move(l));
            continue;
        }
        ComponentTable table;
        try {
            LoadOptions load;
            load.exact = entry.exact;
            load.choice = entry.choice;
            LoadMulti(entry.script, entry.type, table, components, {}, load);
            l.block = entry.exact ? EncodeExactMultiData(table, size) : EncodeMultiData(table, size);
            l.tiles = UopTilesOfBlock(l.block, size);
            if (manifest.scripts) {
                ScriptDetails details{entry.name,
                                      entry.buy,
                                      entry.sell,
                                      manifest.scripts->scriptsOnly,
                                      SlotOfMultiNumber(entry.number),
                                      components.count()};
                loaded.scripts += CreateScript(manifest.scripts->format, details, table);
            }
        } catch (const SeveralDesignsError& e) {
            const bool templates = e.designs().kind == DesignList::Kind::Templates;
            failEntry(
                failed, entry,
                atEntry(manifest, entry,
                        Error(e.number(), e.reason() + (templates ? "; choose one with template = ID"
                                                                  : "; choose one with design = NAME|N"))));
            continue;
        } catch (const Error& e) {
            failEntry(failed, entry, atEntry(manifest, entry, e));
            continue;
        }
        l.components = table.Count;
        loaded.entries.push_back(std::move(l));
    }
    return loaded;
}

// The lock file after the plan: each entry's number given to this manifest or, for a removal, taken back.
ManifestLock lockAfter(ManifestLock lock, const std::vector<PlannedMulti>& plan,
                       const std::vector<LoadedEntry>& loaded, const PatchTargets& targets) {
    for (std::size_t k = 0; k < plan.size(); ++k) {
        const ManifestEntry& entry = *plan[k].entry;
        if (entry.remove) {
            lock.erase(entry.number);
            continue;
        }
        LockedMulti locked;
        if (targets.mul) {
            locked.files.emplace_back("mul");
        }
        if (targets.uop) {
            locked.files.emplace_back("uop");
        }
        locked.tiles = loaded[k].components;
        locked.hash = TileHash(loaded[k].tiles);
        lock[entry.number] = locked;
    }
    return lock;
}

// Puts the refused entries that did not load among the planned ones, in the manifest's order.
void withFailedEntries(std::vector<PlannedMulti>& plan, const Manifest& manifest,
                       const FailedEntries& failed) {
    if (failed.empty()) {
        return;
    }
    std::vector<PlannedMulti> all;
    auto planned = plan.begin();
    for (const ManifestEntry& entry : manifest.entries) {
        if (const auto found = failed.find(&entry); found != failed.end()) {
            all.push_back(PlannedMulti{&entry, PlanOutcome::Refused, 0, std::nullopt, found->second, {}, {}});
        } else {
            all.push_back(std::move(*planned++));
        }
    }
    plan = std::move(all);
}

void count(ApplyResult& result) {
    for (const PlannedMulti& planned : result.plan) {
        int* counters[] = {&result.added, &result.replaced, &result.removed, &result.unchanged,
                           &result.refused};
        ++*counters[static_cast<int>(planned.outcome)];
        result.clientFilesChange = result.clientFilesChange || planned.change.mul != MulChange::None ||
                                   planned.change.uop != UopChange::None;
    }
}

// The lock and scripts files are replaced whole, so each must be none of the files the run reads or
// writes: the manifest, the client files, the scripts and the components list it loads, and the other.
void refuseOutputsAmongInputs(FileSystem& fileSystem, const std::filesystem::path& manifestPath,
                              const Manifest& manifest, const ApplyOptions& options) {
    std::vector<std::filesystem::path> inputs = {manifestPath};
    for (const auto& file : {manifest.idx, manifest.mul, manifest.uop}) {
        if (file) {
            inputs.push_back(*file);
        }
    }
    if (manifest.scripts) {
        const std::optional<std::filesystem::path>& components = manifest.scripts->components;
        if (components || options.componentsFile) {
            inputs.push_back(components ? *components : *options.componentsFile);
        }
    }
    for (const ManifestEntry& entry : manifest.entries) {
        if (!entry.remove) {
            inputs.push_back(entry.script);
        }
    }
    const std::filesystem::path lockPath = LockPathOf(manifestPath);
    for (const std::filesystem::path& input : inputs) {
        if (WouldReplace(fileSystem, lockPath, input)) {
            throw Error(ErrorNumber::PathAccess,
                        "the lock file is " + PathText(input) + ", which apply reads; nothing was written")
                .at(PathText(lockPath));
        }
    }
    if (!manifest.scripts) {
        return;
    }
    inputs.push_back(lockPath);
    for (const std::filesystem::path& input : inputs) {
        if (WouldReplace(fileSystem, manifest.scripts->output, input)) {
            throw Error(ErrorNumber::PathAccess,
                        "[scripts] output: names " + PathText(input) + ", which apply reads or writes")
                .at(manifest.fileName);
        }
    }
}

// After a failed transaction, which put every client file back, the lock goes back as well. Should that
// fail, the lock keeps naming the old tiles and the new, which holds too.
void putBackLock(FileSystem& fileSystem, const std::filesystem::path& lockPath,
                 const std::optional<std::string>& text) {
    try {
        if (text) {
            WriteFileAtomically(fileSystem, lockPath, *text);
        } else {
            fileSystem.removeQuietly(lockPath);
        }
    } catch (const Error&) {
        return;
    }
}

}  // namespace

std::filesystem::path LockPathOf(const std::filesystem::path& manifest) {
    std::filesystem::path lock = manifest;
    lock += ".lock";
    return lock;
}

ApplyResult ApplyManifest(FileSystem& fileSystem, const std::filesystem::path& manifestPath,
                          const Manifest& manifest, const ComponentsList& components,
                          const ApplyOptions& options) {
    const PatchTargets targets = targetsOf(manifest);
    // The client files stay locked for the whole run, from the plan to the last flush: shared for a dry run,
    // which only reads, else exclusive.
    const ClientFileLocks locks(
        fileSystem, targets.mul, targets.uop, options.dryRun ? LockKind::Shared : LockKind::Exclusive,
        std::chrono::milliseconds(static_cast<std::int64_t>(options.waitSeconds * 1000)));

    refuseOutputsAmongInputs(fileSystem, manifestPath, manifest, options);
    FailedEntries failedEntries;
    FailedEntries* failed = options.refuseFailingEntries ? &failedEntries : nullptr;
    checkNumbers(fileSystem, manifest, targets, failed);
    const RecordSize size =
        targets.mul ? DecideRecordSize(fileSystem, *targets.mul, manifest.recordSize).sizeForPatch()
                    : RecordSize::Twelve;
    const Loaded loaded = loadEntries(manifest, components, size, failed, options);
    report(options, {"Planning", static_cast<int>(manifest.entries.size()),
                     static_cast<int>(manifest.entries.size())});

    const std::filesystem::path lockPath = LockPathOf(manifestPath);
    const std::optional<std::string> lockText = contentsOf(fileSystem, lockPath);
    const ManifestLock lock = lockText ? ParseManifestLock(*lockText, PathText(lockPath)) : ManifestLock{};

    ApplyResult result;
    result.scriptsText = loaded.scripts;
    result.plan = PlanApply(fileSystem, targets, size, loaded.entries, lock, options.fileTime);
    withFailedEntries(result.plan, manifest, failedEntries);
    count(result);
    if (result.refused > 0) {
        result.clientFilesChange = false;
        return result;
    }
    const ManifestLock newLock = lockAfter(lock, result.plan, loaded.entries, targets);
    const std::string newLockText = ManifestLockText(newLock);
    result.lockChanges = newLockText != lockText;
    result.scriptsChange =
        manifest.scripts && contentsOf(fileSystem, manifest.scripts->output) != std::optional(loaded.scripts);
    if (options.dryRun || !result.changes()) {
        return result;
    }

    // The new lock and scripts files are created before the transaction, so that a folder that cannot take
    // them stops the run while the client files are untouched. Before the first client file is touched, the
    // lock names the old tiles and the new of every number that changes, so that whatever a crash leaves,
    // either version of the manifest owns its numbers.
    report(options, {"Writing the client files", static_cast<int>(manifest.entries.size()),
                     static_cast<int>(manifest.entries.size()), true});
    std::optional<AtomicFile> lockFile;
    std::optional<AtomicFile> scriptsFile;
    if (result.scriptsChange) {
        scriptsFile.emplace(fileSystem, manifest.scripts->output);
    }
    const std::optional<std::string> lockOnDisk =
        result.clientFilesChange ? std::optional(ManifestLockText(LockWhileWriting(lock, newLock)))
                                 : lockText;
    if (newLockText != lockOnDisk) {
        lockFile.emplace(fileSystem, lockPath);
    }
    if (lockOnDisk != lockText) {
        WriteFileAtomically(fileSystem, lockPath, *lockOnDisk);
    }
    if (result.clientFilesChange) {
        std::vector<MultiChange> changes;
        for (PlannedMulti& planned : result.plan) {
            if (planned.change.mul != MulChange::None || planned.change.uop != UopChange::None) {
                changes.push_back(std::move(planned.change));
            }
        }
        try {
            result.counts = WriteMultiTransaction(fileSystem, targets, size, changes);
        } catch (const Error&) {
            if (lockOnDisk != lockText) {
                putBackLock(fileSystem, lockPath, lockText);
            }
            throw;
        }
    }
    try {
        if (lockFile) {
            lockFile->commit(newLockText);
        }
        result.lockWritten = result.lockChanges;
        if (scriptsFile) {
            scriptsFile->commit(loaded.scripts);
            result.scriptsWritten = true;
        }
    } catch (const Error& e) {
        if (!result.clientFilesChange) {
            throw;
        }
        result.lateFailure = e;
    }
    return result;
}

}  // namespace keelwright
