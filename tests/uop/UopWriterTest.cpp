// Adding a multi to a MultiCollection.uop: what is written, where, and that nothing else changes.
#include "uop/UopWriter.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <functional>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopTestFiles.h"

namespace keelwright {
namespace {

using test::ClientReads;
using test::FactEntry;
using test::FactUopBytes;
using test::GetLe;

using test::kFileTime;

const std::vector<UopTile> kTiles = {
    UopTile::lead(), {1200, -2, 3, 0, 0, {}}, {1653, 1, 1, 5, 1, {0x40000001, 7}}};

std::string payloadText(std::int32_t multi) {
    const std::vector<std::uint8_t> bytes =
        UopMultiPayload{static_cast<std::uint32_t>(multi), kTiles}.encode();
    return std::string(bytes.begin(), bytes.end());
}

// The file with the bytes at [at, at + size) taken from `from`.
std::string withBytesOf(std::string file, const std::string& from, std::size_t at, std::size_t size) {
    file.replace(at, size, from.substr(at, size));
    return file;
}

class UopWriterTest : public ::testing::Test {
protected:
    // Writes the file, adds multi M's tiles, and checks what every client reads afterwards.
    UopMultiAdded add(const std::string& before, std::optional<std::int32_t> multi = std::nullopt) {
        test::WriteAll(path_, before);
        const UopMultiAdded added = AddMultiToUop(fileSystem_, path_, kTiles, kFileTime, multi);
        after_ = test::ReadAll(path_);
        for (const bool honourUsedCount : {false, true}) {
            auto expected = ClientReads(before, honourUsedCount);
            expected[UopNameHash(added.name)] = payloadText(added.multi);
            EXPECT_EQ(ClientReads(after_, honourUsedCount), expected)
                << "honouring the used count: " << honourUsedCount;
        }
        return added;
    }

    NativeFileSystem fileSystem_;
    test::TempDir dir_;
    std::filesystem::path path_ = dir_ / "MultiCollection.uop";
    std::string after_;
};

TEST_F(UopWriterTest, AppendsTheDataAndFillsTheFirstUnusedEntryLeavingEveryOtherByte) {
    const std::string before = FactUopBytes(4, 4, test::HousingAndMultis(2));  // one block, entry 3 unused
    const UopMultiAdded added = add(before);
    EXPECT_EQ(added.multi, 2);
    EXPECT_EQ(added.name, "build/multicollection/000002.bin");
    EXPECT_FALSE(added.added.appendedBlock);

    constexpr std::size_t kEntry = 40 + 12 + 3 * 34;
    std::string expected = withBytesOf(before, after_, kEntry, 34);
    expected = withBytesOf(expected, after_, 40, 4);  // the block's used count
    expected = withBytesOf(expected, after_, 24, 4);  // the header's file count
    EXPECT_EQ(after_.substr(0, before.size()), expected)
        << "only the entry and the two counts change in place";
    EXPECT_EQ(GetLe(after_, 40, 4), 4U);
    EXPECT_EQ(GetLe(after_, 24, 4), 4U);

    const std::string data = after_.substr(before.size());
    EXPECT_EQ(GetLe(after_, kEntry, 8), before.size()) << "the data begins at the old end of the file";
    EXPECT_EQ(GetLe(after_, kEntry + 8, 4), 12U);
    EXPECT_EQ(GetLe(after_, kEntry + 12, 4), data.size() - 12);
    EXPECT_EQ(GetLe(after_, kEntry + 16, 4), payloadText(2).size());
    EXPECT_EQ(GetLe(after_, kEntry + 20, 8), UopNameHash("build/multicollection/000002.bin"));
    EXPECT_EQ(GetLe(after_, kEntry + 28, 4), adler32(1, reinterpret_cast<const Bytef*>(data.data()), 12));
    EXPECT_EQ(GetLe(after_, kEntry + 32, 2), 1U);
    EXPECT_EQ(GetLe(data, 0, 2), 3U);
    EXPECT_EQ(GetLe(data, 2, 2), 8U);
    EXPECT_EQ(GetLe(data, 4, 8), static_cast<std::uint64_t>(kFileTime));
    EXPECT_EQ(data[12], '\x78') << "a zlib stream with its 2-byte header";
    EXPECT_EQ(added.storedLength, static_cast<std::int32_t>(data.size() - 12));
    EXPECT_EQ(added.added.bytesWritten, data.size() + 34 + 4 + 4);

    EXPECT_EQ(FileTimeOf(std::chrono::system_clock::time_point(std::chrono::seconds(1704067200))), kFileTime)
        << "the time stamp of now is a FILETIME: 100 ns since 1601";

    const UopMulti read = ReadUopMulti(fileSystem_, path_, 2);
    EXPECT_EQ(read.payload, (UopMultiPayload{2, kTiles}));
    EXPECT_TRUE(read.payload.startsWithLeadRecord());
}

TEST_F(UopWriterTest, AppendsAndLinksANewBlockWhenEveryBlockIsFull) {
    const std::string before =
        FactUopBytes(4, 2, test::HousingAndMultis(3));  // blocks at 40 and 120, both full
    const UopMultiAdded added = add(before);
    EXPECT_EQ(added.multi, 3);
    ASSERT_TRUE(added.added.appendedBlock);
    const std::uint64_t block = before.size() + 12 + static_cast<std::uint64_t>(added.storedLength);
    EXPECT_EQ(GetLe(after_, 120 + 4, 8), block) << "the last block links the new one";
    EXPECT_EQ(after_.size(), block + 12 + 2 * 34);
    EXPECT_EQ(GetLe(after_, block, 4), 1U);
    EXPECT_EQ(GetLe(after_, block + 4, 8), 0U) << "the new block ends the chain";
    EXPECT_EQ(GetLe(after_, block + 12, 8), before.size());
    EXPECT_EQ(after_.substr(block + 12 + 34), std::string(34, '\0'));
    EXPECT_EQ(withBytesOf(withBytesOf(before, after_, 124, 8), after_, 24, 4),
              after_.substr(0, before.size()));

    const std::string full = after_;
    const UopMultiAdded next = add(full);
    EXPECT_EQ(next.multi, 4);
    EXPECT_FALSE(next.added.appendedBlock) << "the new block had room";
    EXPECT_EQ(GetLe(after_, block + 12 + 34, 8), full.size());
    EXPECT_EQ(GetLe(after_, block, 4), 2U);
}

TEST_F(UopWriterTest, RefusesAnAddTheFileCannotTakeWritingNothing) {
    const std::string sound = FactUopBytes(4, 4, test::HousingAndMultis(2));
    const struct {
        const char* what;
        std::string file;
        std::optional<std::int32_t> multi;
        std::string description;
    } rows[] = {
        {"another version", FactUopBytes(5, 4, {}), std::nullopt,
         "is UOP version 5; MultiCollection.uop is version 4"},
        {"a multi that has an entry", sound, 1, "already has an entry for multi 1; nothing was written"},
        {"a multi number beyond six digits", sound, 1'000'000, "multi 1000000 is outside 0 to 999999"},
        {"a file without a block", test::WithLe(FactUopBytes(4, 4, {}), 12, 0, 8), std::nullopt,
         "the file has no table block; nothing was written"},
        // The add writes the block's used count at byte 40 and the entry at byte 154.
        {"an entry whose data lies in the header", test::WithLe(sound, 52, 40 - 12, 8), std::nullopt,
         "at byte 52: its data (bytes 28 to "},
        {"an entry whose data lies in the table", test::WithLe(sound, 52, 150, 8), std::nullopt,
         "lies in the header or the table, which an add writes: the file is damaged; nothing was written"},
        {"an entry that reaches past the end, where the add appends", sound.substr(0, sound.size() - 1),
         std::nullopt, "where an add appends: the file is cut short; nothing was written"},
    };
    for (const auto& row : rows) {
        test::WriteAll(path_, row.file);
        try {
            AddMultiToUop(fileSystem_, path_, kTiles, kFileTime, row.multi);
            ADD_FAILURE() << row.what;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find(row.description), std::string::npos) << e.description();
        }
        EXPECT_EQ(test::ReadAll(path_), row.file) << row.what;
    }

    test::WriteAll(path_, sound);
    UopNewEntry housing = NewCompressedEntry(kHousingBinName, {}, kFileTime);
    EXPECT_THROW(AddUopEntry(fileSystem_, path_, housing), Error) << "a name already in use";
    housing.version = 5;
    EXPECT_THROW(AddUopEntry(fileSystem_, path_, housing), Error) << "an entry made for another version";
    EXPECT_EQ(test::ReadAll(path_), sound);
}

// A crash between an entry's Offset and the header's count leaves the count wrong: the next write of any kind
// counts the table, so that it mends the count rather than carrying the error on.
TEST_F(UopWriterTest, EveryWriteSetsTheHeadersFileCountFromTheTable) {
    const std::string sound =
        FactUopBytes(4, 4, test::HousingAndMultis(2));  // housing.bin and two multis: 3 entries
    const struct {
        const char* what;
        std::function<void(UopContainer&)> write;
        std::uint64_t entries;
    } writes[] = {
        {"an add", [](UopContainer& c) { AddUopEntry(c, NewMultiEntry(5, kTiles, kFileTime)); }, 4},
        {"a replacement", [](UopContainer& c) { ReplaceUopEntry(c, NewMultiEntry(1, kTiles, kFileTime)); },
         3},
        {"a removal", [](UopContainer& c) { RemoveUopEntry(c, UopNameHash(MultiEntryName(0))); }, 2},
    };
    for (const auto& write : writes) {
        for (const std::uint64_t wrong : {0, 2, 4, 606}) {
            test::WriteAll(path_, test::WithLe(sound, kUopFileCountField, wrong, 4));
            {
                UopContainer container(fileSystem_, path_, OpenMode::ReadWrite);
                write.write(container);
            }
            EXPECT_EQ(GetLe(test::ReadAll(path_), kUopFileCountField, 4), write.entries)
                << write.what << " over a count of " << wrong;
        }
    }
}

TEST(NewEntryFileTime, IsSourceDateEpochWhenItIsSetElseNow) {
    const auto now = std::chrono::system_clock::time_point(std::chrono::seconds(1'000'000'000));
    EXPECT_EQ(NewEntryFileTime(std::nullopt, now), FileTimeOf(now));
    EXPECT_EQ(NewEntryFileTime("0", now), 116444736000000000);
    EXPECT_EQ(NewEntryFileTime("1700000000", now), 116444736000000000 + 17'000'000'000'000'000);
    for (const char* bad : {"", " 1", "1.5", "-1", "+1", "1e9", "922337203685", "99999999999999999999"}) {
        EXPECT_THROW(NewEntryFileTime(bad, now), Error) << QuoteInput(bad);
    }
}

TEST_F(UopWriterTest, FindsTheFirstMultiWithoutAnEntry) {
    std::vector<FactEntry> all = test::HousingAndMultis(2);
    all.push_back({MultiEntryName(3), "three"});
    test::WriteAll(path_, FactUopBytes(4, 100, all));
    const UopContainer container(fileSystem_, path_);
    EXPECT_TRUE(HasMultiEntry(container, 3));
    EXPECT_FALSE(HasMultiEntry(container, 2));
    EXPECT_EQ(FirstMultiWithoutEntry(container), 2);
    EXPECT_EQ(FirstMultiWithoutEntry(container, 3), 4);
}

}  // namespace
}  // namespace keelwright
