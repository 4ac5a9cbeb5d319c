#include "mulfiles/Patcher.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/UnusableIndexError.h"

namespace keelwright {
namespace {

using test::DataBytes;
using test::FillerRecords;
using test::Free;
using test::HexBytes;
using test::IndexBytes;
using test::TableOf;
using test::Used;

class PatcherTest : public ::testing::Test {
protected:
    void setUp(const std::string& index, const std::string& data) {
        test::WriteAll(files_.multiIdx, index);
        test::WriteAll(files_.multiMul, data);
    }
    PatchResult patch(const ComponentTable& table) { return PatchMulti(fileSystem_, table, files_); }
    std::string index() const { return test::ReadAll(files_.multiIdx); }
    std::string data() const { return test::ReadAll(files_.multiMul); }

    // Runs a patch that must stop at a zero record and returns the slot it stopped at.
    std::int32_t stoppedSlot(const ComponentTable& table) {
        try {
            patch(table);
        } catch (const UnusableIndexError& e) {
            EXPECT_EQ(e.reason(), kUnusableIndexMessage);
            EXPECT_EQ(e.description(), kUnusableIndexMessage) << "the message names no file";
            return e.slot();
        }
        ADD_FAILURE() << "the patch did not stop";
        return 0;
    }

    test::TempDir dir_;
    ClientFiles files_{dir_ / "Multi.idx", dir_ / "Multi.mul"};
    NativeFileSystem fileSystem_;
};

TEST_F(PatcherTest, AppendsTenComponentsAfterAThousandRecordsAndPointsTheFreeSlotAtThem) {
    const std::string oldIndex =
        IndexBytes({Used(0, 48), Used(48, 12), Used(60, 120), Used(180, 11820), Free(), Free()});
    setUp(oldIndex, FillerRecords(1000));
    std::vector<test::Row> rows = {{"16385", "-3", "0", "0", "1"}, {"1200", "2", "-1", "5", "0"}};
    for (int i = 0; i < 8; ++i) {
        rows.push_back({std::to_string(1300 + i), std::to_string(i), "1", "0", "1"});
    }

    const PatchResult result = patch(TableOf(rows));

    EXPECT_EQ(result.slot, 5);
    EXPECT_EQ(result.firstFreeRecord, 1001);
    EXPECT_EQ(result.offset, 12000);
    EXPECT_EQ(result.length, 132);
    const std::string newIndex = index();
    ASSERT_EQ(newIndex.size(), oldIndex.size());
    EXPECT_EQ(HexBytes(newIndex.substr(48, 12)), "E0 2E 00 00 84 00 00 00 FF FF FF FF");
    EXPECT_EQ(newIndex.substr(0, 48), oldIndex.substr(0, 48));
    EXPECT_EQ(newIndex.substr(60), oldIndex.substr(60));

    const std::string newData = data();
    ASSERT_EQ(newData.size(), 12132U);
    EXPECT_EQ(newData.substr(0, 12000), FillerRecords(1000));
    EXPECT_EQ(HexBytes(newData.substr(12000, 12)), "01 00 00 00 00 00 00 00 00 00 00 00")
        << "record 1001, the lead";
    EXPECT_EQ(HexBytes(newData.substr(12012, 12)), "01 40 FD FF 00 00 00 00 01 00 00 00") << "record 1002";
    EXPECT_EQ(HexBytes(newData.substr(12024, 12)), "B0 04 02 00 FF FF 05 00 00 00 00 00");
    EXPECT_EQ(newData.substr(12120), DataBytes({{1307, 7, 1, 0, 1}})) << "record 1011, the tenth component";
}

// A trailing partial record is refused, not written over: no write lands below the end of the file.
TEST_F(PatcherTest, RefusesATrailingPartialRecordInsteadOfWritingOverIt) {
    const std::string oldData = FillerRecords(1000) + "\x11\x22\x33\x44\x55";
    setUp(IndexBytes({Free()}), oldData);
    try {
        patch(TableOf({{"5", "6", "7", "8", "9"}}));
        ADD_FAILURE() << "patched";
    } catch (const Error& e) {
        EXPECT_EQ(e.description(),
                  files_.multiMul.string() +
                      ": Multi.mul is 12005 bytes, 5 bytes past the last whole 12-byte "
                      "record: it is not a Multi.mul, or it is damaged; nothing was written");
    }
    EXPECT_EQ(data(), oldData);
    EXPECT_EQ(index(), IndexBytes({Free()}));
}

TEST_F(PatcherTest, PassesOverUsedSlotsThatAreNeitherZeroNorFree) {
    // Offset 0 with a length is the block at the very start of Multi.mul; Length 0 elsewhere is odd but used.
    setUp(IndexBytes({Used(0, 24), Used(24, 0), IndexRecord{0, -2, 0}, Free()}), FillerRecords(2));
    EXPECT_EQ(patch(TableOf({})).slot, 4);
}

TEST_F(PatcherTest, AnEmptyTablePatchesTheLeadRecordAlone) {
    setUp(IndexBytes({Free()}), "");
    const PatchResult result = patch(TableOf({}));
    EXPECT_EQ(result.offset, 0);
    EXPECT_EQ(result.length, 12);
    EXPECT_EQ(HexBytes(index()), "00 00 00 00 0C 00 00 00 FF FF FF FF");
    EXPECT_EQ(HexBytes(data()), "01 00 00 00 00 00 00 00 00 00 00 00");
}

TEST_F(PatcherTest, ASecondPatchTakesTheNextSlotAndAppendsAfterTheFirstBlock) {
    setUp(IndexBytes({Used(0, 24), Free(), Used(24, 12), Free(), Free()}), FillerRecords(3));
    const ComponentTable first = TableOf({{"1", "1", "1", "1", "1"}});
    const ComponentTable second = TableOf({{"2", "2", "2", "2", "2"}, {"3", "3", "3", "3", "3"}});
    const PatchResult a = patch(first);
    const PatchResult b = patch(second);
    EXPECT_EQ(a.slot, 2);
    EXPECT_EQ(b.slot, 4);
    EXPECT_EQ(b.firstFreeRecord, 6);
    EXPECT_EQ(index(), IndexBytes({Used(0, 24), {36, 24, -1}, Used(24, 12), {60, 36, -1}, Free()}));
    EXPECT_EQ(data(), FillerRecords(3) + DataBytes({ComponentRecord::lead(),
                                                    {1, 1, 1, 1, 1},
                                                    ComponentRecord::lead(),
                                                    {2, 2, 2, 2, 2},
                                                    {3, 3, 3, 3, 3}}));
}

TEST_F(PatcherTest, StopsAtAZeroRecordBeforeAFreeSlotWritingNothing) {
    struct Row {
        const char* what;
        std::string index;
        std::int32_t slot;
    };
    const Row rows[] = {
        {"a zero record before the free slot", IndexBytes({Used(0, 12), {0, 0, 5}, Free()}), 2},
        {"no free slot before the end", IndexBytes({Used(0, 12), Used(12, 12)}), 3},
        {"an empty index", "", 1},
        {"a partial last record is no slot",
         IndexBytes({Used(0, 12)}) + std::string(4, '\0') + "\xFF\xFF\xFF\xFF", 2},
    };
    for (const Row& row : rows) {
        setUp(row.index, FillerRecords(2));
        bool hookRan = false;
        try {
            PatchMulti(fileSystem_, TableOf({{"1", "0", "0", "0", "0"}}), files_,
                       [&](std::int32_t) { hookRan = true; });
            ADD_FAILURE() << row.what << ": patched";
        } catch (const UnusableIndexError& e) {
            EXPECT_EQ(e.slot(), row.slot) << row.what;
            EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        }
        EXPECT_FALSE(hookRan) << row.what;
        EXPECT_EQ(index(), row.index) << row.what;
        EXPECT_EQ(data(), FillerRecords(2)) << row.what;
    }
}

TEST_F(PatcherTest, AMissingIndexStopsThePatchAndIsNotCreated) {
    test::WriteAll(files_.multiMul, FillerRecords(2));
    EXPECT_EQ(stoppedSlot(TableOf({})), 1);
    EXPECT_FALSE(std::filesystem::exists(files_.multiIdx));
    EXPECT_EQ(data(), FillerRecords(2));
}

TEST_F(PatcherTest, FindsAFreeSlotBeyondTheFirstPieceOfTheIndex) {
    std::vector<IndexRecord> records(6000, Used(0, 12));
    records.push_back(Free());
    setUp(IndexBytes(records), FillerRecords(1));
    EXPECT_EQ(FindFreeSlot(fileSystem_, files_.multiIdx), 6001);
    records.pop_back();
    test::WriteAll(files_.multiIdx, IndexBytes(records));
    EXPECT_EQ(stoppedSlot(TableOf({})), 6001) << "the read past the end of the index yields a zero record";
}

TEST_F(PatcherTest, RunsTheHookOnceAfterBothSearchesAndBeforeAnyWrite) {
    setUp(IndexBytes({Free()}), FillerRecords(1));
    int calls = 0;
    std::int32_t announced = 0;
    const PatchResult result =
        PatchMulti(fileSystem_, TableOf({{"1", "0", "0", "0", "0"}}), files_, [&](std::int32_t slot) {
            ++calls;
            announced = slot;
            EXPECT_EQ(index(), IndexBytes({Free()}));
            EXPECT_EQ(data(), FillerRecords(1));
        });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(announced, result.slot);
    EXPECT_EQ(data().size(), 36U);

    // A hook that refuses the slot stops the patch with both files as they were.
    const std::string patchedIndex = index();
    const std::string patchedData = data();
    test::WriteAll(files_.multiIdx, patchedIndex + IndexBytes({Free()}));
    EXPECT_THROW(PatchMulti(fileSystem_, TableOf({{"1", "0", "0", "0", "0"}}), files_,
                            [&](std::int32_t slot) {
                                EXPECT_EQ(slot, 2);
                                throw Error(ErrorNumber::InvalidCall, "refused");
                            }),
                 Error);
    EXPECT_EQ(index(), patchedIndex + IndexBytes({Free()}));
    EXPECT_EQ(data(), patchedData);
}

TEST_F(PatcherTest, AMissingDataFileIsAnErrorAndIsNotCreated) {
    test::WriteAll(files_.multiIdx, IndexBytes({Free()}));
    try {
        patch(TableOf({}));
        ADD_FAILURE() << "patched";
    } catch (const UnusableIndexError&) {
        ADD_FAILURE() << "the index is usable";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
        EXPECT_EQ(e.file(), files_.multiMul.string());
    }
    EXPECT_FALSE(std::filesystem::exists(files_.multiMul));
    EXPECT_EQ(index(), IndexBytes({Free()}));
}

TEST_F(PatcherTest, RefusesOneFileNamedAsBoth) {
    setUp(IndexBytes({Free()}), "");
    files_.multiMul = files_.multiIdx;
    EXPECT_THROW(patch(TableOf({})), Error);
    EXPECT_EQ(index(), IndexBytes({Free()}));
}

TEST(NewIndexEntry, RefusesABlockBeyondWhatA32BitOffsetAddresses) {
    struct Row {
        std::int32_t firstFreeRecord, components;
        std::int32_t offset, length;  // length 0: Overflow expected
        RecordSize size = RecordSize::Twelve;
    };
    const Row rows[] = {
        {1, 0, 0, 12},
        {1001, 10, 12000, 132},
        {178956970, 0, 2147483628, 12},
        {178956971, 0, 0, 0},
        {1, 178956969, 0, 2147483640},
        {1, 178956970, 0, 0},
        {1, 0, 0, 16, RecordSize::Sixteen},
        {8, 10, 112, 176, RecordSize::Sixteen},
        {134217727, 0, 2147483616, 16, RecordSize::Sixteen},
        {134217728, 0, 0, 0, RecordSize::Sixteen},
        {1, 134217726, 0, 2147483632, RecordSize::Sixteen},
        {1, 134217727, 0, 0, RecordSize::Sixteen},
    };
    for (const Row& row : rows) {
        if (row.length == 0) {
            EXPECT_THROW(NewIndexEntry(row.firstFreeRecord, row.components, row.size), Error)
                << row.firstFreeRecord;
            continue;
        }
        const IndexRecord entry = NewIndexEntry(row.firstFreeRecord, row.components, row.size);
        EXPECT_EQ(entry.Offset, row.offset);
        EXPECT_EQ(entry.Length, row.length);
        EXPECT_EQ(entry.Extra, -1);
    }
}

// Counted in 12-byte records, the first free record of a 16-byte file lies up to 8 bytes before its end, and
// a block written there overwrites the end of the last multi.
TEST_F(PatcherTest, APatchIntoASixteenBytePairLandsExactlyAtTheEndOfItsData) {
    struct Row {
        std::int64_t records;
        std::int32_t firstFreeRecord, offset;
    };
    const Row rows[] = {
        {7, 8, 112},
        {8, 9, 128},
        {10, 11, 160},
        {1, 2, 16},
    };
    const ComponentTable table = TableOf({{"1200", "2", "-1", "5", "0"}, {"0xFFFF", "-3", "0", "0", "1"}});
    for (const Row& row : rows) {
        const auto length = static_cast<std::int32_t>(row.records * 16);
        const std::string oldIndex = IndexBytes({Used(0, length), Free(), Free()});
        setUp(oldIndex, FillerRecords(row.records, RecordSize::Sixteen));

        const PatchResult result = patch(table);

        EXPECT_EQ(result.recordSize.size, RecordSize::Sixteen) << row.records;
        EXPECT_EQ(result.recordSize.from, RecordSizeFrom::Lengths);
        EXPECT_EQ(result.slot, 2);
        EXPECT_EQ(result.firstFreeRecord, row.firstFreeRecord);
        EXPECT_EQ(result.offset, row.offset);
        EXPECT_EQ(result.length, 48);
        EXPECT_EQ(index(), IndexBytes({Used(0, length), {row.offset, 48, -1}, Free()}));
        const std::string newData = data();
        EXPECT_EQ(newData, FillerRecords(row.records, RecordSize::Sixteen) +
                               DataBytes({ComponentRecord::lead(), {1200, 2, -1, 5, 0}, {65535, -3, 0, 0, 1}},
                                         RecordSize::Sixteen));
        EXPECT_EQ(HexBytes(newData.substr(static_cast<std::size_t>(row.offset) + 16, 16)),
                  "B0 04 02 00 FF FF 05 00 00 00 00 00 00 00 00 00");
    }
}

TEST_F(PatcherTest, RefusesFilesWhoseLengthsFitNoOneRecordSizeUnlessTheSizeIsGiven) {
    const std::string oldIndex = IndexBytes({Used(0, 24), Used(24, 32), Free()});
    setUp(oldIndex, FillerRecords(8));  // 96 bytes: whole records of either size
    bool hookRan = false;
    try {
        PatchMulti(fileSystem_, TableOf({{"1", "0", "0", "0", "0"}}), files_,
                   [&](std::int32_t) { hookRan = true; });
        ADD_FAILURE() << "patched";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
        EXPECT_EQ(e.file(), files_.multiIdx.string());
        EXPECT_EQ(
            e.reason(),
            "slot 2 (multi 1): Length 32 is a whole number of 16-byte records only, but slot 1 (multi 0) "
            "holds 12-byte records only, so the record size of Multi.mul cannot be decided");
    }
    EXPECT_FALSE(hookRan);
    EXPECT_EQ(index(), oldIndex);
    EXPECT_EQ(data(), FillerRecords(8));

    const PatchResult given =
        PatchMulti(fileSystem_, TableOf({{"1", "0", "0", "0", "0"}}), files_, {}, RecordSize::Sixteen);
    EXPECT_EQ(given.recordSize.from, RecordSizeFrom::Option);
    EXPECT_EQ(given.offset, 96);
    EXPECT_EQ(data().size(), 96U + 32U);
}

TEST_F(PatcherTest, RefusesToPatchADataFileOfTwoGigabytesWritingNothing) {
    setUp(IndexBytes({Free()}), "");
    std::filesystem::resize_file(files_.multiMul, 2147483652ULL);  // sparse: costs no disk space
    try {
        patch(TableOf({}));
        ADD_FAILURE() << "patched";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), ErrorNumber::Overflow);
    }
    EXPECT_EQ(std::filesystem::file_size(files_.multiMul), 2147483652ULL);
    EXPECT_EQ(index(), IndexBytes({Free()}));
}

}  // namespace
}  // namespace keelwright
