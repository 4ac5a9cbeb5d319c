#pragma once

// What an apply wrote, kept beside the manifest in <manifest>.lock, so that the next apply replaces or
// removes only its own multis. JSON, one object per multi number, sorted by number:
//   {"multis": [
//     {"files": ["mul", "uop"], "hash": "9f0c1e2d3b4a5968", "number": 5120, "tiles": 26}
//   ]}
// `files` are those that hold the multi ("mul" for Multi.idx and Multi.mul, "uop" for MultiCollection.uop),
// `tiles` its components (the lead record not counted) and `hash` TileHash of its tiles as written.
// While an apply writes the client files, a number it changes also has "was", a list of such objects
// without "number" and "was": what the lock gave the number before. A crash then leaves a lock that
// names both the old and the new tiles, so that either version of the manifest owns the number, whichever
// of the two the crash left there. The apply's last write of the lock drops every "was".

#include <cstdint>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "uop/UopTile.h"

namespace keelwright {

// What the lock file says of one multi number.
struct LockedMulti {
    std::vector<std::string> files;
    std::int32_t tiles = 0;
    std::string hash;
    // While an apply writes: what the number held before, each without a `was` of its own.
    std::vector<LockedMulti> was = {};

    bool holds(std::string_view file) const;
    // Whether the tiles of `hash` in `file` are this manifest's: the ones the lock names, or one it was.
    bool owns(std::string_view file, std::string_view hash) const;
    bool operator==(const LockedMulti&) const = default;
};

// The lock file's contents by multi number.
using ManifestLock = std::map<std::int32_t, LockedMulti>;

// Sixteen hexadecimal digits of a 64-bit hash of the tiles (every field, the part ids included), the
// lead record included: the same tiles give the same hash in Multi.mul and in MultiCollection.uop.
std::string TileHash(std::span<const UopTile> tiles);

// Reads the text of a lock file. Throws Error naming `fileName` for text that is not such a file.
ManifestLock ParseManifestLock(std::string_view text, const std::string& fileName);
// The text of the lock file, each multi on a line of its own, LF line ends (it lives in a repository).
std::string ManifestLockText(const ManifestLock& lock);
// The lock while an apply writes the client files, from the lock before and the lock after it: every number
// of either, and where the two differ, the new one with what the old named as `was`.
ManifestLock LockWhileWriting(const ManifestLock& before, const ManifestLock& after);

}  // namespace keelwright
