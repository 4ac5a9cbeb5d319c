#include <array>
#include <optional>
#include <string>
#include <vector>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

// The keys whose values make a component, in the order StoreComponent takes them.
enum Key { kId, kX, kY, kZ, kKeyCount, kOtherKey = kKeyCount };
constexpr std::array<std::string_view, kKeyCount> kKeyNames = {"ID", "X", "Y", "Z"};
constexpr std::string_view kNeededKeys = "one line each for ID, X, Y and Z before \"}\"";

Key keyOf(std::string_view word) {
    if (word.size() > 2) {  // most lines of a group: the keys the reader skips are longer
        return kOtherKey;
    }
    for (std::size_t k = 0; k < kKeyNames.size(); ++k) {
        if (IsKeyword(word, kKeyNames[k])) {
            return static_cast<Key>(k);
        }
    }
    return kOtherKey;
}

// The group being read: the line of its SECTION, and each needed value with its line (0 while not found).
struct Group {
    std::int64_t sectionLine = 0;
    std::array<std::string_view, kKeyCount> values{};
    std::array<std::int64_t, kKeyCount> lines{};

    std::string name() const { return "the item group begun at line " + NumberText(sectionLine); }
};

// The line that the value of a column came from.
std::int64_t lineOf(const Group& group, ComponentError::Column column) {
    switch (column) {
        case ComponentError::Column::X:
            return group.lines[kX];
        case ComponentError::Column::Y:
            return group.lines[kY];
        case ComponentError::Column::ItemId:
            break;
    }
    return group.lines[kId];
}

// A line that does not fit the layout: "WHAT: expected LAYOUT", then the line itself when it is shown.
Error layoutError(const LineReader& lines, const std::string& what, std::string_view expected,
                  std::optional<std::string_view> found = std::nullopt) {
    std::string reason = what + ": expected " + std::string(expected);
    if (found) {
        reason += ", found " + QuoteInput(*found);
    }
    return std::move(Error(ErrorNumber::InvalidFileFormat, reason).at(lines.fileName(), lines.lineNumber()));
}

// "ID", "X and Z", "ID, Y and Z": the needed keys the group has no line for.
std::string missingKeys(const Group& group) {
    std::vector<std::string_view> missing;
    for (std::size_t k = 0; k < kKeyNames.size(); ++k) {
        if (group.lines[k] == 0) {
            missing.push_back(kKeyNames[k]);
        }
    }
    std::string names;
    for (std::size_t i = 0; i < missing.size(); ++i) {
        names += i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ";
        names += missing[i];
    }
    return names;
}

// Starts a group at a SECTION WORLDITEM line and reads its "{" line.
Group openGroup(LineReader& lines, std::string_view line) {
    std::string_view rest = line;
    if (!IsKeyword(TakeWord(rest), "SECTION") || !IsKeyword(TakeWord(rest), "WORLDITEM")) {
        throw layoutError(lines, "not a WSC item group", "SECTION WORLDITEM", line);
    }
    Group group;
    group.sectionLine = lines.lineNumber();
    if (lines.atEnd()) {
        lines.next("the \"{\" of " + group.name());  // throws, naming the missing line
    }
    const std::string_view brace = lines.next();
    rest = brace;
    if (TakeWord(rest) != "{" || !rest.empty()) {
        throw layoutError(lines, "not a WSC item group", "\"{\" after SECTION WORLDITEM", brace);
    }
    return group;
}

// Takes the value of a line inside a group when its first word is one of the four needed keys; `rest` is
// the line after that word.
void readValue(const LineReader& lines, std::string_view line, std::string_view word, std::string_view rest,
               Group& group) {
    if (word == "{" || IsKeyword(word, "SECTION")) {
        throw layoutError(lines, group.name() + " is not closed", "\"}\" before the next group", line);
    }
    const Key key = keyOf(word);
    if (key == kOtherKey) {
        return;
    }
    const std::string_view value = TakeWord(rest);
    if (value.empty()) {
        const std::string name(kKeyNames[key]);
        throw layoutError(lines, "the " + name + " line has no value",
                          name + ", spaces or tabs and the value");
    }
    if (group.lines[key] != 0) {
        throw layoutError(lines, group.name() + " has a second " + std::string(kKeyNames[key]) + " line",
                          kNeededKeys);
    }
    group.values[key] = value;
    group.lines[key] = lines.lineNumber();
}

// Stores the component of a group at its "}" line.
void storeGroup(const LineReader& lines, const Group& group, ComponentTable& table) {
    try {
        table.StoreComponent(group.values[kId], group.values[kX], group.values[kY], group.values[kZ]);
    } catch (ComponentError& e) {
        throw e.at(lines.fileName(), lineOf(group, e.column()));
    } catch (Error& e) {
        throw e.at(lines.fileName(), lines.lineNumber());
    }
}

// Reads the item groups of the text in order, in one pass, and calls takeGroup(group, lines) at the "}" of
// each, with all four values found; stops when it returns false. Throws where the text departs from the
// layout.
template <typename TakeGroup>
void readGroups(std::string_view text, const std::string& fileName, TakeGroup&& takeGroup) {
    LineReader lines(text, fileName);
    Group group;  // sectionLine 0: between groups
    bool anyGroup = false;
    while (!lines.atEnd()) {
        const std::string_view line = lines.next();
        std::string_view rest = line;
        const std::string_view word = TakeWord(rest);
        if (group.sectionLine == 0) {
            if (!word.empty()) {
                group = openGroup(lines, line);
            }
        } else if (word == "}") {
            if (group.lines[kId] == 0 || group.lines[kX] == 0 || group.lines[kY] == 0 ||
                group.lines[kZ] == 0) {
                throw layoutError(lines, group.name() + " has no " + missingKeys(group) + " line",
                                  kNeededKeys);
            }
            anyGroup = true;
            if (!takeGroup(group, lines)) {
                return;
            }
            group = Group();
        } else {
            readValue(lines, line, word, rest, group);
        }
    }
    if (group.sectionLine != 0) {
        throw Error(ErrorNumber::InputPastEnd, "the file ends inside " + group.name() + ": expected \"}\"")
            .at(fileName, lines.lineNumber() + 1);
    }
    if (!anyGroup) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "the file holds no WSC item group: expected SECTION WORLDITEM")
            .at(fileName, lines.lineNumber() + 1);
    }
}

// The line of the value in `column` of component `entry`, found by reading the groups again: only a failure
// after the reading needs it, so the reader keeps no line numbers per component.
std::int64_t lineOfValue(std::string_view text, const std::string& fileName, std::int32_t entry,
                         ComponentError::Column column) {
    std::int32_t group = 0;
    std::int64_t line = 0;
    readGroups(text, fileName, [&](const Group& g, const LineReader&) {
        if (group++ < entry) {
            return true;
        }
        line = lineOf(g, column);
        return false;
    });
    return line;
}

}  // namespace

void ReadWscFile(std::string_view text, const std::string& fileName, ComponentTable& table,
                 const ComponentsList& components, const ItemCountSink& showItemCount) {
    table.BeginGrowingFill(0);
    readGroups(text, fileName, [&](const Group& group, const LineReader& lines) {
        storeGroup(lines, group, table);
        return true;
    });
    table.EndGrowingFill();
    if (showItemCount) {
        showItemCount(table.Count);
    }

    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (ComponentError& e) {
        throw e.at(fileName, lineOfValue(text, fileName, e.entry(), e.column()));
    }
}

}  // namespace keelwright
