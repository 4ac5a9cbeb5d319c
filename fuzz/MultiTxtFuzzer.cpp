// The multi text reader on any bytes: it loads or throws Error, and what loads survives the round trip.
#include "ScriptRoundTrip.h"

using namespace keelwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ComponentTable table;
    try {
        ReadMultiTxt(fuzz::AsText(data, size), "fuzz.txt", table, fuzz::DoorsAndSigns());
    } catch (const Error&) {
        return 0;
    }
    fuzz::RequireRoundTrip(table);
    return 0;
}
