#include "model/PartIds.h"

#include <limits>

#include "model/Error.h"
#include "model/NumberText.h"
#include "model/TextLines.h"

namespace keelwright {

PartIdList ReadPartIds(std::string_view text) {
    PartIdList parts;
    for (std::string_view word = TakeWord(text); !word.empty(); word = TakeWord(text)) {
        const std::optional<Number> number = Number::parse(word);
        if (!number || !number->isWhole()) {
            break;
        }
        if (number->compare(0) < 0 || number->compare(std::numeric_limits<std::uint32_t>::max()) > 0) {
            throw Error(ErrorNumber::Overflow, "part id " + QuoteInput(word) + " is outside 0 to " +
                                                   NumberText(std::numeric_limits<std::uint32_t>::max()));
        }
        parts.push_back(static_cast<std::uint32_t>(*number->roundHalfEven()));
    }
    return parts;
}

std::string PartIdsText(const PartIdList& parts) {
    std::string text;
    for (const std::uint32_t part : parts) {
        if (!text.empty()) {
            text += ' ';
        }
        text += NumberText(part);
    }
    return text;
}

}  // namespace keelwright
