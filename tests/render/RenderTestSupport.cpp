#include "render/RenderTestSupport.h"

#include <algorithm>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/RecordLayout.h"

// stb's reader is compiled here, for the tests alone; its own warnings cannot fail a -Werror build.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

namespace keelwright::test {




Bytes Words16(std::initializer_list<std::uint16_t> words) {
    Bytes bytes(words.size() * 2);
    std::size_t at = 0;
    for (const std::uint16_t word : words) {
        PutLittleEndian(&bytes[at], word);
        at += 2;
    }
    return bytes;
}

Bytes Words32(std::initializer_list<std::int32_t> words) {
    Bytes bytes(words.size() * 4);
    std::size_t at = 0;
    for (const std::int32_t word : words) {
        PutLittleEndian(&bytes[at], word);
        at += 4;
    }
    return bytes;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes SolidArtEntry(std::uint16_t width, std::uint16_t height, std::uint16_t pixel) {
    Bytes entry = Words32({0}) + Words16({width, height}) + Bytes(std::size_t{2} * height, 0);
    entry = entry + Words16({0, width});
    for (std::uint16_t x = 0; x < width; ++x) {
        entry = entry + Words16({pixel});
    }
    return entry + Words16({0, 0});
}

std::optional<ArtEntry> FakeArtSource::staticEntry(std::uint16_t itemId) {
    const auto found = entries_.find(itemId);
    if (found == entries_.end()) {
        return std::nullopt;
    }
    return ArtEntry{found->second, "fake.mul", 0};
}

RgbaImage DecodePng(const std::string& png) {
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(png.data()),
                                            static_cast<int>(png.size()), &width, &height, &channels, 4);
    if (pixels == nullptr) {
        return {};
    }
    RgbaImage image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const stbi_uc* p = pixels + (static_cast<std::size_t>(y) * width + x) * 4;
            image.setPixel(x, y, {p[0], p[1], p[2], p[3]});
        }
    }
    stbi_image_free(pixels);
    return image;
}

RgbaImage ReadPng(const std::filesystem::path& path) {
    return std::filesystem::exists(path) ? DecodePng(ReadAll(path)) : RgbaImage();
}

std::filesystem::path ExamplesFolder() {
    return KEELWRIGHT_EXAMPLES;
}

std::filesystem::path TestDataFolder() {
    return KEELWRIGHT_TEST_DATA;
}

}  // namespace keelwright::test
