#include "mulfiles/UopRefusal.h"

#include <array>
#include <cstdint>

#include "model/Error.h"
#include "mulfiles/RecordLayout.h"
#include "mulfiles/TextFileRefusal.h"
#include "uop/UopLayout.h"

namespace keelwright {

void RefuseUopContainer(RandomAccessFile& file) {
    RefuseTextFile(file, "a Multi.idx or Multi.mul");
    std::array<std::uint8_t, 4> start{};
    if (file.readAt(0, start) == start.size() && GetLittleEndian<std::uint32_t>(start.data()) == kUopMagic) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "is a MultiCollection container (a UOP file, it begins with MYP), not a Multi.idx or "
                    "Multi.mul; the client's Multi.idx and Multi.mul are wanted here")
            .at(file.name());
    }
}

}  // namespace keelwright
