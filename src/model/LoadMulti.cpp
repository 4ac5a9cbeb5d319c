#include <algorithm>

#include "model/ComponentTable.h"
#include "model/PathText.h"
#include "model/ScriptReaders.h"
#include "model/TextLines.h"

namespace keelwright {

ScriptType ScriptTypeOf(const std::filesystem::path& path) {
    std::string extension = PathText(path.extension());
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return extension == ".wsc" ? ScriptType::Wsc : ScriptType::MultiTxt;
}

void LoadMulti(const std::filesystem::path& script, ScriptType type, ComponentTable& table,
               const ComponentsList& components, const ItemCountSink& showItemCount) {
    table.ResetMulti();
    const std::string bytes = ReadFileBytes(script);
    const std::string name = PathText(script);
    if (type == ScriptType::MultiTxt) {
        ReadMultiTxt(bytes, name, table, components, showItemCount);
    } else {
        ReadWscFile(bytes, name, table, components, showItemCount);
    }
}

}  // namespace keelwright
