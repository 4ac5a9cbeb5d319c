#include "uop/UopMultis.h"

#include "model/Error.h"
#include "model/NumberText.h"
#include "uop/UopNameHash.h"

namespace keelwright {
namespace {

// A decompressed multi payload is rarely above a megabyte; this bounds what a damaged entry can claim.
constexpr std::uint64_t kMultiPayloadLimit = 64ULL << 20;

}  // namespace

std::string MultiEntryName(std::int32_t multi) {
    if (multi < 0 || multi > kHighestUopMulti) {
        throw Error(ErrorNumber::Overflow,
                    "multi " + NumberText(multi) + " is outside 0 to " + NumberText(kHighestUopMulti));
    }
    std::string name = "build/multicollection/000000.bin";
    for (std::size_t digit = 27; multi != 0; --digit, multi /= 10) {  // the last of the six digits
        name[digit] = static_cast<char>('0' + multi % 10);
    }
    return name;
}

void RequireMultiCollection(const UopContainer& container) {
    if (container.header().Version != kMultiCollectionVersion) {
        throw Error(ErrorNumber::InvalidFileFormat, "is UOP version " +
                                                        std::to_string(container.header().Version) +
                                                        "; MultiCollection.uop is version 4")
            .at(container.name());
    }
}

bool HasMultiEntry(const UopContainer& container, std::int32_t multi) {
    return container.find(UopNameHash(MultiEntryName(multi))) != nullptr;
}

std::int32_t FirstMultiWithoutEntry(const UopContainer& container, std::int32_t from) {
    std::int32_t multi = from;
    while (HasMultiEntry(container, multi)) {
        ++multi;
    }
    return multi;
}

UopMulti ReadUopMulti(UopContainer& container, std::int32_t multi) {
    const std::string name = MultiEntryName(multi);
    const UopContainer::Located* found = container.find(UopNameHash(name));
    if (found == nullptr) {
        throw Error(ErrorNumber::BadRecordNumber,
                    "has no entry for multi " + NumberText(multi) + " (" + name + ")")
            .at(container.name());
    }
    return ReadUopMulti(container, *found, multi);
}

UopMulti ReadUopMulti(UopContainer& container, const UopContainer::Located& located, std::int32_t multi) {
    const std::vector<std::uint8_t> bytes = container.readPayload(located, kMultiPayloadLimit);
    UopMulti result{multi, {}, located.entry.StoredLength, located.entry.DecompressedLength};
    try {
        result.payload = UopMultiPayload::decode(bytes);
    } catch (const Error& e) {
        throw Error(e.number(),
                    MultiEntryName(multi) + " (" + UopContainer::describe(located) + "): " + e.reason())
            .at(container.name());
    }
    return result;
}

UopMulti ReadUopMulti(FileSystem& fileSystem, const std::filesystem::path& uop, std::int32_t multi) {
    UopContainer container(fileSystem, uop);
    return ReadUopMulti(container, multi);
}

UopNewEntry NewMultiEntry(std::int32_t multi, std::span<const UopTile> tiles, std::int64_t fileTime) {
    const std::string name = MultiEntryName(multi);
    UopMultiPayload payload{static_cast<std::uint32_t>(multi), {tiles.begin(), tiles.end()}};
    return NewCompressedEntry(name, payload.encode(), fileTime);
}

UopMultiAdded AddMultiToUop(FileSystem& fileSystem, const std::filesystem::path& uop,
                            std::span<const UopTile> tiles, std::int64_t fileTime,
                            std::optional<std::int32_t> multi) {
    UopMultiAdded result;
    {
        const UopContainer container(fileSystem, uop);
        RequireMultiCollection(container);
        result.multi = multi ? *multi : FirstMultiWithoutEntry(container);
        if (HasMultiEntry(container, result.multi)) {
            throw Error(ErrorNumber::PathAccess, "already has an entry for multi " +
                                                     NumberText(result.multi) + "; nothing was written")
                .at(container.name());
        }
    }
    result.name = MultiEntryName(result.multi);
    const UopNewEntry entry = NewMultiEntry(result.multi, tiles, fileTime);
    result.storedLength = entry.storedLength();
    result.length = entry.decompressedLength;
    result.added = AddUopEntry(fileSystem, uop, entry);
    return result;
}

}  // namespace keelwright
