#include "mulfiles/ClientFilesSurvey.h"

#include <gtest/gtest.h>

#include "mulfiles/ClientFileBytes.h"

namespace keelwright {
namespace {

using test::Free;
using test::IndexBytes;
using test::Used;
using Kind = SurveyProblem::Kind;

ClientFilesSurvey survey(const std::string& index, std::uint64_t dataBytes) {
    return SurveyClientFiles({reinterpret_cast<const std::uint8_t*>(index.data()), index.size()}, dataBytes);
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
        survey(IndexBytes({Used(0, 48), Free(), Used(48, 12), Free(), {0, 0, 0}}), 65);
    EXPECT_TRUE(s.sound());
    EXPECT_EQ(s.slotCount, 5);
    EXPECT_EQ(s.usedCount, 2);
    EXPECT_EQ(s.freeCount, 2);
    EXPECT_EQ(s.zeroCount, 1) << "a zero record after the first free slot stops no patch";
    EXPECT_EQ(s.firstFreeSlot, 2);
    EXPECT_EQ(s.firstFreeRecord, 6) << "65 bytes: five whole records and a partial one";
    ASSERT_EQ(s.usedSlots.size(), 2U);
    EXPECT_EQ(s.usedSlots[1].slot, 3);
    EXPECT_EQ(s.usedSlots[1].entry.componentCount(), 0);
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

}  // namespace
}  // namespace keelwright
