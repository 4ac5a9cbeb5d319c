#include "scripts/ItemScripts.h"

#include "model/Error.h"

namespace keelwright {

std::optional<ScriptFormat> ScriptFormatNamed(std::string_view name) {
    if (name == "51a") {
        return ScriptFormat::Ver51a;
    }
    if (name == "54") {
        return ScriptFormat::Ver54;
    }
    if (name == "x") {
        return ScriptFormat::VerX;
    }
    return std::nullopt;
}

const char* ScriptFormatName(ScriptFormat format) {
    switch (format) {
        case ScriptFormat::Ver51a:
            return "51a";
        case ScriptFormat::Ver54:
            return "54";
        case ScriptFormat::VerX:
            break;
    }
    return "x";
}

bool NeedsPatchSlot(ScriptFormat format) {
    return format == ScriptFormat::VerX;
}

std::string CreateScript(ScriptFormat format, const ScriptDetails& details, const ComponentTable& table) {
    switch (format) {
        case ScriptFormat::Ver51a:
            return CreateScript51a(details, table);
        case ScriptFormat::Ver54:
            return CreateScript54(details, table);
        case ScriptFormat::VerX:
            return CreateScriptX(details, table);
    }
    throw Error(ErrorNumber::InvalidCall, "no such script format");
}

}  // namespace keelwright
