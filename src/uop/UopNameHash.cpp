// lookup3's hashlittle2, written from Bob Jenkins' published description: the bytes are taken in
// 12-byte groups as three little-endian words, mixed after each group but the last, and the last group
// (1 to 12 bytes, zero-padded) goes through the final mix. A name of no bytes is not mixed at all.
#include "uop/UopNameHash.h"

#include <array>
#include <cstddef>

namespace keelwright {
namespace {

constexpr std::uint32_t rotate(std::uint32_t x, int k) {
    return (x << k) | (x >> (32 - k));
}

struct State {
    std::uint32_t a, b, c;

    // clang-format off
    void mix() {
        a -= c; a ^= rotate(c, 4);  c += b;
        b -= a; b ^= rotate(a, 6);  a += c;
        c -= b; c ^= rotate(b, 8);  b += a;
        a -= c; a ^= rotate(c, 16); c += b;
        b -= a; b ^= rotate(a, 19); a += c;
        c -= b; c ^= rotate(b, 4);  b += a;
    }

    void finalMix() {
        c ^= b; c -= rotate(b, 14);
        a ^= c; a -= rotate(c, 11);
        b ^= a; b -= rotate(a, 25);
        c ^= b; c -= rotate(b, 16);
        a ^= c; a -= rotate(c, 4);
        b ^= a; b -= rotate(a, 14);
        c ^= b; c -= rotate(b, 24);
    }
    // clang-format on

    // Adds a group of up to 12 bytes, missing bytes counting as zero.
    void add(const std::array<std::uint8_t, 12>& group) {
        std::uint32_t words[3] = {0, 0, 0};
        for (std::size_t i = 0; i < 12; ++i) {
            words[i / 4] |= static_cast<std::uint32_t>(group[i]) << (8 * (i % 4));
        }
        a += words[0];
        b += words[1];
        c += words[2];
    }
};

std::uint8_t lowerCase(char ch) {
    const auto byte = static_cast<std::uint8_t>(ch);
    return byte >= 'A' && byte <= 'Z' ? static_cast<std::uint8_t>(byte - 'A' + 'a') : byte;
}

// The up to 12 bytes of the name from `from`, in lower case, zero-padded.
std::array<std::uint8_t, 12> groupAt(std::string_view name, std::size_t from) {
    std::array<std::uint8_t, 12> group{};
    for (std::size_t i = 0; i < group.size() && from + i < name.size(); ++i) {
        group[i] = lowerCase(name[from + i]);
    }
    return group;
}

}  // namespace

std::uint64_t UopNameHash(std::string_view name) {
    const std::uint32_t start = 0xDEADBEEFU + static_cast<std::uint32_t>(name.size());
    State s{start, start, start};
    if (name.empty()) {
        return (static_cast<std::uint64_t>(s.b) << 32) | s.c;
    }
    std::size_t done = 0;
    while (name.size() - done > 12) {
        s.add(groupAt(name, done));
        s.mix();
        done += 12;
    }
    s.add(groupAt(name, done));
    s.finalMix();
    return (static_cast<std::uint64_t>(s.b) << 32) | s.c;
}

std::string UopHashText(std::uint64_t hash) {
    std::string text = "0x";
    for (int shift = 60; shift >= 0; shift -= 4) {
        text += "0123456789ABCDEF"[(hash >> shift) & 0xFU];
    }
    return text;
}

}  // namespace keelwright
