#include "model/TextLines.h"

#include <algorithm>
#include <fstream>

#include "model/Error.h"
#include "model/PathText.h"

namespace keelwright {

LineReader::LineReader(std::string_view text, std::string fileName, std::int64_t linesBefore)
    : text_(text), lineNumber_(linesBefore), fileName_(std::move(fileName)) {}

std::string_view LineReader::next(std::string_view expected) {
    if (atEnd()) {
        throw Error(ErrorNumber::InputPastEnd, "the file ends before " + std::string(expected))
            .at(fileName_, lineNumber_ + 1);
    }
    const std::size_t end = text_.find('\n', position_);
    std::string_view line;
    if (end == std::string_view::npos) {
        line = text_.substr(position_);
        position_ = text_.size();
    } else {
        line = text_.substr(position_, end - position_);
        position_ = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
    }
    ++lineNumber_;
    return line;
}

std::size_t LineReader::remainingLines() const {
    if (atEnd()) {
        return 0;
    }
    const std::string_view rest = text_.substr(position_);
    const auto breaks = static_cast<std::size_t>(std::count(rest.begin(), rest.end(), '\n'));
    return rest.back() == '\n' ? breaks : breaks + 1;
}

std::size_t SplitWords(std::string_view line, std::span<std::string_view> words) {
    std::size_t found = 0;
    std::size_t start = 0;
    while (found < words.size()) {
        const std::size_t space = line.find(' ', start);
        words[found++] = line.substr(start, space == std::string_view::npos ? space : space - start);
        if (space == std::string_view::npos) {
            break;
        }
        start = space + 1;
    }
    return found;
}

std::string_view FirstWord(std::string_view line) {
    return line.substr(0, line.find(' '));
}

std::string ReadFileBytes(const std::filesystem::path& path) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) {
        throw Error(ErrorNumber::FileNotFound, "file not found").at(PathText(path));
    }
    if (std::filesystem::is_directory(status)) {
        throw Error(ErrorNumber::PathAccess, "is a folder, not a file").at(PathText(path));
    }
    // Checked before the stream opens the file: opening a FIFO would wait for a writer for ever.
    if (!std::filesystem::is_regular_file(status)) {
        throw Error(ErrorNumber::PathAccess, "is not a regular file").at(PathText(path));
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw Error(ErrorNumber::PathAccess, "the file cannot be opened for reading").at(PathText(path));
    }
    std::string bytes;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0) {
        bytes.resize(static_cast<std::size_t>(size));
        in.read(bytes.data(), size);
    }
    if (!in) {
        throw Error(ErrorNumber::DeviceIo, "the file could not be read").at(PathText(path));
    }
    return bytes;
}

}  // namespace keelwright
