// The container reader against files made from the format's facts, sound and hostile.
#include "uop/UopContainer.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/Error.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopTestFiles.h"

namespace keelwright {
namespace {

using test::FactEntry;
using test::FactUopBytes;
using test::WithLe;

UopContainer containerOf(std::string bytes) {
    return UopContainer(std::make_unique<test::MemoryFile>(std::move(bytes), "MultiCollection.uop"));
}

std::string payloadOf(UopContainer& container, std::string_view name) {
    const UopContainer::Located* found = container.find(UopNameHash(name));
    if (found == nullptr) {
        return "(no entry)";
    }
    const std::vector<std::uint8_t> bytes = container.readPayload(*found);
    return std::string(bytes.begin(), bytes.end());
}

TEST(UopContainer, FindsEveryEntryOfAFileMadeFromTheFacts) {
    const std::vector<FactEntry> art = {{"build/artlegacymul/00000001.tga", "first tile", false},
                                        {"build/artlegacymul/00000002.tga", std::string(3000, 'x'), false},
                                        {"build/artlegacymul/00000003.tga", "", false}};
    UopContainer v5 = containerOf(FactUopBytes(5, 2, art));
    EXPECT_EQ(v5.header().Version, 5U) << "version 5 is read like any other";
    EXPECT_EQ(v5.blocks().size(), 2U);
    EXPECT_EQ(v5.entries().size(), 3U);
    for (const FactEntry& entry : art) {
        EXPECT_EQ(payloadOf(v5, entry.name), entry.payload) << entry.name;
    }
    EXPECT_EQ(payloadOf(v5, "build/artlegacymul/00000004.tga"), "(no entry)");

    UopContainer v4 = containerOf(FactUopBytes(
        4, 100,
        {{std::string(kHousingBinName), "catalogue"}, {"build/multicollection/000007.bin", "seven"}}));
    EXPECT_EQ(payloadOf(v4, "build/multicollection/000007.bin"), "seven");
    EXPECT_EQ(payloadOf(v4, kHousingBinName), "catalogue");
    EXPECT_EQ(v4.blocks()[0].firstUnused, 2U);
    EXPECT_EQ(v4.entries()[1].position, 40U + 12 + 34);
}

// A sound file of two blocks of two entries: the header, block 1 at byte 40, block 2 at byte 120, the
// data from byte 200 on (housing.bin's entry first, at byte 52).
const std::string kSound = FactUopBytes(4, 2,
                                        {{std::string(kHousingBinName), std::string(500, 'h')},
                                         {"build/multicollection/000000.bin", "zero"},
                                         {"build/multicollection/000001.bin", "one"}});

TEST(UopContainer, RefusesAHostileTableNamingTheFileAndTheByte) {
    const struct {
        const char* what;
        std::string bytes;
        std::string reason;
    } rows[] = {
        {"a short file", kSound.substr(0, 30),
         "is not a UOP file: 30 bytes are too few for its 40-byte header"},
        {"a bad magic", WithLe(kSound, 0, 0x12345678, 4),
         "is not a UOP file: its header (byte 0) has magic 12345678 and signature FD23EC43, not 50594D and "
         "FD23EC43"},
        {"a capacity of 0", WithLe(kSound, 20, 0, 4),
         "the header (byte 20) gives table blocks a capacity of 0"},
        {"a truncated table", kSound.substr(0, 150),
         "the table block at byte 120 (pointed to from byte 44) does not fit in the file's 150 bytes: the "
         "table "
         "is truncated"},
        {"a capacity claiming more than the file", WithLe(kSound, 20, 0xFFFFFFFF, 4),
         "the table block at byte 40 (pointed to from byte 12) does not fit in the file's " +
             std::to_string(kSound.size()) + " bytes: the table is truncated"},
        {"a first block before the start", WithLe(kSound, 12, 0xFFFFFFFFFFFFFFF0, 8),
         "the table block at byte -16 (pointed to from byte 12) does not fit in the file's " +
             std::to_string(kSound.size()) + " bytes: the table is truncated"},
        {"a chain that loops", WithLe(kSound, 124, 40, 8),
         "the table block at byte 40 (pointed to from byte 124) was read before: the block chain loops"},
        {"a block inside another", WithLe(kSound, 44, 60, 8),
         "the table block at byte 60 (pointed to from byte 44) overlaps the header or another block: the "
         "block "
         "chain loops or is damaged"},
        {"a used count above the capacity", WithLe(kSound, 40, 3, 4),
         "the table block at byte 40 claims 3 used entries; its capacity is 2"},
        {"a negative used count", WithLe(kSound, 120, 0xFFFFFFFF, 4),
         "the table block at byte 120 claims -1 used entries; its capacity is 2"},
    };
    for (const auto& row : rows) {
        try {
            containerOf(row.bytes);
            ADD_FAILURE() << row.what;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat) << row.what;
            EXPECT_EQ(e.description(), "MultiCollection.uop: " + row.reason) << row.what;
        }
    }
}

TEST(UopContainer, RefusesAHostileEntryNamingItAndNeverTrustsAClaimedLength) {
    const std::string zeros(16 << 20, '\0');  // deflates to about 16 KB
    const std::string bomb = FactUopBytes(4, 2, {{std::string(kHousingBinName), zeros}});
    // The fields of housing.bin's entry at byte 52.
    constexpr std::size_t kStored = 52 + 12, kLength = 52 + 16, kCompression = 52 + 32;
    const std::uint64_t stored = test::GetLe(kSound, kStored, 4);
    const std::string housing = "entry 0x126D1E99DDEDEE0A at byte 52: ";
    const struct {
        const char* what;
        std::string bytes;
        std::string reason;
    } rows[] = {
        {"a stored length past the end", WithLe(kSound, kStored, 100000, 4),
         housing +
             "its data (offset 200, header length 12, stored length 100000) reaches outside the file's " +
             std::to_string(kSound.size()) + " bytes"},
        {"a negative stored length", WithLe(kSound, kStored, 0xFFFFFFFF, 4),
         housing + "its data (offset 200, header length 12, stored length -1) reaches outside the file's " +
             std::to_string(kSound.size()) + " bytes"},
        {"a decompressed length claiming more", WithLe(kSound, kLength, 501, 4),
         housing + "the zlib stream yields 500 bytes, its entry claims 501"},
        {"a decompressed length claiming less", WithLe(kSound, kLength, 499, 4),
         housing + "the zlib stream yields 500 bytes, its entry claims 499"},
        {"a zip bomb", WithLe(bomb, kLength, 1000, 4),
         housing + "the zlib stream yields more than the 1000 bytes its entry claims"},
        {"a decompressed length above the limit", WithLe(bomb, kLength, 0x7FFFFFFF, 4),
         housing + "its decompressed length 2147483647 is outside 0 to 268435456"},
        {"a truncated stream", WithLe(kSound, kStored, stored - 4, 4),
         housing + "the zlib stream ends early, after " + std::to_string(stored - 4) + " bytes"},
        {"a payload that is not zlib", WithLe(kSound, 200 + 12, 0xFFFFFFFF, 4),
         housing + "the payload is not a sound zlib stream: incorrect header check"},
        {"an unknown compression", WithLe(kSound, kCompression, 2, 2),
         housing + "compression 2 is not supported (0 none, 1 zlib)"},
        {"an uncompressed payload of another length", WithLe(kSound, kCompression, 0, 2),
         housing + "it is stored uncompressed in " + std::to_string(stored) +
             " bytes but claims 500 decompressed"},
    };
    for (const auto& row : rows) {
        UopContainer container = containerOf(row.bytes);
        try {
            payloadOf(container, kHousingBinName);
            ADD_FAILURE() << row.what;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat) << row.what;
            EXPECT_EQ(e.description(), "MultiCollection.uop: " + row.reason) << row.what;
        }
        EXPECT_EQ(payloadOf(container, "build/multicollection/000000.bin"),
                  row.bytes.size() == kSound.size() ? "zero" : "(no entry)")
            << "the other entries still read: " << row.what;
    }
}

}  // namespace
}  // namespace keelwright
