#include <algorithm>
#include <utility>

#include "model/BinaryTextRefusal.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"
#include "model/UoaFile.h"
#include "model/UoaLibrary.h"

namespace keelwright {

std::optional<ScriptType> ScriptTypeNamed(std::string_view name) {
    for (const auto& [shortName, type] :
         {std::pair{"txt", ScriptType::MultiTxt}, std::pair{"wsc", ScriptType::Wsc},
          std::pair{"uoa", ScriptType::Uoa}, std::pair{"uoalib", ScriptType::UoaLib},
          std::pair{"csv", ScriptType::Csv}}) {
        if (name == shortName) {
            return type;
        }
    }
    return std::nullopt;
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
