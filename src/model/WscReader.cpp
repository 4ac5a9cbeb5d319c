#include <string>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr int kPreambleLines = 4;
constexpr int kGroupLines = 14;
constexpr int kValueLines = 4;  // item id, x, y, z

// The line of the file that holds a value of an item (both counted from 0).
std::int64_t lineOfValue(std::int32_t item, int valueLine) {
    return kPreambleLines + 1 + std::int64_t{item} * kGroupLines + valueLine;
}

int valueLineOf(ComponentError::Column column) {
    switch (column) {
        case ComponentError::Column::ItemId:
            return 0;
        case ComponentError::Column::X:
            return 1;
        case ComponentError::Column::Y:
            return 2;
    }
    return 0;
}

// The second word of a value line ("X 1439" gives "1439").
std::string_view valueOf(std::string_view line, const LineReader& lines) {
    const std::size_t space = line.find(' ');
    if (space == std::string_view::npos) {
        throw Error(ErrorNumber::TypeMismatch, "a value line needs a word, a space and the value")
            .at(lines.fileName(), lines.lineNumber());
    }
    const std::string_view rest = line.substr(space + 1);
    return rest.substr(0, rest.find(' '));
}

}  // namespace

void ReadWscFile(std::string_view text, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount) {
    static constexpr const char* kValueNames[kValueLines] = {"the item id line", "the x line", "the y line",
                                                             "the z line"};
    LineReader lines(text, fileName);
    for (int preamble = 0; preamble < kPreambleLines; ++preamble) {
        lines.next("the end of the preamble");
    }
    table.BeginGrowingFill(lines.remainingLines() / kGroupLines + 1);
    while (!lines.atEnd()) {
        std::string_view values[kValueLines];
        for (int v = 0; v < kValueLines; ++v) {
            if (lines.atEnd()) {
                throw Error(ErrorNumber::InputPastEnd, std::string("the file ends before ") + kValueNames[v] +
                                                           " of item " +
                                                           std::to_string(table.storedEntries() + 1))
                    .at(fileName, lines.lineNumber() + 1);
            }
            values[v] = valueOf(lines.next(), lines);
        }
        try {
            table.StoreComponent(values[0], values[1], values[2], values[3]);
        } catch (ComponentError& e) {
            throw e.at(fileName, lineOfValue(e.entry(), valueLineOf(e.column())));
        }
        for (int skipped = kValueLines; skipped < kGroupLines && !lines.atEnd(); ++skipped) {
            lines.next();
        }
    }
    table.EndGrowingFill();
    if (showItemCount) {
        showItemCount(table.Count);
    }

    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (ComponentError& e) {
        throw e.at(fileName, lineOfValue(e.entry(), valueLineOf(e.column())));
    }
}

}  // namespace keelwright
