#include "uop/Zlib.h"

#include <zlib.h>

#include <algorithm>
#include <limits>
#include <string>

#include "model/Error.h"

namespace keelwright {
namespace {

constexpr std::size_t kChunk = 64 * 1024;

Error badStream(const std::string& reason) {
    return Error(ErrorNumber::InvalidFileFormat, reason);
}

// Ends the inflate stream however the decompression leaves.
struct InflateStream {
    z_stream z{};
    InflateStream() {
        if (inflateInit(&z) != Z_OK) {
            throw Error(ErrorNumber::InvalidCall, "zlib cannot start decompressing");
        }
    }
    ~InflateStream() { inflateEnd(&z); }
    InflateStream(const InflateStream&) = delete;
    InflateStream& operator=(const InflateStream&) = delete;
};

}  // namespace

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> bytes) {
    if (bytes.size() > std::numeric_limits<uLong>::max() / 2) {
        throw Error(ErrorNumber::Overflow, "too many bytes to compress");
    }
    uLongf length = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> stream(length);
    if (compress2(stream.data(), &length, bytes.data(), static_cast<uLong>(bytes.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        throw Error(ErrorNumber::InvalidCall, "zlib cannot compress the payload");
    }
    stream.resize(length);
    return stream;
}

std::vector<std::uint8_t> ZlibDecompress(std::span<const std::uint8_t> stream, std::uint64_t length) {
    InflateStream inflater;
    z_stream& z = inflater.z;
    std::vector<std::uint8_t> out;
    std::size_t consumed = 0;
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (out.size() - z.total_out == 0) {
            // One byte beyond the claimed length shows a stream that yields more than it should.
            if (z.total_out > length) {
                throw badStream("the zlib stream yields more than the " + std::to_string(length) +
                                " bytes its entry claims");
            }
            const std::uint64_t room = length + 1 - z.total_out;
            out.resize(out.size() + static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, room)));
        }
        if (z.avail_in == 0) {
            const std::size_t take = std::min(kChunk, stream.size() - consumed);
            z.next_in = const_cast<Bytef*>(stream.data() + consumed);  // zlib's API is not const
            z.avail_in = static_cast<uInt>(take);
            consumed += take;
        }
        z.next_out = out.data() + z.total_out;
        z.avail_out = static_cast<uInt>(out.size() - z.total_out);
        status = inflate(&z, Z_NO_FLUSH);
        if (status == Z_BUF_ERROR && z.avail_in == 0 && consumed == stream.size()) {
            throw badStream("the zlib stream ends early, after " + std::to_string(stream.size()) + " bytes");
        }
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            throw badStream(std::string("the payload is not a sound zlib stream: ") +
                            (z.msg != nullptr ? z.msg : "error " + std::to_string(status)));
        }
    }
    if (z.total_out != length) {
        throw badStream("the zlib stream yields " + std::to_string(z.total_out) +
                        " bytes, its entry claims " + std::to_string(length));
    }
    out.resize(z.total_out);
    return out;
}

std::uint32_t Adler32(std::span<const std::uint8_t> bytes) {
    uLong sum = adler32(0L, Z_NULL, 0);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t take = std::min(kChunk, bytes.size() - done);
        sum = adler32(sum, bytes.data() + done, static_cast<uInt>(take));
        done += take;
    }
    return static_cast<std::uint32_t>(sum);
}

}  // namespace keelwright
