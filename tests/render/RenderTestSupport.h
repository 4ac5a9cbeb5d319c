#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "mulfiles/RandomAccessFile.h"
#include "render/ArtSource.h"
#include "render/RgbaImage.h"

namespace keelwright::test {

using Bytes = std::vector<std::uint8_t>;

// Little-endian bytes of 16-bit and 32-bit words, to build entries and records by hand.
Bytes Words16(std::initializer_list<std::uint16_t> words);
Bytes Words32(std::initializer_list<std::int32_t> words);
Bytes operator+(Bytes a, const Bytes& b);

// An art entry whose every pixel is `pixel`: one row of runs that all rows share through the lookup table.
Bytes SolidArtEntry(std::uint16_t width, std::uint16_t height, std::uint16_t pixel);

// Art entries by item id, as a source hands them out.
class FakeArtSource : public ArtSource {
public:
    explicit FakeArtSource(std::map<std::uint16_t, Bytes> entries) : entries_(std::move(entries)) {}
    std::optional<ArtEntry> staticEntry(std::uint16_t itemId) override;

private:
    std::map<std::uint16_t, Bytes> entries_;
};

// The pixels of a PNG file, read with stb_image; an empty picture when it cannot be read.
RgbaImage ReadPng(const std::filesystem::path& path);
RgbaImage DecodePng(const std::string& png);

// The folder of the bundled examples and of the stored test pictures.
std::filesystem::path ExamplesFolder();
std::filesystem::path TestDataFolder();

}  // namespace keelwright::test
