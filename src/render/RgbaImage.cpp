#include "render/RgbaImage.h"

#include <algorithm>

#include "model/Error.h"

namespace keelwright {
namespace {

// Porter-Duff "over" of one pixel, in integers: the result of painting `top` onto `under`.
void over(std::uint8_t* under, const std::uint8_t* top) {
    const std::uint32_t ta = top[3];
    if (ta == 255) {
        std::copy_n(top, 4, under);
        return;
    }
    if (ta == 0) {
        return;
    }
    const std::uint32_t ua = under[3] * (255 - ta) / 255;
    const std::uint32_t outA = ta + ua;
    for (int c = 0; c < 3; ++c) {
        under[c] = static_cast<std::uint8_t>((top[c] * ta + under[c] * ua + outA / 2) / outA);
    }
    under[3] = static_cast<std::uint8_t>(outA);
}

}  // namespace

RgbaImage::RgbaImage(std::int32_t width, std::int32_t height, Rgba fill) : width_(width), height_(height) {
    if (width < 0 || height < 0) {
        throw Error(ErrorNumber::Overflow, "a picture cannot have a negative size");
    }
    bytes_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4);
    for (std::size_t i = 0; i < bytes_.size(); i += 4) {
        bytes_[i] = fill.r;
        bytes_[i + 1] = fill.g;
        bytes_[i + 2] = fill.b;
        bytes_[i + 3] = fill.a;
    }
}

Rgba RgbaImage::pixel(std::int32_t x, std::int32_t y) const {
    const std::uint8_t* p = bytes_.data() + at(x, y);
    return {p[0], p[1], p[2], p[3]};
}

void RgbaImage::setPixel(std::int32_t x, std::int32_t y, Rgba colour) {
    std::uint8_t* p = bytes_.data() + at(x, y);
    p[0] = colour.r;
    p[1] = colour.g;
    p[2] = colour.b;
    p[3] = colour.a;
}

void RgbaImage::blend(std::int32_t x, std::int32_t y, Rgba colour) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) {
        return;
    }
    const std::uint8_t top[4] = {colour.r, colour.g, colour.b, colour.a};
    over(bytes_.data() + at(x, y), top);
}

void RgbaImage::blendColumn(std::int32_t x, std::int32_t first, std::int32_t last, Rgba colour) {
    if (x < 0 || x >= width_) {
        return;
    }
    const std::uint8_t top[4] = {colour.r, colour.g, colour.b, colour.a};
    for (std::int32_t y = std::max(first, 0); y <= std::min(last, height_ - 1); ++y) {
        over(bytes_.data() + at(x, y), top);
    }
}

void RgbaImage::drawOver(const RgbaImage& picture, std::int32_t left, std::int32_t top) {
    const std::int32_t x0 = std::max(left, 0);
    const std::int32_t x1 = std::min(left + picture.width_, width_);
    const std::int32_t y0 = std::max(top, 0);
    const std::int32_t y1 = std::min(top + picture.height_, height_);
    for (std::int32_t y = y0; y < y1; ++y) {
        const std::uint8_t* from = picture.bytes_.data() + picture.at(x0 - left, y - top);
        std::uint8_t* to = bytes_.data() + at(x0, y);
        for (std::int32_t x = x0; x < x1; ++x, from += 4, to += 4) {
            over(to, from);
        }
    }
}

}  // namespace keelwright
