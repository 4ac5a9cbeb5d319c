#include "model/HeaderlessMultiTxt.h"

#include <array>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr std::size_t kTileWords = 5;  // ItemId X Y Z Flags

// Up to words.size() words of a line; returns how many there are, counting one more for any beyond those.
std::size_t takeWords(std::string_view line, std::array<std::string_view, kTileWords + 1>& words) {
    std::size_t found = 0;
    while (found < words.size()) {
        words[found] = TakeWord(line);
        if (words[found].empty()) {
            break;
        }
        ++found;
    }
    return found;
}

}  // namespace

bool IsHeaderlessMultiTxt(std::string_view text) {
    LineReader lines(text, std::string());
    std::array<std::string_view, kTileWords + 1> words;
    return !lines.atEnd() && takeWords(lines.next(), words) == kTileWords;
}

void ReadHeaderlessMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                            const ComponentsList& components, const ItemCountSink& showItemCount,
                            const LoadOptions& options) {
    LineReader lines(text, fileName);
    table.BeginGrowingFill(lines.remainingLines());
    std::int64_t firstBlankLine = 0;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        std::array<std::string_view, kTileWords + 1> words;
        const std::size_t found = takeWords(line, words);
        if (found == 0) {
            firstBlankLine = firstBlankLine == 0 ? lines.lineNumber() : firstBlankLine;
            continue;
        }
        if (firstBlankLine != 0) {
            throw Error(ErrorNumber::InvalidFileFormat,
                        "blank line among the tile lines: expected one \"ItemId X Y Z Flags\" line per tile")
                .at(fileName, firstBlankLine);
        }
        if (found != kTileWords) {
            throw Error(ErrorNumber::InvalidFileFormat,
                        "not a tile line: expected five words \"ItemId X Y Z Flags\" as on line 1, found " +
                            QuoteInput(line))
                .at(fileName, lines.lineNumber());
        }
        try {
            if (options.exact) {
                table.StoreExactComponent(words[0], words[1], words[2], words[3], words[4]);
            } else {
                table.StoreComponent(words[0], words[1], words[2], words[3]);
            }
        } catch (Error& e) {
            throw e.at(fileName, lines.lineNumber());
        }
    }
    table.EndGrowingFill();
    if (showItemCount) {
        showItemCount(table.Count);
    }

    if (options.exact) {
        return;
    }
    // Entry i came from line i + 1: blank lines only follow the last tile line.
    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (ComponentError& e) {
        throw e.at(fileName, std::int64_t{e.entry()} + 1);
    }
}

}  // namespace keelwright
