// The survey of a MultiCollection.uop, and the example file against the example Multi.mul.
#include "uop/UopSurvey.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopMultiFlags.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopTestFiles.h"

namespace keelwright {
namespace {

using test::FactEntry;
using test::FactUopBytes;
using test::WithLe;
using Kind = UopProblem::Kind;

std::string payloadText(std::uint32_t number, const std::vector<UopTile>& tiles) {
    const std::vector<std::uint8_t> bytes = UopMultiPayload{number, tiles}.encode();
    return std::string(bytes.begin(), bytes.end());
}

struct Found {
    Kind kind;
    std::uint64_t position;
    std::optional<std::int32_t> multi;
    bool operator==(const Found&) const = default;
};

std::vector<Found> found(const UopSurvey& s) {
    std::vector<Found> all;
    for (const UopProblem& p : s.problems) {
        all.push_back({p.kind, p.position, p.multi});
    }
    return all;
}

std::vector<std::int32_t> numbers(const UopSurvey& s) {
    std::vector<std::int32_t> all;
    for (const UopSurvey::Multi& m : s.multis) {
        all.push_back(m.multi);
    }
    return all;
}

class UopSurveyTest : public ::testing::Test {
protected:
    UopSurvey survey(const std::string& bytes) {
        test::WriteAll(path_, bytes);
        return SurveyUop(fileSystem_, path_);
    }

    NativeFileSystem fileSystem_;
    test::TempDir dir_;
    std::filesystem::path path_ = dir_ / "MultiCollection.uop";
};

TEST_F(UopSurveyTest, TheExampleFileHoldsTheMultisOfTheExampleMultiMulUnderTheirNumbers) {
    const std::filesystem::path examples = KEELWRIGHT_EXAMPLES "/client";
    const UopSurvey s = SurveyUop(fileSystem_, examples / "MultiCollection.uop");
    EXPECT_TRUE(s.sound()) << (s.problems.empty() ? "" : s.problems[0].message);
    EXPECT_EQ(s.version, 4U);
    EXPECT_EQ(s.blocks, 2) << "the block chain is exercised";
    EXPECT_EQ(s.entryCount, 6);
    EXPECT_EQ(s.headerFileCount, 6U);
    EXPECT_TRUE(s.housingBin);
    EXPECT_EQ(numbers(s), (std::vector<std::int32_t>{0, 1, 2, 3, 5}));

    const std::string index = test::ReadAll(examples / "Multi.idx");
    const std::string data = test::ReadAll(examples / "Multi.mul");
    const std::string uop = test::ReadAll(examples / "MultiCollection.uop");
    const auto clientReads = test::ClientReads(uop, true);
    for (const UopSurvey::Multi& multi : s.multis) {
        const auto slot = static_cast<std::size_t>(multi.multi);
        RecordBytes raw{};
        std::copy_n(index.begin() + static_cast<std::ptrdiff_t>(slot * 12), 12, raw.begin());
        const IndexRecord entry = IndexRecord::decode(raw);
        const std::vector<UopTile> tiles =
            ReadUopMulti(fileSystem_, examples / "MultiCollection.uop", multi.multi).payload.tiles;
        ASSERT_EQ(tiles.size() * 12, static_cast<std::size_t>(entry.Length)) << "multi " << multi.multi;
        EXPECT_TRUE(multi.leadRecord);
        for (std::size_t n = 0; n < tiles.size(); ++n) {
            std::copy_n(data.begin() + entry.Offset + static_cast<std::ptrdiff_t>(n * 12), 12, raw.begin());
            const ComponentRecord record = ComponentRecord::decode(raw);
            const UopTile& tile = tiles[n];
            EXPECT_EQ(tile.ItemId, static_cast<std::uint16_t>(record.ItemId))
                << "multi " << multi.multi << " " << n;
            EXPECT_EQ(std::tuple(tile.X, tile.Y, tile.Z), std::tuple(record.X, record.Y, record.Z));
            EXPECT_EQ(MulFlagsOfUop(tile.Flags), (MulTileFlags{record.Flags, 0}));
        }
        EXPECT_EQ(clientReads.at(UopNameHash(MultiEntryName(multi.multi))), payloadText(multi.multi, tiles))
            << "a reader that knows only the format's facts finds multi " << multi.multi;
    }
}

TEST_F(UopSurveyTest, ReportsEveryProblemAtItsEntry) {
    const std::vector<UopTile> tiles = {UopTile::lead(), {1200, 0, 0, 0, 0, {}}};
    std::string bytes = FactUopBytes(4, 8,
                                     {{std::string(kHousingBinName), "catalogue"},
                                      {MultiEntryName(0), payloadText(0, tiles)},
                                      {MultiEntryName(1), payloadText(7, tiles)},
                                      {MultiEntryName(2), "not a multi"},
                                      {"build/other/thing.bin", "unknown"},
                                      {MultiEntryName(3), payloadText(3, tiles)},
                                      {MultiEntryName(4), payloadText(4, tiles)}});
    const auto entry = [](std::size_t n) { return 40 + 12 + 34 * n; };
    bytes = WithLe(bytes, entry(5) + 12, 100000, 4);          // multi 3 reaches past the end
    bytes.replace(entry(6), 20, bytes.substr(entry(1), 20));  // multi 4's entry points at multi 0's data
    const UopSurvey s = survey(bytes);
    EXPECT_EQ(found(s), (std::vector<Found>{{Kind::NumberMismatch, entry(2), 1},
                                            {Kind::BadPayload, entry(3), 2},
                                            {Kind::UnknownEntry, entry(4), std::nullopt},
                                            {Kind::EntryPastEnd, entry(5), 3},
                                            {Kind::NumberMismatch, entry(6), 4},
                                            {Kind::Overlap, entry(6), std::nullopt}}));
    EXPECT_EQ(numbers(s), (std::vector<std::int32_t>{0, 1, 4})) << "entries that read are listed";
    EXPECT_EQ(s.multis[0].tiles, 2U);
    EXPECT_EQ(s.entryCount, 7);
    EXPECT_EQ(s.problems[2].message,
              "entry " + UopHashText(UopNameHash("build/other/thing.bin")) +
                  " at byte 188: its name is neither housing.bin nor a multi's from 0 to 65543");
    EXPECT_EQ(s.problems[5].message.find("build/multicollection/000004.bin (entry "), 0U)
        << s.problems[5].message;
    EXPECT_NE(s.problems[5].message.find(") overlaps build/multicollection/000000.bin (entry "),
              std::string::npos)
        << s.problems[5].message;
}

TEST_F(UopSurveyTest, ReportsAFileThatIsNotAMultiCollection) {
    const std::string v4 = FactUopBytes(4, 4, {{MultiEntryName(0), payloadText(0, {})}});
    struct Row {
        const char* what;
        std::string bytes;
        std::vector<Kind> kinds;
        std::vector<std::int32_t> multis;
    };
    const Row rows[] = {
        {"a bad magic", WithLe(v4, 0, 0x4D595000, 4), {Kind::BadMagic}, {}},
        {"a bad signature", WithLe(v4, 8, 0, 4), {Kind::BadMagic}, {}},
        {"a short file", "MYP", {Kind::BadMagic}, {}},
        {"version 5", WithLe(v4, 4, 5, 4), {Kind::BadVersion}, {0}},
        {"a header count the table does not match", WithLe(v4, 24, 2, 4), {Kind::FileCountMismatch}, {0}},
    };
    for (const Row& row : rows) {
        const UopSurvey s = survey(row.bytes);
        std::vector<Kind> kinds;
        for (const UopProblem& p : s.problems) {
            kinds.push_back(p.kind);
        }
        EXPECT_EQ(kinds, row.kinds) << row.what;
        EXPECT_EQ(numbers(s), row.multis) << row.what;
    }
    EXPECT_THROW(survey(WithLe(v4, 44, 40, 8)), Error) << "a table that loops cannot be surveyed";
}

}  // namespace
}  // namespace keelwright
