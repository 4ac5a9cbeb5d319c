#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

namespace keelwright {

// Reads single-byte text line by line. A line ends at LF or CR LF and the break is not part of it; a last
// line without a break is a line like the others. Reading past the last line throws an error that names
// the file and the line that is missing.
class LineReader {
public:
    // `linesBefore` counts the lines of the file before `text`, for a reader of part of a file.
    LineReader(std::string_view text, std::string fileName, std::int64_t linesBefore = 0);

    bool atEnd() const { return position_ >= text_.size(); }
    // Where the next line begins in the text.
    std::size_t position() const { return position_; }
    // The next line; `expected` names what the line should have held, for the error at the end of the file.
    std::string_view next(std::string_view expected = "another line");
    // The number (from 1) of the line that next() returned last; 0 before the first.
    std::int64_t lineNumber() const { return lineNumber_; }
    const std::string& fileName() const { return fileName_; }
    // How many lines are left, counted without reading them.
    std::size_t remainingLines() const;

private:
    std::string_view text_;
    std::size_t position_ = 0;
    std::int64_t lineNumber_ = 0;
    std::string fileName_;
};

// Cuts a line at every single space (two spaces in a row give an empty word between them) into at most
// words.size() words. Returns how many it found; words past that are left as they were.
std::size_t SplitWords(std::string_view line, std::span<std::string_view> words);

// The text before the first space of a line (the whole line when it has none).
std::string_view FirstWord(std::string_view line);

// Whether `word` is `keyword` in any letter case (ASCII letters only), as the script formats spell their
// keywords.
inline bool IsKeyword(std::string_view word, std::string_view keyword) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (word.size() != keyword.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (lower(word[i]) != lower(keyword[i])) {
            return false;
        }
    }
    return true;
}

// Cuts the first word off `rest`: the text up to a space or tab, without the blanks before and after it,
// which are cut off too. Empty when `rest` holds blanks alone. Inline: the readers call it for every line,
// and a call that writes `rest` through memory costs more than the scan itself.
inline std::string_view TakeWord(std::string_view& rest) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    std::size_t start = 0;
    while (start < rest.size() && isBlank(rest[start])) {
        ++start;
    }
    std::size_t end = start;
    while (end < rest.size() && !isBlank(rest[end])) {
        ++end;
    }
    const std::string_view word = rest.substr(start, end - start);
    while (end < rest.size() && isBlank(rest[end])) {
        ++end;
    }
    rest.remove_prefix(end);
    return word;
}

// The bytes of a file, unchanged. Throws an error that names the file when it cannot be read.
std::string ReadFileBytes(const std::filesystem::path& path);

}  // namespace keelwright
