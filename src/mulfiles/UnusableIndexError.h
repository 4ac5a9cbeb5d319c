#pragma once

#include <cstdint>

#include "model/Error.h"

namespace keelwright {

// The texts of the critical message box that ends the program when the index cannot take a patch.
inline constexpr const char* kUnusableIndexMessage =
    "Multi.idx & Multi.mul files are not in the same folder as the keelwright.";
inline constexpr const char* kUnusableIndexCaption = "File Not Found!";

// The slot search met a zero record (or the end of Multi.idx) before any free slot, so the index is not the
// client's or is full. The window shows kUnusableIndexMessage under kUnusableIndexCaption and ends the
// program; the command line exits with status 3. Nothing has been written when it is thrown.
class UnusableIndexError : public Error {
public:
    explicit UnusableIndexError(std::int32_t slot);

    // The slot whose record read as zeros (one past the last slot when the index ended).
    std::int32_t slot() const { return slot_; }

private:
    std::int32_t slot_;
};

}  // namespace keelwright
