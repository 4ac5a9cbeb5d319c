#include <algorithm>
#include <utility>

#include "model/BinaryTextRefusal.h"
#include "model/ComponentTable.h"
#include "model/DesignList.h"
#include "model/Error.h"
#include "model/HeaderlessMultiTxt.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"
#include "model/UoaFile.h"
#include "model/UoaLibrary.h"

namespace keelwright {
namespace {

// A WSC writer may put a few lines of its own before the first item group.
constexpr int kLinesSearchedForWsc = 20;

bool sameLetters(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

namespace {

constexpr std::pair<const char*, ScriptType> kShortNames[] = {{"txt", ScriptType::MultiTxt},
                                                              {"wsc", ScriptType::Wsc},
                                                              {"uoa", ScriptType::Uoa},
                                                              {"uoalib", ScriptType::UoaLib},
                                                              {"csv", ScriptType::Csv}};

}  // namespace

std::optional<ScriptType> ScriptTypeNamed(std::string_view name) {
    for (const auto& [shortName, type] : kShortNames) {
        if (name == shortName) {
            return type;
        }
    }
    return std::nullopt;
}

const char* ScriptTypeShortName(ScriptType type) {
    for (const auto& [shortName, named] : kShortNames) {
        if (named == type) {
            return shortName;
        }
    }
    return "txt";
}

ScriptType ScriptTypeOf(const std::filesystem::path& path, std::string_view firstBytes) {
    if (IsUoaLibraryIndex(path)) {
        return ScriptType::UoaLib;
    }
    std::string extension = PathText(path.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    if (extension == ".wsc") {
        return ScriptType::Wsc;
    }
    if (extension == ".csv") {
        return ScriptType::Csv;
    }
    return extension == ".uoa" && IsUoaBinary(firstBytes) ? ScriptType::Uoa : ScriptType::MultiTxt;
}

namespace {

// Refuses what the options ask of a type that cannot give it.
void refuseOptions(ScriptType type, const LoadOptions& options, const std::string& fileName) {
    const DesignChoice& choice = options.choice;
    if (options.exact && type != ScriptType::MultiTxt && type != ScriptType::Csv) {
        throw Error(ErrorNumber::InvalidCall,
                    std::string("an exact load reads the flags of each tile, which ") +
                        (type == ScriptType::Wsc ? "a WSC export" : "a UO Architect design") +
                        " does not carry: export the multi as multi text or CSV")
            .at(fileName);
    }
    if ((choice.design || choice.templateId) && (type == ScriptType::Wsc || type == ScriptType::Csv)) {
        throw Error(ErrorNumber::InvalidCall,
                    std::string(type == ScriptType::Wsc ? "a WSC export" : "a CSV file") +
                        " holds one multi: there is no design or template to choose")
            .at(fileName);
    }
}

}  // namespace

void ReadScript(std::string_view bytes, const std::string& fileName, ScriptType type, ComponentTable& table,
                const ComponentsList& components, const ItemCountSink& showItemCount,
                const LoadOptions& options) {
    refuseOptions(type, options, fileName);
    RefuseNonText(bytes, fileName, type);
    switch (type) {
        case ScriptType::MultiTxt:
            ReadMultiTxt(bytes, fileName, table, components, showItemCount, options);
            return;
        case ScriptType::Wsc:
            ReadWscFile(bytes, fileName, table, components, showItemCount);
            return;
        case ScriptType::Uoa:
            ReadUoaFile(bytes, fileName, table, components, showItemCount, options);
            return;
        case ScriptType::Csv:
            ReadCsvFile(bytes, fileName, table, components, showItemCount, options);
            return;
        case ScriptType::UoaLib:
            throw Error(ErrorNumber::InvalidCall,
                        "a UO Architect design library is two files, Designs.idx and Designs.bin: load it by "
                        "the path of Designs.idx")
                .at(fileName);
    }
}

std::optional<ScriptType> ScriptTypeByContents(std::string_view bytes) {
    LineReader lines(bytes, {});
    bool firstLine = true;
    for (int read = 0; read < kLinesSearchedForWsc && !lines.atEnd(); ++read) {
        const std::string_view line = lines.next();
        std::string_view rest = line;
        const std::string_view first = TakeWord(rest);
        if (first.empty()) {
            continue;
        }
        if (sameLetters(first, "SECTION") && sameLetters(TakeWord(rest), "WORLDITEM")) {
            return ScriptType::Wsc;
        }
        if (firstLine) {
            const std::string_view second = TakeWord(rest);
            const bool versionLine =
                second == "version" && rest.empty() &&
                std::all_of(first.begin(), first.end(), [](char c) { return c >= '0' && c <= '9'; });
            if (versionLine || IsHeaderlessMultiTxt(line)) {
                return ScriptType::MultiTxt;
            }
        }
        firstLine = false;
    }
    return std::nullopt;
}

std::optional<ScriptType> LoadMultiAsItIs(const std::filesystem::path& script, std::optional<ScriptType> type,
                                          ComponentTable& table, const ComponentsList& components,
                                          const ItemCountSink& showItemCount, const LoadOptions& options) {
    table.ResetMulti();
    const std::string bytes = ReadFileBytes(script);
    const ScriptType asked = type ? *type : ScriptTypeOf(script, bytes);
    if (asked == ScriptType::UoaLib) {  // two files, no text to take for another type
        LoadMulti(script, asked, table, components, showItemCount, options);
        return std::nullopt;
    }
    try {
        ReadScript(bytes, PathText(script), asked, table, components, showItemCount, options);
        return std::nullopt;
    } catch (const SeveralDesignsError&) {
        throw;
    } catch (const Error&) {
        const std::optional<ScriptType> plainly = ScriptTypeByContents(bytes);
        if (!plainly || *plainly == asked) {
            throw;
        }
        bool loaded = false;
        try {
            table.ResetMulti();
            ReadScript(bytes, PathText(script), *plainly, table, components, showItemCount, options);
            loaded = true;
        } catch (const SeveralDesignsError&) {
            throw;
        } catch (const Error&) {
            // The type asked for was the user's; its reason is the one to show.
        }
        if (!loaded) {
            throw;
        }
        return plainly;
    }
}

void LoadMulti(const std::filesystem::path& script, std::optional<ScriptType> type, ComponentTable& table,
               const ComponentsList& components, const ItemCountSink& showItemCount,
               const LoadOptions& options) {
    table.ResetMulti();
    const std::string bytes = ReadFileBytes(script);
    const ScriptType read = type ? *type : ScriptTypeOf(script, bytes);
    if (read == ScriptType::UoaLib) {
        refuseOptions(read, options, PathText(script));
        const std::filesystem::path data = UoaLibraryDataOf(script);
        ReadUoaLibrary(bytes, ReadFileBytes(data), PathText(script), PathText(data), table, components,
                       showItemCount, options);
        return;
    }
    ReadScript(bytes, PathText(script), read, table, components, showItemCount, options);
}

}  // namespace keelwright
