// Number text: any bytes either fail to parse or give a number whose shortest text parses to itself, and the
// fixed-width conversions either throw Error or give a value within their range.
#include <limits>

#include "FuzzSupport.h"
#include "model/Error.h"
#include "model/NumberText.h"

using namespace keelwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text = fuzz::AsText(data, size);
    const std::optional<Number> number = Number::parse(text);
    // A number of 19 or more integer digits has no exact text of its own (it is beyond every target width).
    if (number && number->roundHalfEven()) {
        const std::string shortest = number->toText();
        const std::optional<Number> again = Number::parse(shortest);
        fuzz::Require(again && again->toText() == shortest, "the shortest text reads back as itself");
        try {
            const std::int32_t offset = static_cast<std::int32_t>(size * 7919 % 200001) - 100000;
            const Number moved = number->minus(offset);
            const std::optional<Number> movedAgain = Number::parse(moved.toText());
            fuzz::Require(movedAgain.has_value(), "a moved number has an exact text");
            fuzz::Require(movedAgain->minus(-offset).toText() == shortest,
                          "moving and moving back gives the number again");
        } catch (const Error&) {
        }
        if (const std::optional<std::int64_t> rounded = number->roundHalfEven()) {
            fuzz::Require(Number(*rounded).compare(*rounded) == 0,
                          "a rounded value compares equal to itself");
        }
    }
    try {
        const std::int32_t value = ToInt32(text);
        fuzz::Require(number.has_value(), "only number text converts");
        fuzz::Require(number->roundHalfEven() == value, "ToInt32 rounds half to even");
    } catch (const Error& e) {
        fuzz::Require(e.description().size() < 400, "an error quotes a bounded part of its input");
    }
    try {
        const std::uint16_t id = ToItemId(text);
        fuzz::Require(ItemIdHexForm(text) == "0" + Hex16(id), "the hex form is that of the id");
    } catch (const Error& e) {
        fuzz::Require(e.description().size() < 400, "an error quotes a bounded part of its input");
    }
    return 0;
}
