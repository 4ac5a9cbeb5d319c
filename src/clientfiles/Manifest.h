#pragma once

// A shard's custom multis, described once in a TOML file that lives in the shard's repository:
//
//   [client]                            the files to bring in line: idx with mul, uop alone, or all three
//   idx = "client/Multi.idx"
//   mul = "client/Multi.mul"
//   uop = "client/MultiCollection.uop"
//   record-size = 16                    optional, as --record-size
//
//   [scripts]                           optional: the item scripts of every multi, in one file
//   format = "x"                        51a, 54 or x
//   output = "scripts/custom-multis.scp"
//   components = "Components.txt"       optional, as --components
//   scripts-only = false                optional, as --scripts-only
//
//   [[multi]]                           one per multi number
//   number = 0x1400
//   script = "designs/lakeside-mill.wsc"
//   type = "wsc"                        optional: txt, wsc, uoa, uoalib or csv; else from the extension
//   design = "Mill"                     optional: the design of a UO Architect file, by name or position
//   template = 2                        optional: the template of this id, from multi text with several
//   name = "Lakeside Mill"
//   buy = 25000                         with [scripts]: buy and sell, numbers or texts
//   sell = 12500
//   replace = true                      optional: may replace or remove a multi this manifest did not write
//   exact = true                        optional: loaded without centring, flags as the file gives them
//
//   [[multi]]
//   number = 0x1401
//   remove = true                       this number must be free
//
// Paths are relative to the manifest's folder.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/ScriptReaders.h"
#include "mulfiles/RecordLayout.h"
#include "scripts/ItemScripts.h"

namespace keelwright {

// One [[multi]] entry.
struct ManifestEntry {
    std::int64_t line = 0;  // of its [[multi]] header
    std::int32_t number = 0;
    std::filesystem::path script;
    std::optional<ScriptType> type;
    std::string name;  // as Latin-1 bytes, like the other script texts
    std::string buy;
    std::string sell;
    bool remove = false;
    bool replace = false;
    bool exact = false;
    DesignChoice choice;
    std::int64_t numberLine = 0;  // of its number key, which errors about the number name
};

// The [scripts] table.
struct ManifestScripts {
    ScriptFormat format = ScriptFormat::VerX;
    std::filesystem::path output;
    std::optional<std::filesystem::path> components;
    bool scriptsOnly = false;
};

// A manifest read and checked: every path made relative to the manifest's folder.
struct Manifest {
    std::string fileName;  // as errors name it
    std::optional<std::filesystem::path> idx;
    std::optional<std::filesystem::path> mul;
    std::optional<std::filesystem::path> uop;
    std::optional<RecordSize> recordSize;
    std::int64_t clientLine = 0;  // of the [client] header
    std::optional<ManifestScripts> scripts;
    std::vector<ManifestEntry> entries;  // in the manifest's order

    // The entry that has a number, or null.
    const ManifestEntry* entryOf(std::int32_t number) const;
};

// "0x1400": a multi number as the manifest and the plan show it.
std::string MultiHex(std::int32_t number);

// Reads a manifest's text. Paths are joined to `folder`. Throws Error naming `fileName`, the line and the
// key for a TOML error, an unknown key, a missing required key, a value of the wrong type or range, a
// duplicate number and a [client] table that names no files or idx without mul.
Manifest ParseManifest(std::string_view text, const std::string& fileName,
                       const std::filesystem::path& folder);
// Reads the manifest file at the path.
Manifest ReadManifest(const std::filesystem::path& path);

}  // namespace keelwright
