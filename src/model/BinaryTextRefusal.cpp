#include "model/BinaryTextRefusal.h"

#include "model/Error.h"

namespace keelwright {
namespace {

const char* textName(ScriptType type) {
    switch (type) {
        case ScriptType::Wsc:
            return "WSC";
        case ScriptType::Csv:
            return "CSV";
        default:
            return "multi text";
    }
}

}  // namespace

void RefuseNonText(std::string_view bytes, const std::string& fileName, ScriptType type) {
    if (type != ScriptType::MultiTxt && type != ScriptType::Wsc && type != ScriptType::Csv) {
        return;
    }
    // Either byte order: Notepad's "Unicode" is little-endian, "Unicode big endian" the other.
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
        throw Error(ErrorNumber::InvalidFileFormat, "is UTF-16 text: save it as UTF-8 or ANSI").at(fileName);
    }
    if (bytes.substr(0, kBinaryProbeBytes).find('\0') != std::string_view::npos) {
        throw Error(ErrorNumber::InvalidFileFormat, std::string("is a binary file, not ") + textName(type))
            .at(fileName);
    }
}

}  // namespace keelwright
