#pragma once

#include <cstdint>
#include <vector>

namespace keelwright {

// One pixel: red, green, blue and alpha, 0 to 255 each; alpha 0 is fully transparent.
struct Rgba {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    std::uint8_t a = 0;

    bool operator==(const Rgba&) const = default;
};

// A picture of width x height pixels, stored row by row from the top, 4 bytes (R, G, B, A) a pixel: the
// form a PNG encoder and a QImage of Format_RGBA8888 take as they are.
class RgbaImage {
public:
    RgbaImage() = default;
    // A picture of the size, every pixel `fill`. Throws Overflow for a negative size.
    RgbaImage(std::int32_t width, std::int32_t height, Rgba fill = {});

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    // Bytes per row.
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 4; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    // The pixel at x, y, which must lie inside the picture.
    Rgba pixel(std::int32_t x, std::int32_t y) const;
    void setPixel(std::int32_t x, std::int32_t y, Rgba colour);

    // Lays `colour` over the pixel by its alpha; a point outside the picture is skipped.
    void blend(std::int32_t x, std::int32_t y, Rgba colour);
    // Lays `colour` over the pixels of column x from row first to row last, clipped to the picture.
    void blendColumn(std::int32_t x, std::int32_t first, std::int32_t last, Rgba colour);
    // Lays a whole picture over this one with its top-left corner at left, top, clipped to this picture.
    void drawOver(const RgbaImage& picture, std::int32_t left, std::int32_t top);

    bool operator==(const RgbaImage&) const = default;

private:
    std::size_t at(std::int32_t x, std::int32_t y) const {
        return static_cast<std::size_t>(y) * stride() + static_cast<std::size_t>(x) * 4;
    }

    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace keelwright
