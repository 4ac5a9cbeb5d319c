#include <array>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/HeaderlessMultiTxt.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr int kCountLine = 4;
constexpr int kFirstComponentLine = 5;
constexpr std::string_view kCountLineName = "the count line after the three header lines";
constexpr std::string_view kLayouts =
    "expected three header lines and a count line (\"26 num components\"), or \"ItemId X Y Z Flags\" lines "
    "without a header";

}  // namespace

void ReadMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount) {
    if (IsHeaderlessMultiTxt(text)) {
        ReadHeaderlessMultiTxt(text, fileName, table, components, showItemCount);
        return;
    }
    LineReader lines(text, fileName);
    for (int header = 1; header < kCountLine; ++header) {
        lines.next(kCountLineName);
    }
    const std::string_view countLine = lines.next(kCountLineName);
    std::int32_t count = 0;
    try {
        count = ToInt32(FirstWord(countLine), "component count");
        table.BeginSizedFill(count, lines.remainingLines());
    } catch (Error& e) {
        if (e.number() == ErrorNumber::TypeMismatch) {
            throw Error(e.number(), e.reason() + ": " + std::string(kLayouts)).at(fileName, kCountLine);
        }
        throw e.at(fileName, kCountLine);
    }

    // Lines after the count are not read: the table holds Count entries and no more.
    while (table.storedEntries() < count && !lines.atEnd()) {
        const std::string_view line = lines.next();
        std::array<std::string_view, 4> words;
        if (line.empty()) {
            throw Error(ErrorNumber::TypeMismatch, "blank line among the component lines")
                .at(fileName, lines.lineNumber());
        }
        if (SplitWords(line, words) < words.size()) {
            throw Error(ErrorNumber::TypeMismatch, "a component line needs four words: item id, x, y and z")
                .at(fileName, lines.lineNumber());
        }
        try {
            table.StoreComponent(words[0], words[1], words[2], words[3]);
        } catch (Error& e) {
            throw e.at(fileName, lines.lineNumber());
        }
    }
    if (showItemCount) {
        std::size_t unread = 0;
        while (!lines.atEnd()) {
            unread += lines.next().empty() ? 0 : 1;
        }
        showItemCount({count, unread});
    }

    try {
        table.CentreMulti();
        table.MarkListedComponents(components);
    } catch (ComponentError& e) {
        const auto stored = table.storedEntries();
        if (e.entry() >= stored) {
            throw Error(ErrorNumber::InputPastEnd, "the count line gives " + NumberText(count) +
                                                       " components, but only " + NumberText(stored) +
                                                       " component lines follow")
                .at(fileName, kCountLine);
        }
        throw e.at(fileName, kFirstComponentLine + std::int64_t{e.entry()});
    }
}

}  // namespace keelwright
