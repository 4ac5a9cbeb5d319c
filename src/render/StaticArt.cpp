#include "render/StaticArt.h"

#include <string>

#include "model/Error.h"
#include "model/NumberText.h"
#include "mulfiles/RecordLayout.h"

namespace keelwright {
namespace {

constexpr std::size_t kHeaderSize = 8;

class EntryReader {
public:
    EntryReader(std::span<const std::uint8_t> entry, std::uint64_t entryOffset)
        : entry_(entry), entryOffset_(entryOffset) {}

    std::size_t size() const { return entry_.size(); }
    bool holds(std::size_t at, std::size_t bytes) const {
        return at <= entry_.size() && bytes <= entry_.size() - at;
    }
    std::uint16_t u16(std::size_t at) const { return GetLittleEndian<std::uint16_t>(entry_.data() + at); }

    [[noreturn]] void fail(std::size_t at, const std::string& reason) const {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "byte " + NumberText(static_cast<std::int64_t>(entryOffset_ + at)) + ": " + reason);
    }

private:
    std::span<const std::uint8_t> entry_;
    std::uint64_t entryOffset_;
};

std::uint8_t expand(std::uint16_t fiveBits) {
    return static_cast<std::uint8_t>(fiveBits * 255 / 31);
}

// Draws the runs of row y, which start at byte `at`.
void decodeRow(const EntryReader& in, std::size_t at, std::int32_t y, RgbaImage& picture) {
    const auto row = [y] { return "row " + NumberText(y); };
    std::int32_t x = 0;
    for (;;) {
        if (!in.holds(at, 4)) {
            in.fail(at, row() + " runs past the end of the entry before its end mark");
        }
        const std::uint16_t xOffset = in.u16(at);
        const std::uint16_t xRun = in.u16(at + 2);
        at += 4;
        if (xOffset == 0 && xRun == 0) {
            return;
        }
        x += xOffset;
        if (x + xRun > kStaticArtRowLimit) {
            in.fail(at - 4, row() + " has a run that reaches x " + NumberText(x + xRun - 1) + ", past " +
                                NumberText(kStaticArtRowLimit - 1));
        }
        if (!in.holds(at, std::size_t{2} * xRun)) {
            in.fail(at - 4,
                    row() + " has a run of " + NumberText(xRun) + " pixels past the end of the entry");
        }
        for (std::int32_t i = 0; i < xRun; ++i, at += 2) {
            // Pixels right of the picture's width are not shown, as the game shows none.
            if (x + i < picture.width()) {
                picture.setPixel(x + i, y, ColourOfArtPixel(in.u16(at)));
            }
        }
        x += xRun;
    }
}

}  // namespace

Rgba ColourOfArtPixel(std::uint16_t pixel) {
    const auto colour = static_cast<std::uint16_t>(pixel & 0x7FFF);
    if (colour == 0) {
        return {};
    }
    return {expand((colour >> 10) & 0x1F), expand((colour >> 5) & 0x1F), expand(colour & 0x1F), 255};
}

RgbaImage DecodeStaticArt(std::span<const std::uint8_t> entry, std::uint64_t entryOffset) {
    const EntryReader in(entry, entryOffset);
    if (!in.holds(0, kHeaderSize)) {
        in.fail(0, "the entry of " + NumberText(static_cast<std::int64_t>(entry.size())) +
                       " bytes is too short for an art header");
    }
    const std::int32_t width = in.u16(4);
    const std::int32_t height = in.u16(6);
    if (width == 0 || width > kMaxStaticArtWidth) {
        in.fail(4, "width " + NumberText(width) + " is outside 1 to " + NumberText(kMaxStaticArtWidth));
    }
    if (height == 0 || height > kMaxStaticArtHeight) {
        in.fail(6, "height " + NumberText(height) + " is outside 1 to " + NumberText(kMaxStaticArtHeight));
    }
    const std::size_t rows = kHeaderSize + std::size_t{2} * static_cast<std::size_t>(height);
    if (!in.holds(0, rows)) {
        in.fail(kHeaderSize, "the lookup table of " + NumberText(height) +
                                 " rows reaches past the end of the " +
                                 NumberText(static_cast<std::int64_t>(entry.size())) + "-byte entry");
    }
    RgbaImage picture(width, height);
    for (std::int32_t y = 0; y < height; ++y) {
        const std::size_t lookup = kHeaderSize + std::size_t{2} * static_cast<std::size_t>(y);
        decodeRow(in, rows + std::size_t{2} * in.u16(lookup), y, picture);
    }
    return picture;
}

}  // namespace keelwright
