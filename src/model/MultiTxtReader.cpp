#include <array>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/DesignList.h"
#include "model/HeaderlessMultiTxt.h"
#include "model/MultiTxtTemplates.h"
#include "model/NumberText.h"
#include "model/PartIds.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"

namespace keelwright {
namespace {

constexpr std::string_view kCountLineName = "the count line after the three header lines";
constexpr std::string_view kLayouts =
    "expected three header lines and a count line (\"26 num components\"), or \"ItemId X Y Z Flags\" lines "
    "without a header";

// The template the choice names by its id, or the only one.
const MultiTxtTemplate& chosenTemplate(const std::vector<MultiTxtTemplate>& templates,
                                       const DesignChoice& choice, const std::string& fileName) {
    if (choice.design) {
        throw Error(ErrorNumber::InvalidCall,
                    "multi text holds templates, not designs: choose a template by its id")
            .at(fileName);
    }
    if (!choice.templateId) {
        if (templates.size() > 1) {
            throw SeveralDesignsError(DesignListOf(templates), fileName);
        }
        return templates.front();
    }
    const MultiTxtTemplate* found = nullptr;
    for (const MultiTxtTemplate& t : templates) {
        if (t.id == *choice.templateId) {
            if (found != nullptr) {
                throw Error(ErrorNumber::InvalidCall,
                            "more than one template has the id " + QuoteInput(*choice.templateId))
                    .at(fileName, t.linesBefore + t.headerLines - 2);
            }
            found = &t;
        }
    }
    if (found == nullptr) {
        throw Error(ErrorNumber::InvalidCall, "no template has the id " + QuoteInput(*choice.templateId) +
                                                  ": the file holds " +
                                                  DescribeDesigns(DesignListOf(templates)))
            .at(fileName);
    }
    return *found;
}

// The count, and the non-blank lines left after the component lines, which are neither components nor a
// template: counted, and named in a warning so that none is dropped without a word.
ItemCount unreadLines(LineReader& lines, std::int32_t count, std::int64_t countLineNumber) {
    const std::string& fileName = lines.fileName();
    std::size_t unread = 0;
    std::int64_t first = 0;
    std::int64_t last = 0;
    while (!lines.atEnd()) {
        if (!lines.next().empty()) {
            ++unread;
            first = first == 0 ? lines.lineNumber() : first;
            last = lines.lineNumber();
        }
    }
    if (unread == 0) {
        return {count, 0};
    }
    const std::string which = first == last ? "line " + NumberText(first)
                                            : "lines " + NumberText(first) + " to " + NumberText(last);
    return {
        count,
        unread,
        {fileName + ": " + which + (first == last ? " was" : " were") + " not read: the count line (line " +
         NumberText(countLineNumber) + ") gives " + NumberText(count) +
         " components, and what follows them is no template (\"N template id\" or \"N version\")"}};
}

// Reads one template: its lines, numbered as in the whole file.
void readTemplate(const MultiTxtTemplate& chosen, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount,
                  const LoadOptions& options) {
    const std::int64_t countLineNumber = chosen.linesBefore + chosen.headerLines;
    const std::int64_t firstComponentLine = countLineNumber + 1;
    LineReader lines(chosen.text, fileName, chosen.linesBefore);
    for (std::int64_t header = chosen.linesBefore + 1; header < countLineNumber; ++header) {
        lines.next(kCountLineName);
    }
    const std::string_view countLine = lines.next(kCountLineName);
    std::int32_t count = 0;
    try {
        count = ToInt32(FirstWord(countLine), "component count");
        table.BeginSizedFill(count, lines.remainingLines());
    } catch (Error& e) {
        if (e.number() == ErrorNumber::TypeMismatch) {
            throw Error(e.number(), e.reason() + ": " + std::string(kLayouts)).at(fileName, countLineNumber);
        }
        throw e.at(fileName, countLineNumber);
    }

    // Lines after the count are not read: the table holds Count entries and no more.
    while (table.storedEntries() < count && !lines.atEnd()) {
        const std::string_view line = lines.next();
        std::array<std::string_view, 5> words;
        if (line.empty()) {
            throw Error(ErrorNumber::TypeMismatch, "blank line among the component lines")
                .at(fileName, lines.lineNumber());
        }
        const std::size_t found = SplitWords(line, words);
        if (found < (options.exact ? 5U : 4U)) {
            throw Error(ErrorNumber::TypeMismatch,
                        options.exact
                            ? "an exact load needs five words per component line: item id, x, y, z and "
                              "flags"
                            : "a component line needs four words: item id, x, y and z")
                .at(fileName, lines.lineNumber());
        }
        try {
            if (options.exact) {
                // Whole numbers after the flags are the tile's part ids; a part name ends them.
                const std::size_t afterFlags =
                    static_cast<std::size_t>(words[4].data() - line.data()) + words[4].size();
                table.StoreExactComponent(words[0], words[1], words[2], words[3], words[4],
                                          ReadPartIds(line.substr(afterFlags)));
            } else {
                table.StoreComponent(words[0], words[1], words[2], words[3]);
            }
        } catch (Error& e) {
            throw e.at(fileName, lines.lineNumber());
        }
    }
    if (showItemCount) {
        showItemCount(unreadLines(lines, count, countLineNumber));
    }
    if (options.exact) {
        if (table.storedEntries() < count) {
            throw Error(ErrorNumber::InputPastEnd,
                        "the count line gives " + NumberText(count) + " components, but only " +
                            NumberText(table.storedEntries()) + " component lines follow")
                .at(fileName, countLineNumber);
        }
        return;
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
                .at(fileName, countLineNumber);
        }
        throw e.at(fileName, firstComponentLine + std::int64_t{e.entry()});
    }
}

}  // namespace

void ReadMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount) {
    ReadMultiTxt(text, fileName, table, components, showItemCount, {});
}

void ReadMultiTxt(std::string_view text, const std::string& fileName, ComponentTable& table,
                  const ComponentsList& components, const ItemCountSink& showItemCount,
                  const LoadOptions& options) {
    const DesignChoice& choice = options.choice;
    if (IsHeaderlessMultiTxt(text)) {
        if (choice.design || choice.templateId) {
            throw Error(ErrorNumber::InvalidCall,
                        "multi text without header lines holds one multi: there is no template to choose")
                .at(fileName);
        }
        ReadHeaderlessMultiTxt(text, fileName, table, components, showItemCount, options);
        return;
    }
    const std::vector<MultiTxtTemplate> templates = FindTemplates(text);
    readTemplate(chosenTemplate(templates, choice, fileName), fileName, table, components, showItemCount,
                 options);
}

}  // namespace keelwright
