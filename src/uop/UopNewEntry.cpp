#include "uop/UopNewEntry.h"

#include <charconv>
#include <limits>

#include "model/Error.h"
#include "mulfiles/RecordLayout.h"
#include "uop/UopNameHash.h"
#include "uop/Zlib.h"

namespace keelwright {
namespace {

// The FILETIME of the Unix epoch, 1970-01-01 UTC.
constexpr std::int64_t kUnixEpochFileTime = 116444736000000000;

constexpr auto kMaxLength = static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());

}  // namespace

UopNewEntry NewCompressedEntry(std::string_view name, std::span<const std::uint8_t> payload,
                               std::int64_t fileTime) {
    if (payload.size() > kMaxLength) {
        throw Error(ErrorNumber::Overflow,
                    "the payload of " + std::string(name) + " is too long for a UOP entry");
    }
    UopNewEntry entry;
    entry.version = 4;
    entry.nameHash = UopNameHash(name);
    entry.headerLength = static_cast<std::int32_t>(kUopEntryHeaderSize);
    entry.decompressedLength = static_cast<std::int32_t>(payload.size());
    entry.compression = UopCompression::Zlib;
    entry.data.resize(kUopEntryHeaderSize);
    PutLittleEndian(&entry.data[0], std::uint16_t{3});
    PutLittleEndian(&entry.data[2], std::uint16_t{8});
    PutLittleEndian(&entry.data[4], fileTime);
    entry.dataHash = Adler32(entry.data);
    const std::vector<std::uint8_t> stream = ZlibCompress(payload);
    if (stream.size() > kMaxLength - kUopEntryHeaderSize) {
        throw Error(ErrorNumber::Overflow,
                    "the payload of " + std::string(name) + " is too long for a UOP entry");
    }
    entry.data.insert(entry.data.end(), stream.begin(), stream.end());
    return entry;
}

std::int64_t FileTimeOf(std::chrono::system_clock::time_point time) {
    const auto ticks =
        std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(
            time.time_since_epoch());
    return kUnixEpochFileTime + ticks.count();
}

std::int64_t NewEntryFileTime(const std::optional<std::string>& sourceDateEpoch,
                              std::chrono::system_clock::time_point now) {
    if (!sourceDateEpoch) {
        return FileTimeOf(now);
    }
    const std::string& text = *sourceDateEpoch;
    // Up to the largest second a FILETIME holds; digits alone, as the convention has them.
    constexpr std::int64_t kLastSecond =
        (std::numeric_limits<std::int64_t>::max() - kUnixEpochFileTime) / 10'000'000;
    std::int64_t seconds = -1;
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::from_chars(text.data(), text.data() + text.size(), seconds).ec != std::errc() ||
        seconds > kLastSecond) {
        throw Error(ErrorNumber::InvalidCall, "SOURCE_DATE_EPOCH is " + QuoteInput(text) +
                                                  ", not a whole number of seconds since 1970");
    }
    return kUnixEpochFileTime + seconds * 10'000'000;
}

}  // namespace keelwright
