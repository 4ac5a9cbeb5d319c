#include "model/MultiTxtTemplates.h"

#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr int kHeaderLines = 4;  // version, template id, item version, count

bool isVersionWord(std::string_view word) {
    constexpr std::string_view kVersion = "version";
    if (word.size() != kVersion.size()) {
        return false;
    }
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i] >= 'A' && word[i] <= 'Z' ? static_cast<char>(word[i] - 'A' + 'a') : word[i];
        if (c != kVersion[i]) {
            return false;
        }
    }
    return true;
}

bool isWholeNumber(std::string_view word) {
    if (!word.empty() && (word.front() == '-' || word.front() == '+')) {
        word.remove_prefix(1);
    }
    if (word.empty()) {
        return false;
    }
    for (const char c : word) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// Reads the four header lines of the template that begins at the reader's next line.
MultiTxtTemplate readHeader(LineReader& lines, std::string_view text) {
    MultiTxtTemplate found;
    const std::size_t begin = lines.position();
    found.linesBefore = lines.lineNumber();
    found.text = text.substr(begin);
    for (int header = 1; header <= kHeaderLines && !lines.atEnd(); ++header) {
        std::string_view rest = lines.next();
        if (header == 2) {
            found.id = TakeWord(rest);
        } else if (header == kHeaderLines) {
            found.count = TakeWord(rest);
        }
    }
    return found;
}

}  // namespace

bool IsTemplateStart(std::string_view line) {
    // Tile lines end in a digit: most lines are told apart by their last character alone.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    if (line.empty() || (line.back() != 'n' && line.back() != 'N')) {
        return false;
    }
    const std::string_view number = TakeWord(line);
    const std::string_view version = TakeWord(line);
    return line.empty() && isWholeNumber(number) && isVersionWord(version);
}

std::vector<MultiTxtTemplate> FindTemplates(std::string_view text) {
    LineReader lines(text, {});
    std::vector<MultiTxtTemplate> templates{readHeader(lines, text)};
    while (!lines.atEnd()) {
        const std::size_t begin = lines.position();
        if (!IsTemplateStart(lines.next())) {
            continue;
        }
        MultiTxtTemplate& last = templates.back();
        last.text = last.text.substr(0, begin - static_cast<std::size_t>(last.text.data() - text.data()));
        LineReader header(text.substr(begin), {}, lines.lineNumber() - 1);
        MultiTxtTemplate next = readHeader(header, text.substr(begin));
        // The next template's header lines are its own: the search goes on after them.
        for (std::int64_t n = lines.lineNumber(); n < header.lineNumber(); ++n) {
            lines.next();
        }
        templates.push_back(next);
    }
    return templates;
}

}  // namespace keelwright
