#include "scripts/ScriptText.h"

namespace keelwright {

void ScriptText::line(std::initializer_list<std::string_view> parts) {
    for (std::string_view part : parts) {
        text_ += part;
    }
    text_ += "\r\n";
}

}  // namespace keelwright
