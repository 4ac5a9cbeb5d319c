#include <algorithm>
#include <utility>

#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"
#include "model/UoaFile.h"

namespace keelwright {

std::optional<ScriptType> ScriptTypeNamed(std::string_view name) {
    for (const auto& [shortName, type] :
         {std::pair{"txt", ScriptType::MultiTxt}, std::pair{"wsc", ScriptType::Wsc},
          std::pair{"uoa", ScriptType::Uoa}, std::pair{"csv", ScriptType::Csv}}) {
        if (name == shortName) {
            return type;
        }
    }
    return std::nullopt;
}

ScriptType ScriptTypeOf(const std::filesystem::path& path, std::string_view firstBytes) {
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

void ReadScript(std::string_view bytes, const std::string& fileName, ScriptType type, ComponentTable& table,
                const ComponentsList& components, const ItemCountSink& showItemCount,
                const LoadOptions& options) {
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
    }
}

void LoadMulti(const std::filesystem::path& script, std::optional<ScriptType> type, ComponentTable& table,
               const ComponentsList& components, const ItemCountSink& showItemCount,
               const LoadOptions& options) {
    table.ResetMulti();
    const std::string bytes = ReadFileBytes(script);
    ReadScript(bytes, PathText(script), type ? *type : ScriptTypeOf(script, bytes), table, components,
               showItemCount, options);
}

}  // namespace keelwright
