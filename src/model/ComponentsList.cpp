#include "model/ComponentsList.h"

#include <charconv>

#include "model/Error.h"
#include "model/NumberText.h"
#include "model/PathText.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

// The 16-bit id whose hex form the entry is, if it is one.
bool itemIdOfHexForm(const std::string& entry, std::uint16_t& itemId) {
    if (entry.size() < 2 || entry.size() > 5 || entry.front() != '0') {
        return false;
    }
    unsigned value = 0;
    const char* first = entry.data() + 1;
    const char* last = entry.data() + entry.size();
    const auto [end, ec] = std::from_chars(first, last, value, 16);
    if (ec != std::errc() || end != last || value > 0xFFFF) {
        return false;
    }
    itemId = static_cast<std::uint16_t>(value);
    return entry.compare(1, std::string::npos, Hex16(itemId)) == 0;
}

std::string upperCased(std::string_view word) {
    std::string upper(word);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

ComponentsList::ComponentsList(std::vector<std::string> entries) : entries_(std::move(entries)) {
    if (entries_.size() > kMaxEntries) {
        throw Error(ErrorNumber::Overflow, "the list holds " + std::to_string(entries_.size()) +
                                               " entries, more than " + std::to_string(kMaxEntries));
    }
    for (const std::string& entry : entries_) {
        std::uint16_t itemId = 0;
        if (itemIdOfHexForm(entry, itemId)) {
            listed_.set(itemId);
        }
    }
}

ComponentsList ReadComponentsList(std::string_view text, const std::string& fileName) {
    LineReader lines(text, fileName);
    lines.next("the heading line");
    std::vector<std::string> entries;
    while (!lines.atEnd()) {
        entries.push_back(upperCased(FirstWord(lines.next())));
        if (entries.size() > ComponentsList::kMaxEntries) {
            throw Error(ErrorNumber::Overflow,
                        "more than " + std::to_string(ComponentsList::kMaxEntries) + " entries")
                .at(fileName, lines.lineNumber());
        }
    }
    return ComponentsList(std::move(entries));
}

ComponentsList ReadComponentsList(const std::filesystem::path& path) {
    const std::string bytes = ReadFileBytes(path);
    return ReadComponentsList(bytes, PathText(path));
}

std::filesystem::path DefaultComponentsPath(const std::filesystem::path& programFolder,
                                            const std::function<bool(const std::filesystem::path&)>& exists) {
    const std::filesystem::path beside = programFolder / "Components.txt";
    if (exists(beside) || programFolder.filename() != "bin") {
        return beside;
    }
    const std::filesystem::path shared =
        programFolder.parent_path() / "share" / "keelwright" / "Components.txt";
    return exists(shared) ? shared : beside;
}

}  // namespace keelwright
