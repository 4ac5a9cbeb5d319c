#include "mulfiles/UopRefusal.h"

#include <array>
#include <cstdint>

#include "model/Error.h"

namespace keelwright {

void RefuseUopContainer(RandomAccessFile& file) {
    constexpr std::array<std::uint8_t, 4> kUopSignature = {'M', 'Y', 'P', 0};
    std::array<std::uint8_t, 4> start{};
    if (file.readAt(0, start) == start.size() && start == kUopSignature) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "is a MultiCollection container (a UOP file, it begins with MYP), not a Multi.idx or "
                    "Multi.mul; the client's Multi.idx and Multi.mul are wanted here")
            .at(file.name());
    }
}

}  // namespace keelwright
