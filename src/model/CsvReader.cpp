#include <array>
#include <charconv>
#include <optional>
#include <vector>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/NumberText.h"
#include "model/PartIds.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr std::size_t kReadColumns = 5;  // TileID, OffsetX, OffsetY, OffsetZ, Flag; the Cliloc is apart
constexpr std::array<std::string_view, kReadColumns> kHeader = {"tileid", "offsetx", "offsety", "offsetz",
                                                                "flag"};
constexpr std::string_view kHeaderLine = "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

using Fields = std::array<std::string_view, kReadColumns>;

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

bool skipped(std::string_view line) {
    line = trimmed(line);
    return line.empty() || line.starts_with("//");
}

// A field without the blanks around it and without the quotes a spreadsheet may save it in.
std::string_view unquoted(std::string_view field) {
    field = trimmed(field);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
        field = trimmed(field.substr(1, field.size() - 2));
    }
    return field;
}

// The first five comma-separated fields (unquoted); false when there are fewer. `rest` gets the text after
// the fifth field's comma: the Cliloc column and any after it.
bool splitFields(std::string_view line, Fields& fields, std::string_view& rest) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        const std::size_t comma = line.find(',');
        if (comma == std::string_view::npos && i + 1 < fields.size()) {
            return false;
        }
        fields[i] = unquoted(line.substr(0, comma));
        line.remove_prefix(comma == std::string_view::npos ? line.size() : comma + 1);
    }
    rest = line;
    return true;
}

bool isHeader(const Fields& fields) {
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].size() != kHeader[i].size()) {
            return false;
        }
        for (std::size_t k = 0; k < fields[i].size(); ++k) {
            const char c = fields[i][k];
            if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kHeader[i][k]) {
                return false;
            }
        }
    }
    return true;
}

// The value of "0x" and hexadecimal digits; nothing for any other text, or for more than `maxDigits` digits.
std::optional<std::uint32_t> hexValue(std::string_view text, std::size_t maxDigits) {
    if (text.size() < 3 || text[0] != '0' || (text[1] != 'x' && text[1] != 'X')) {
        return std::nullopt;
    }
    text.remove_prefix(2);
    while (text.size() > 1 && text.front() == '0') {
        text.remove_prefix(1);
    }
    std::uint32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (ec != std::errc() || end != text.data() + text.size() || text.size() > maxDigits) {
        return std::nullopt;
    }
    return value;
}

// An offset as the table keeps it: decimal text as written, or a hex one as its 16-bit two's complement.
std::string_view offsetText(std::string_view field, std::string_view what, std::string& converted) {
    if (!field.starts_with("0x") && !field.starts_with("0X")) {
        return field;
    }
    const std::optional<std::uint32_t> value = hexValue(field, 4);
    if (!value) {
        throw Error(ErrorNumber::TypeMismatch,
                    std::string(what) + " " + QuoteInput(field) + " is not a number of 0x0 to 0xFFFF");
    }
    converted = NumberText(static_cast<std::int16_t>(static_cast<std::uint16_t>(*value)));
    return converted;
}

// An empty Flag counts as 0, as older tools leave it.
void checkFlag(std::string_view field) {
    if (field.empty() || hexValue(field, 8)) {
        return;
    }
    const std::optional<Number> number = Number::parse(field);
    if (!number || !number->isWhole() || number->compare(0) < 0 || number->compare(0xFFFFFFFFLL) > 0) {
        throw Error(ErrorNumber::TypeMismatch,
                    "flag " + QuoteInput(field) + " is not a number of 0 to 0xFFFFFFFF (decimal or 0x hex)");
    }
}

}  // namespace

void ReadCsvFile(std::string_view text, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount,
                 const LoadOptions& options) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    LineReader lines(text, fileName);
    Fields fields;
    std::string_view cliloc;
    std::string_view line;
    do {
        line = lines.next("the header line " + std::string(kHeaderLine));
    } while (skipped(line));
    if (!splitFields(line, fields, cliloc) || !isHeader(fields)) {
        throw Error(ErrorNumber::InvalidFileFormat, "not a CSV tile list: expected the header line " +
                                                        std::string(kHeaderLine) + ", found " +
                                                        QuoteInput(line))
            .at(fileName, lines.lineNumber());
    }

    table.BeginGrowingFill(lines.remainingLines());
    std::vector<std::int64_t> lineOfEntry;  // comments and blank lines may lie between the tile lines
    lineOfEntry.reserve(lines.remainingLines());
    std::string x, y, z;
    while (!lines.atEnd()) {
        line = lines.next();
        if (skipped(line)) {
            continue;
        }
        if (!splitFields(line, fields, cliloc)) {
            throw Error(ErrorNumber::InvalidFileFormat,
                        "a tile line needs five values, TileID,OffsetX,OffsetY,OffsetZ,Flag: found " +
                            QuoteInput(line))
                .at(fileName, lines.lineNumber());
        }
        try {
            lineOfEntry.push_back(lines.lineNumber());
            if (options.exact) {
                // The Flag column whole (up to 64 bits); an empty one has no value to copy. The Cliloc column
                // holds the tile's part ids.
                table.StoreExactComponent(fields[0], offsetText(fields[1], "x", x),
                                          offsetText(fields[2], "y", y), offsetText(fields[3], "z", z),
                                          fields[4],
                                          ReadPartIds(unquoted(cliloc.substr(0, cliloc.find(',')))));
            } else {
                checkFlag(fields[4]);
                table.StoreComponent(fields[0], offsetText(fields[1], "x", x), offsetText(fields[2], "y", y),
                                     offsetText(fields[3], "z", z));
            }
        } catch (Error& e) {
            throw e.at(fileName, lines.lineNumber());
        }
    }
    table.EndGrowingFill();
    if (table.Count == 0) {
        throw Error(ErrorNumber::InputPastEnd, "the file holds no tile line after the header line")
            .at(fileName, lines.lineNumber() + 1);
    }
    if (showItemCount) {
        showItemCount(table.Count);
    }
    if (options.exact) {
        return;  // exactly as the file gives the tiles: not centred, no components list applied
    }
    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (ComponentError& e) {
        throw e.at(fileName, lineOfEntry[static_cast<std::size_t>(e.entry())]);
    }
}

}  // namespace keelwright
