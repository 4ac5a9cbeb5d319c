// The name hash, the multi payload and the flags, each checked against the format's facts.
#include <gtest/gtest.h>

#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "uop/UopMultiFlags.h"
#include "uop/UopMultiPayload.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"

namespace keelwright {
namespace {

std::string text(const std::vector<std::uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::uint8_t> bytesOf(std::string_view hex) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 3) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16)));
    }
    return bytes;
}

TEST(UopNameHash, GivesTheKnownHashesOfClientNames) {
    const struct {
        const char* name;
        std::uint64_t hash;
    } rows[] = {
        {"build/multicollection/housing.bin", 0x126D1E99DDEDEE0A},
        {"build/gumpartlegacymul/0009834.tga", 0x906142EFE9FDB38A},
        {"build/multicollection/000000.bin", 0x665FF35AC79D382B},
        {"Build/MultiCollection/HOUSING.BIN", 0x126D1E99DDEDEE0A},  // hashed in lower case
        {"", 0xDEADBEEFDEADBEEF},                                   // no bytes: the initial values, unmixed
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UopHashText(UopNameHash(row.name)), UopHashText(row.hash)) << row.name;
    }
    EXPECT_EQ(MultiEntryName(0), "build/multicollection/000000.bin");
    EXPECT_EQ(MultiEntryName(999999), "build/multicollection/999999.bin");
    EXPECT_THROW(MultiEntryName(1'000'000), Error);
    EXPECT_THROW(MultiEntryName(-1), Error);
}

TEST(UopMultiPayload, EncodesEveryFieldLittleEndianAndKeepsThePartIds) {
    const UopMultiPayload payload{4, {{0x1234, -1, 2, 3, 0x101, {7, 0xA0B0C0D0}}, UopTile::lead()}};
    const std::vector<std::uint8_t> bytes = payload.encode();
    EXPECT_EQ(test::HexBytes(text(bytes)),
              "04 00 00 00 02 00 00 00 "                                            // number, count
              "34 12 FF FF 02 00 03 00 01 01 02 00 00 00 07 00 00 00 D0 C0 B0 A0 "  // a tile with 2 parts
              "01 00 00 00 00 00 00 00 01 00 00 00 00 00");                         // the lead record
    EXPECT_EQ(UopMultiPayload::decode(bytes), payload);
    EXPECT_FALSE(payload.startsWithLeadRecord()) << "a lead record counts only as the first tile";

    const UopMultiPayload led{9, {UopTile::lead(), {1200, 0, 0, 0, 0, {}}}};
    EXPECT_TRUE(UopMultiPayload::decode(led.encode()).startsWithLeadRecord());
    ASSERT_EQ(led.components().size(), 1U);
    EXPECT_EQ(led.components()[0].ItemId, 1200);
}

TEST(UopMultiPayload, RefusesAPayloadThatEndsInsideATileOrGoesOnAfterTheLast) {
    const struct {
        const char* hex;
        const char* reason;
    } rows[] = {
        {"04 00 00", "the multi payload (3 bytes) ends inside its head: 4 bytes are needed at byte 0"},
        {"04 00 00 00 FF FF FF FF 00 00",
         "the multi payload counts 4294967295 tiles at byte 4, but only 2 bytes follow"},
        {"04 00 00 00 01 00 00 00 34 12 FF FF 02 00 03 00 01 01 FF FF FF 3F 00 00",
         "the multi payload (24 bytes) ends inside tile 1: 4294967292 bytes are needed at byte 22"},
        {"04 00 00 00 01 00 00 00 34 12 FF FF 02 00 03 00 01 01 00 00 00 00 AA",
         "the multi payload goes on for 1 bytes after its last tile, at byte 22"},
    };
    for (const auto& row : rows) {
        try {
            UopMultiPayload::decode(bytesOf(row.hex));
            ADD_FAILURE() << row.hex;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
            EXPECT_EQ(e.reason(), row.reason);
        }
    }
}

TEST(UopMultiFlags, ConvertsEachMulFormToItsUopFormAndBack) {
    const struct {
        MulTileFlags mul;
        std::uint16_t uop;
    } rows[] = {
        {{1, 0}, 0x000},  // visible
        {{0, 0}, 0x001},  // dynamic: doors, signs, the lead record
        {{1, 1}, 0x100},  // the 16-byte layout's extra int
        {{0, 1}, 0x101},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(UopFlagsOfMul(row.mul), row.uop) << row.mul.flags << " " << row.mul.extra;
        EXPECT_EQ(MulFlagsOfUop(row.uop), row.mul) << row.uop;
    }
    for (const MulTileFlags unknown : {MulTileFlags{2, 0}, MulTileFlags{-1, 0}, MulTileFlags{1, 2}}) {
        EXPECT_THROW(UopFlagsOfMul(unknown), Error) << unknown.flags << " " << unknown.extra;
    }
    for (const std::uint16_t unknown : {0x002, 0x200, 0x8001}) {
        EXPECT_THROW(MulFlagsOfUop(unknown), Error) << unknown;
    }
}

}  // namespace
}  // namespace keelwright
