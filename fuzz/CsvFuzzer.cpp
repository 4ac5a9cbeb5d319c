// The CSV reader on any bytes: it loads or throws Error, and what loads survives the round trip.
#include "ScriptRoundTrip.h"

using namespace keelwright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ComponentTable table;
    try {
        ReadCsvFile(fuzz::AsText(data, size), "fuzz.csv", table, fuzz::DoorsAndSigns());
    } catch (const Error&) {
        return 0;
    }
    fuzz::RequireRoundTrip(table);
    return 0;
}
