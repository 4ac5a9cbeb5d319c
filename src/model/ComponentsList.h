#pragma once

#include <bitset>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace keelwright {

// The item ids that mark a multi's tiles as separate components, as read from Components.txt: each entry
// is the upper-cased first word of a line, kept exactly as read (empty entries and duplicates included).
class ComponentsList {
public:
    static constexpr std::size_t kMaxEntries = 32767;

    ComponentsList() = default;
    // Throws Overflow for more than kMaxEntries entries.
    explicit ComponentsList(std::vector<std::string> entries);

    const std::vector<std::string>& entries() const { return entries_; }
    std::int16_t count() const { return static_cast<std::int16_t>(entries_.size()); }
    bool empty() const { return entries_.empty(); }

    // Whether an entry equals the item id's hex form ("0" and upper-case digits, as in "026E").
    bool listsItem(std::uint16_t itemId) const { return listed_[itemId]; }

private:
    std::vector<std::string> entries_;
    std::bitset<65536> listed_;  // by the id's 16-bit pattern, so a lookup costs the same for any list size
};

// Reads a components list from the text of Components.txt: the first line is a heading and is dropped,
// every later line gives one entry. Throws when there is no heading line or too many entries.
ComponentsList ReadComponentsList(std::string_view text, const std::string& fileName);
ComponentsList ReadComponentsList(const std::filesystem::path& path);

// The Components.txt a program reads when none is named: the one beside the program; for a program in a
// bin folder (/usr/bin) that has none beside it, the one in share/keelwright/ beside that folder
// (/usr/share/keelwright/), where the Debian package installs it. When neither is there, the one beside the
// program, so that the message names where it belongs. `exists` asks the file system.
std::filesystem::path DefaultComponentsPath(const std::filesystem::path& programFolder,
                                            const std::function<bool(const std::filesystem::path&)>& exists);

}  // namespace keelwright
