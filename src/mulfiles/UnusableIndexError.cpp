#include "mulfiles/UnusableIndexError.h"

namespace keelwright {

UnusableIndexError::UnusableIndexError(std::int32_t slot)
    : Error(ErrorNumber::FileNotFound, kUnusableIndexMessage), slot_(slot) {}

}  // namespace keelwright
