#include "model/MultiTxtTemplates.h"

#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr int kVersionHeaderLines = 4;  // version, template id, item version, count
constexpr int kIdHeaderLines = 3;       // template id, item version, count

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

// Reads the header lines of the template that begins at the reader's next line.
MultiTxtTemplate readHeader(LineReader& lines, std::string_view text, int headerLines) {
    MultiTxtTemplate found;
    const std::size_t begin = lines.position();
    found.linesBefore = lines.lineNumber();
    found.headerLines = headerLines;
    found.text = text.substr(begin);
    for (int header = 1; header <= headerLines && !lines.atEnd(); ++header) {
        std::string_view rest = lines.next();
        if (header == headerLines - 2) {
            found.id = TakeWord(rest);
        } else if (header == headerLines) {
            found.count = TakeWord(rest);
        }
    }
    return found;
}

}  // namespace

int TemplateHeaderLines(std::string_view line) {
    // Tile lines end in a digit: most lines are told apart by their last character alone.
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) {
        line.remove_suffix(1);
    }
    const char last = line.empty() ? '\0' : static_cast<char>(line.back() | 0x20);
    if (last != 'n' && last != 'd') {
        return 0;
    }
    if (!isWholeNumber(TakeWord(line))) {
        return 0;
    }
    const std::string_view second = TakeWord(line);
    if (IsKeyword(second, "version")) {
        return line.empty() ? kVersionHeaderLines : 0;
    }
    const std::string_view third = TakeWord(line);
    return line.empty() && IsKeyword(second, "template") && IsKeyword(third, "id") ? kIdHeaderLines : 0;
}

std::vector<MultiTxtTemplate> FindTemplates(std::string_view text) {
    LineReader lines(text, {});
    const int firstHeader = lines.atEnd() ? 0 : TemplateHeaderLines(LineReader(text, {}).next());
    std::vector<MultiTxtTemplate> templates{
        readHeader(lines, text, firstHeader == kIdHeaderLines ? kIdHeaderLines : kVersionHeaderLines)};
    while (!lines.atEnd()) {
        const std::size_t begin = lines.position();
        const int headerLines = TemplateHeaderLines(lines.next());
        if (headerLines == 0) {
            continue;
        }
        MultiTxtTemplate& last = templates.back();
        last.text = last.text.substr(0, begin - static_cast<std::size_t>(last.text.data() - text.data()));
        LineReader header(text.substr(begin), {}, lines.lineNumber() - 1);
        MultiTxtTemplate next = readHeader(header, text.substr(begin), headerLines);
        // The next template's header lines are its own: the search goes on after them.
        for (std::int64_t n = lines.lineNumber(); n < header.lineNumber(); ++n) {
            lines.next();
        }
        templates.push_back(next);
    }
    return templates;
}

}  // namespace keelwright
