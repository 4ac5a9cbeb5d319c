#include "clientfiles/ManifestLock.h"

#include <algorithm>
#include <cstdio>

#include <nlohmann/json.hpp>

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright {
namespace {

Error badLock(const std::string& fileName, const std::string& reason) {
    return Error(ErrorNumber::InvalidFileFormat, "is not a lock file of a manifest: " + reason +
                                                     " (remove it only if no multi of the manifest is in the "
                                                     "client files)")
        .at(fileName);
}

// The files, tiles and hash of a multi or of one it was.
LockedMulti lockedTiles(const nlohmann::json& multi, const std::string& fileName) {
    if (!multi.is_object() || !multi.contains("tiles") || !multi["tiles"].is_number_integer() ||
        !multi.contains("hash") || !multi["hash"].is_string() || !multi.contains("files") ||
        !multi["files"].is_array()) {
        throw badLock(fileName, "an entry lacks number, files, tiles or hash");
    }
    LockedMulti locked;
    for (const nlohmann::json& file : multi["files"]) {
        if (!file.is_string()) {
            throw badLock(fileName, "a file is not a text");
        }
        locked.files.push_back(file.get<std::string>());
    }
    locked.tiles = multi["tiles"].get<std::int32_t>();
    locked.hash = multi["hash"].get<std::string>();
    return locked;
}

nlohmann::json tilesJson(const LockedMulti& locked) {
    return {{"files", locked.files}, {"hash", locked.hash}, {"tiles", locked.tiles}};
}

}  // namespace

bool LockedMulti::holds(std::string_view file) const {
    return std::find(files.begin(), files.end(), file) != files.end();
}

bool LockedMulti::owns(std::string_view file, std::string_view tileHash) const {
    return (holds(file) && hash == tileHash) ||
           std::any_of(was.begin(), was.end(),
                       [&](const LockedMulti& old) { return old.owns(file, tileHash); });
}

ManifestLock LockWhileWriting(const ManifestLock& before, const ManifestLock& after) {
    ManifestLock pending = after;
    for (const auto& [number, old] : before) {
        const auto [locked, added] = pending.try_emplace(number, old);
        if (added || locked->second == old) {
            continue;  // a removal keeps the old tiles named until it is done; an unchanged entry stays
        }
        LockedMulti& now = locked->second;
        std::vector<LockedMulti> olds = old.was;
        olds.insert(olds.begin(), LockedMulti{old.files, old.tiles, old.hash});
        for (const LockedMulti& state : olds) {
            const bool named = (state.files == now.files && state.hash == now.hash) ||
                               std::find(now.was.begin(), now.was.end(), state) != now.was.end();
            if (!named) {
                now.was.push_back(state);
            }
        }
    }
    return pending;
}

std::string TileHash(std::span<const UopTile> tiles) {
    // FNV-1a over 64-bit words, one word a tile and one a part id: the hash of a multi of 300 tiles costs
    // next to nothing beside loading its script.
    std::uint64_t hash = 0xCBF29CE484222325ULL;
    const auto add = [&](std::uint64_t word) {
        hash = (hash ^ word) * 0x100000001B3ULL;
        hash ^= hash >> 29;
    };
    for (const UopTile& tile : tiles) {
        add(std::uint64_t{tile.ItemId} | std::uint64_t{static_cast<std::uint16_t>(tile.X)} << 16 |
            std::uint64_t{static_cast<std::uint16_t>(tile.Y)} << 32 |
            std::uint64_t{static_cast<std::uint16_t>(tile.Z)} << 48);
        add(std::uint64_t{tile.Flags} | std::uint64_t{tile.Parts.size()} << 16);
        for (const std::uint32_t part : tile.Parts) {
            add(part);
        }
    }
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

ManifestLock ParseManifestLock(std::string_view text, const std::string& fileName) {
    const nlohmann::json json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object() || !json.contains("multis") || !json["multis"].is_array()) {
        throw badLock(fileName, "it is not a JSON object with a list \"multis\"");
    }
    ManifestLock lock;
    for (const nlohmann::json& multi : json["multis"]) {
        if (!multi.is_object() || !multi.contains("number") || !multi["number"].is_number_integer()) {
            throw badLock(fileName, "an entry lacks number, files, tiles or hash");
        }
        LockedMulti locked = lockedTiles(multi, fileName);
        if (multi.contains("was")) {
            if (!multi["was"].is_array()) {
                throw badLock(fileName, "\"was\" is not a list");
            }
            for (const nlohmann::json& old : multi["was"]) {
                locked.was.push_back(lockedTiles(old, fileName));
            }
        }
        const auto number = multi["number"].get<std::int64_t>();
        if (number < 0 || number > std::numeric_limits<std::int32_t>::max() ||
            !lock.emplace(static_cast<std::int32_t>(number), locked).second) {
            throw badLock(fileName, "multi number " + NumberText(number) + " is out of range or twice");
        }
    }
    return lock;
}

std::string ManifestLockText(const ManifestLock& lock) {
    std::string text = "{\"multis\": [";
    const char* separator = "\n";
    for (const auto& [number, locked] : lock) {
        nlohmann::json multi = tilesJson(locked);
        multi["number"] = number;
        if (!locked.was.empty()) {
            nlohmann::json& was = multi["was"] = nlohmann::json::array();
            for (const LockedMulti& old : locked.was) {
                was.push_back(tilesJson(old));
            }
        }
        text += separator;
        text += "  " + multi.dump();
        separator = ",\n";
    }
    return text + (lock.empty() ? "]}\n" : "\n]}\n");
}

}  // namespace keelwright
