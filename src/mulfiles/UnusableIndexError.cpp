#include "mulfiles/UnusableIndexError.h"

#include "model/NumberText.h"

namespace keelwright {

UnusableIndexError::UnusableIndexError(std::int32_t slot, Cause cause)
    : Error(ErrorNumber::FileNotFound, kUnusableIndexMessage), slot_(slot), cause_(cause) {}

std::string UnusableIndexError::explanation() const {
    switch (cause_) {
        case Cause::MissingIndex:
            return "There is no Multi.idx at the path given.";
        case Cause::IndexEnds:
            return "Multi.idx ends before slot " + NumberText(slot_) + " without any free slot.";
        case Cause::ZeroRecord:
            break;
    }
    return "Multi.idx holds an empty record at slot " + NumberText(slot_) + " before any free slot.";
}

}  // namespace keelwright
