#pragma once

// Edits of a manifest's text that touch only the lines of the entry or table edited, so that the user's
// comments, blank lines, spacing and key order stay byte for byte: a changed value is replaced where it
// stands (toml++ gives each value's source position), a new key goes on a line after the entry's last, a new
// entry is appended at the end and a dropped entry's lines go. New lines end as the file's lines end.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace keelwright {

// One [[multi]] entry as the manifest writes it. Texts are UTF-8; the script path is relative to the
// manifest's folder where it lies inside it, with "/" between folders.
struct ManifestEntryValues {
    std::int32_t number = 0;
    std::string script;                     // empty for a removal
    std::string type;                       // empty: from the file's extension
    std::optional<std::string> design;      // by name or position
    std::optional<std::string> templateId;  // the template of this id
    std::string name;
    std::string buy;  // empty: none written
    std::string sell;
    bool replace = false;
    bool remove = false;
    bool exact = false;
};

// A text as a TOML basic string: in double quotes, with `"`, `\` and control characters escaped.
std::string TomlString(std::string_view utf8);

class ManifestEditor {
public:
    // Takes the manifest's text. Throws Error naming `fileName` and the line for text that is not TOML.
    ManifestEditor(std::string text, std::string fileName);

    const std::string& text() const { return text_; }

    // Makes the entry of `number` say `values`: each key whose value differs is replaced where it stands,
    // added after the entry's last line or, when no longer wanted, its lines dropped. Throws Error when no
    // [[multi]] entry has the number or the entry is written inline.
    void changeEntry(std::int32_t number, const ManifestEntryValues& values);
    // Appends a [[multi]] entry at the end, after one blank line.
    void appendEntry(const ManifestEntryValues& values);
    // Drops the lines of the entry of `number`, from its [[multi]] header to its last value, and one blank
    // line after them where one stands before them too.
    void dropEntry(std::int32_t number);
    // Sets `key` of the table [`table`] to a TOML value, or drops it when `value` is empty; the table is
    // appended when missing.
    void setTableKey(std::string_view table, std::string_view key, const std::optional<std::string>& value);

private:
    std::string eol() const;

    std::string text_;
    std::string fileName_;
};

}  // namespace keelwright
