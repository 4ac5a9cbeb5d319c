#include "mulfiles/ClientFilesSurvey.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/MemoryFile.h"

namespace keelwright {
namespace {

using test::Free;
using test::IndexBytes;
using test::Used;
using Kind = SurveyProblem::Kind;

// Surveys an index against a Multi.mul of `dataBytes` bytes of lead records, as the patcher writes blocks.
ClientFilesSurvey survey(const std::string& index, std::uint64_t dataBytes,
                         std::optional<RecordSize> forced = std::nullopt) {
    std::string data;
    while (data.size() < dataBytes) {
        data += test::DataBytes({ComponentRecord::lead()});
    }
    test::MemoryFile file(data.substr(0, dataBytes));
    return SurveyClientFiles(test::AsBytes(index), file, forced);
}

struct Found {
    Kind kind;
    std::int32_t slot, otherSlot;
    bool operator==(const Found&) const = default;
};

std::vector<Found> found(const ClientFilesSurvey& s) {
    std::vector<Found> all;
    for (const SurveyProblem& p : s.problems) {
        all.push_back({p.kind, p.slot, p.otherSlot});
    }
    return all;
}

TEST(ClientFilesSurvey, CountsTheSlotsOfSoundFilesAndFindsNoProblem) {
    const ClientFilesSurvey s =
        survey(IndexBytes({Used(0, 48), Free(), Used(48, 12), Free(), {0, 0, 0}}), 60);
    EXPECT_TRUE(s.sound());
    EXPECT_EQ(s.slotCount, 5);
    EXPECT_EQ(s.usedCount, 2);
    EXPECT_EQ(s.freeCount, 2);
    EXPECT_EQ(s.zeroCount, 1) << "a zero record after the first free slot stops no patch";
    EXPECT_EQ(s.firstFreeSlot, 2);
    EXPECT_EQ(s.firstFreeRecord, 6) << "60 bytes: five records";
    ASSERT_EQ(s.usedSlots.size(), 2U);
    EXPECT_EQ(s.usedSlots[1].slot, 3);
    EXPECT_EQ(s.usedSlots[1].components, 0);

    // 65 bytes: five records and 5 bytes, which no Multi.mul ends in.
    const ClientFilesSurvey partial =
        survey(IndexBytes({Used(0, 48), Free(), Used(48, 12), Free(), {0, 0, 0}}), 65);
    EXPECT_EQ(found(partial), (std::vector<Found>{{Kind::PartialDataRecord, 0, 0}}));
    EXPECT_EQ(partial.problems[0].message,
              "Multi.mul ends 5 bytes past its last whole 12-byte record: it is not a Multi.mul, or it is "
              "damaged; no command writes into it");
}

TEST(ClientFilesSurvey, ReportsEveryProblemAtItsSlot) {
    // 120 bytes of data: ten records.
    const std::string index = IndexBytes({
                                  Used(0, 48),    // 1: sound
                                  Used(36, 24),   // 2: overlaps slot 1
                                  Used(60, 30),   // 3: bad length
                                  Used(96, 36),   // 4: past the end
                                  {0, 0, 0},      // 5: zero record before the free slot
                                  Used(0, 48),    // 6: the same block as slot 1
                                  Free(),         // 7
                                  Used(-12, 12),  // 8: before the start
                              }) +
                              "\x01\x02";
    const ClientFilesSurvey s = survey(index, 120);
    EXPECT_FALSE(s.sound());
    EXPECT_EQ(s.usedCount, 6);
    EXPECT_EQ(found(s), (std::vector<Found>{{Kind::Overlap, 2, 1},
                                            {Kind::BadLength, 3, 0},
                                            {Kind::BlockPastEnd, 4, 0},
                                            {Kind::ZeroRecordBeforeFreeSlot, 5, 0},
                                            {Kind::Overlap, 6, 1},
                                            {Kind::BlockPastEnd, 8, 0},
                                            {Kind::PartialIndexRecord, 9, 0}}));
    EXPECT_EQ(s.problems[2].message,
              "slot 4 (multi 3): its block (offset 96, length 36) reaches outside Multi.mul (120 bytes)");
}

TEST(ClientFilesSurvey, AnIndexWithoutAFreeSlotWouldStopAPatch) {
    EXPECT_EQ(found(survey(IndexBytes({Used(0, 12)}), 12)), (std::vector<Found>{{Kind::NoFreeSlot, 2, 0}}));
    EXPECT_EQ(found(survey("", 0)), (std::vector<Found>{{Kind::NoFreeSlot, 1, 0}}));
}

// Both sizes of Multi.mul survey alike: no false problems, components counted as extraction counts them,
// and the bytes a killed patch left after the last block reported without making the files unsound.
TEST(ClientFilesSurvey, ReadsMultiMulInItsRecordSizeAndCountsComponentsAsExtractionDoes) {
    for (const RecordSize size : {RecordSize::Twelve, RecordSize::Sixteen}) {
        const auto bytes = static_cast<std::int32_t>(BytesOf(size));
        // A block the patcher wrote (a lead record, one tile) and one it did not (three tiles), then a
        // block of two records whose index entry a killed patch never wrote.
        const std::string data =
            test::DataBytes({ComponentRecord::lead(), {1200, 0, 0, 0, 1}}, size) +
            test::DataBytes({{16385, 1, 1, 0, 0}, {1201, 0, 1, 0, 1}, {1202, 1, 0, 0, 1}}, size) +
            test::DataBytes({ComponentRecord::lead(), {7, 7, 7, 7, 0}}, size);
        const std::string index =
            IndexBytes({Used(0, 2 * bytes), Free(), Used(2 * bytes, 3 * bytes), Free()});
        test::MemoryFile file(data);
        const ClientFilesSurvey s = SurveyClientFiles(test::AsBytes(index), file);
        EXPECT_TRUE(s.sound()) << BytesOf(size) << ": " << (s.sound() ? "" : s.problems[0].message);
        EXPECT_EQ(s.recordSize.size, size);
        EXPECT_EQ(s.recordSize.from, RecordSizeFrom::Lengths);
        EXPECT_EQ(s.firstFreeRecord, 8);
        EXPECT_EQ(s.unindexedTailBytes, static_cast<std::uint64_t>(2 * bytes));
        ASSERT_EQ(s.usedSlots.size(), 2U);
        EXPECT_EQ(s.usedSlots[0].components, 1);
        EXPECT_EQ(s.usedSlots[1].components, 3) << "a block without a lead record";
    }
}

TEST(ClientFilesSurvey, MeasuresLengthsInTheSizeMostBlocksHoldWhenTheFilesAreUnusable) {
    // Two blocks of 16-byte records and one of 12-byte records: only that one is reported.
    const std::string index = IndexBytes({Used(0, 32), Used(32, 16), Used(48, 36), Free()});
    const ClientFilesSurvey s = survey(index, 84);
    EXPECT_FALSE(s.recordSize.usable());
    EXPECT_EQ(s.recordSize.size, RecordSize::Sixteen);
    EXPECT_EQ(s.recordSize.unusableSlot, 3);
    EXPECT_EQ(found(s), (std::vector<Found>{{Kind::BadLength, 3, 0}}));
    EXPECT_EQ(s.problems[0].message, "slot 3 (multi 2): Length 36 is not a whole positive multiple of 16");
    EXPECT_EQ(s.usedSlots[2].components, std::nullopt);
    EXPECT_EQ(s.firstFreeRecord, 6);

    const ClientFilesSurvey given = survey(index, 84, RecordSize::Twelve);
    EXPECT_EQ(given.recordSize.from, RecordSizeFrom::Option);
    EXPECT_EQ(found(given), (std::vector<Found>{{Kind::BadLength, 1, 0}, {Kind::BadLength, 2, 0}}));
}

}  // namespace
}  // namespace keelwright
