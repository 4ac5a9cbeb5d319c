#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace keelwright {

// A zlib stream (with its 2-byte header) of the bytes, at zlib's default level.
std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> bytes);

// The bytes of a zlib stream that must decompress to exactly `length` bytes. Memory grows only with
// what the stream really yields, in chunks, and never past `length`; a stream yielding more or fewer
// bytes, a damaged or truncated stream throws InvalidFileFormat (without a file: the caller names it).
std::vector<std::uint8_t> ZlibDecompress(std::span<const std::uint8_t> stream, std::uint64_t length);

// The Adler-32 checksum of the bytes.
std::uint32_t Adler32(std::span<const std::uint8_t> bytes);

}  // namespace keelwright
