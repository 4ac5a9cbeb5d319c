#pragma once

#include <cstdint>
#include <string>

#include "model/Error.h"

namespace keelwright {

// The description of the error, which the command line prints when it exits with status 3.
inline constexpr const char* kUnusableIndexMessage =
    "Multi.idx & Multi.mul files are not in the same folder as the keelwright.";

// The slot search met a zero record (or the end of Multi.idx) before any free slot, so the index is not the
// client's or is full. The window refuses the patch with explanation() and what to do, and stays; the
// command line exits with status 3. Nothing has been written when it is thrown.
class UnusableIndexError : public Error {
public:
    enum class Cause {
        MissingIndex,  // no Multi.idx at the path
        IndexEnds,     // the index ends before any free slot
        ZeroRecord,    // a record of zeros before any free slot
    };

    UnusableIndexError(std::int32_t slot, Cause cause);

    // The slot whose record read as zeros (one past the last slot when the index ended).
    std::int32_t slot() const { return slot_; }
    Cause cause() const { return cause_; }
    // One sentence naming the slot and the cause, e.g. "Multi.idx holds an empty record at slot 3 before any
    // free slot."
    std::string explanation() const;

private:
    std::int32_t slot_;
    Cause cause_;
};

}  // namespace keelwright
