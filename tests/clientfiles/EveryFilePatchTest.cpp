// One multi under one number in Multi.idx / Multi.mul and MultiCollection.uop: the number chosen, the same
// tiles read back from every file, and every file as it was after any failure.
#include "clientfiles/EveryFilePatch.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "TestTables.h"
#include "clientfiles/ClientFilesTest.h"
#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/FaultyFileSystem.h"
#include "mulfiles/UnusableIndexError.h"
#include "uop/PowerCutFileSystem.h"
#include "uop/UopNameHash.h"
#include "uop/UopTestFiles.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

using test::FactEntry;
using test::FileFaults;
using test::Free;
using test::IndexBytes;
using test::Used;

using test::kFileTime;
const IndexRecord kZero{0, 0, 0};

std::string uopWith(const std::vector<std::int32_t>& multis, std::uint32_t version = 4) {
    std::vector<FactEntry> entries = {{std::string(kHousingBinName), "catalogue"}};
    for (const std::int32_t m : multis) {
        entries.push_back({MultiEntryName(m), "payload of multi " + std::to_string(m)});
    }
    return test::FactUopBytes(version, 2, entries);
}

// What readers of Multi.idx and Multi.mul see: the index, and the block of every slot that points at one.
std::string mulReads(const std::string& index, const std::string& data) {
    std::string reads = index;
    for (std::size_t at = 0; at + 12 <= index.size(); at += 12) {
        const auto offset = static_cast<std::int32_t>(test::GetLe(index, at, 4));
        const auto length = static_cast<std::int32_t>(test::GetLe(index, at + 4, 4));
        const bool inside =
            offset >= 0 && length > 0 &&
            static_cast<std::size_t>(offset) + static_cast<std::size_t>(length) <= data.size();
        reads +=
            inside ? data.substr(static_cast<std::size_t>(offset), static_cast<std::size_t>(length)) : "-";
    }
    return reads;
}

std::string exampleBytes(const std::string& file) {
    return test::ReadAll(std::filesystem::path(KEELWRIGHT_EXAMPLES) / file);
}

using test::Files;

class EveryFilePatchTest : public test::ClientFilesTest {
protected:
    // The names of the files whose bytes are not those given, for short failure messages.
    std::string changed(const std::vector<std::string>& expected) const {
        const std::vector<std::string> now = contents();
        const char* names[] = {"Multi.idx", "Multi.mul", "MultiCollection.uop"};
        std::string list;
        for (std::size_t i = 0; i < now.size(); ++i) {
            list += now[i] == expected[i] ? "" : std::string(list.empty() ? "" : ", ") + names[i];
        }
        return list;
    }
};

TEST_F(EveryFilePatchTest, TakesTheFirstNumberThatEveryFileGivenCanTake) {
    const std::string data = test::FillerRecords(2);
    const struct {
        const char* what;
        std::vector<IndexRecord> index;
        std::vector<std::int32_t> uop;
        Files files;
        std::int32_t multi;  // -1: the index ends before a number both files can take
    } rows[] = {
        {"the first free slot", {Used(0, 24), Free(), Free()}, {}, Files::All, 1},
        {"past a number the UOP has", {Used(0, 24), Free(), Free()}, {1}, Files::All, 2},
        {"past used and zero records after the first free slot",
         {Used(0, 24), Free(), Used(0, 24), kZero, Free()},
         {1},
         Files::All,
         4},
        {"the index ends first", {Used(0, 24), Free(), Free()}, {1, 2}, Files::All, -1},
        {"Multi.idx alone, whatever the UOP has", {Used(0, 24), Used(0, 24), Free()}, {2}, Files::Mul, 2},
        {"the UOP alone: its first number without an entry", {kZero}, {0, 1, 3}, Files::Uop, 2},
    };
    for (const auto& row : rows) {
        write(IndexBytes(row.index), data, uopWith(row.uop));
        NativeFileSystem fileSystem;
        if (row.multi < 0) {
            try {
                ChooseMultiNumber(fileSystem, targets(row.files));
                ADD_FAILURE() << row.what;
            } catch (const Error& e) {
                EXPECT_NE(e.description().find(": has no free slot from slot 2 on whose multi number "),
                          std::string::npos)
                    << e.description();
            }
            continue;
        }
        EXPECT_EQ(ChooseMultiNumber(fileSystem, targets(row.files)), row.multi) << row.what;
    }
    write(IndexBytes({Used(0, 24), kZero, Free()}), data, uopWith({}));
    NativeFileSystem fileSystem;
    EXPECT_THROW(ChooseMultiNumber(fileSystem, targets(Files::All)), UnusableIndexError)
        << "a zero record before the first free slot stops a patch, whatever the UOP holds";
}

TEST_F(EveryFilePatchTest, WritesTheSameTilesUnderOneNumberIntoEveryFileGiven) {
    const ComponentTable table = test::GeneratedTable(30);
    const std::vector<UopTile> tiles =
        UopTilesOfBlock(EncodeMultiData(table, RecordSize::Twelve), RecordSize::Twelve);
    ASSERT_EQ(tiles.front(), UopTile::lead());
    const std::string expectedText =
        MultiTextOfBlock(EncodeMultiData(table, RecordSize::Twelve), RecordSize::Twelve);
    for (const Files which : {Files::Mul, Files::Uop, Files::All}) {
        for (const char* folder : {"client", "client-hs"}) {
            const std::string what = std::string(folder) + " " + std::to_string(static_cast<int>(which));
            write(exampleBytes(std::string(folder) + "/Multi.idx"),
                  exampleBytes(std::string(folder) + "/Multi.mul"),
                  exampleBytes("client/MultiCollection.uop"));
            const std::vector<std::string> before = contents();
            NativeFileSystem fileSystem;
            const EveryFilePatchResult result = PatchEveryFile(fileSystem, table, targets(which), kFileTime);
            EXPECT_EQ(result.multi, 4) << what;  // slot 5 is free, and the UOP holds 0 to 3 and 5
            const std::vector<std::string> after = contents();
            EXPECT_EQ(result.mul.has_value(), which != Files::Uop) << what;
            EXPECT_EQ(result.uop.has_value(), which != Files::Mul) << what;
            if (result.mul) {
                const RecordSize size = result.mul->recordSize.size;
                EXPECT_EQ(BytesOf(size), std::string(folder) == "client" ? 12U : 16U) << what;
                EXPECT_EQ(result.mul->slot, 5);
                EXPECT_EQ(ExtractMultiText(fileSystem, files_.multiMul, 5,
                                           ReadIndexEntry(fileSystem, files_.multiIdx, 5), size),
                          expectedText)
                    << what;
            } else {
                EXPECT_EQ(after[0], before[0]) << what;
                EXPECT_EQ(after[1], before[1]) << what;
            }
            if (result.uop) {
                EXPECT_EQ(result.uop->name, "build/multicollection/000004.bin");
                EXPECT_EQ(ReadUopMulti(fileSystem, uop_, 4).payload, (UopMultiPayload{4, tiles})) << what;
                EXPECT_EQ(ExtractUopMultiText(fileSystem, uop_, 4), expectedText) << what;
                // A reader that knows only the format's facts finds it, and every other entry as it was.
                auto expected = test::ClientReads(before[2], false);
                const std::vector<std::uint8_t> payload = UopMultiPayload{4, tiles}.encode();
                expected[UopNameHash(result.uop->name)] = std::string(payload.begin(), payload.end());
                EXPECT_EQ(test::ClientReads(after[2], false), expected) << what;
                EXPECT_EQ(after[2].substr(0, 24), before[2].substr(0, 24)) << what;
            } else {
                EXPECT_EQ(after[2], before[2]) << what;
            }
        }
    }
}

TEST_F(EveryFilePatchTest, RefusesWhatItCannotWriteBeforeTouchingAnyFile) {
    const std::string index = IndexBytes({Used(0, 24), Free(), Free()});
    const std::string data = test::FillerRecords(2);
    const struct {
        const char* what;
        std::string index;
        std::string uop;
        ComponentTable table;
        const char* says;
    } rows[] = {
        {"a UOP of another version", index, uopWith({}, 5), test::GeneratedTable(3),
         "is UOP version 5; MultiCollection.uop is version 4"},
        {"a UOP that is not one", index, data, test::GeneratedTable(3), "is not a UOP file"},
        {"flags with no UOP form", index, uopWith({}),
         test::TableOf({{"1200", "0", "0", "0", "1"}, {"1201", "0", "0", "0", "2"}}),
         "component 2: flags 2 with extra 0 have no MultiCollection.uop form"},
        {"a record size the lengths leave unusable", IndexBytes({Used(0, 24), Used(0, 16), Free()}),
         uopWith({}), test::GeneratedTable(3), "slot 2 (multi 1)"},
    };
    for (const auto& row : rows) {
        write(row.index, data, row.uop);
        const std::vector<std::string> before = contents();
        test::FaultyFileSystem fileSystem;
        try {
            PatchEveryFile(fileSystem, row.table, targets(Files::All), kFileTime);
            ADD_FAILURE() << row.what;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find(row.says), std::string::npos)
                << row.what << ": " << e.description();
        }
        EXPECT_TRUE(fileSystem.writes.empty()) << row.what;
        EXPECT_EQ(changed(before), "") << row.what;
    }
    write(index, data, uopWith({}));
    test::FaultyFileSystem fileSystem;
    PatchTargets sameFile = targets(Files::All);
    sameFile.uop = dir_ / "." / "Multi.mul";
    EXPECT_THROW(PatchEveryFile(fileSystem, test::GeneratedTable(3), sameFile, kFileTime), Error);
    EXPECT_TRUE(fileSystem.writes.empty());
}

// Every file a patch is given, byte for byte as it was after a failure at any write or flush of any of
// them: the files written before the failing one are put back too.
TEST_F(EveryFilePatchTest, LeavesEveryFileAsItWasWhenAnyWriteOrFlushOfAnyFileFails) {
    for (const char* folder : {"client", "client-hs"}) {
        const auto reset = [&] {
            write(exampleBytes(std::string(folder) + "/Multi.idx"),
                  exampleBytes(std::string(folder) + "/Multi.mul"),
                  exampleBytes("client/MultiCollection.uop"));
        };
        reset();
        const std::vector<std::string> before = contents();
        test::FaultyFileSystem counting;
        PatchEveryFile(counting, test::GeneratedTable(40), targets(Files::All), kFileTime);
        const std::vector<std::string> patched = contents();
        std::vector<std::pair<std::string, FileFaults>> rows;
        for (const char* file : {"Multi.mul", "MultiCollection.uop", "Multi.idx"}) {
            ASSERT_GT(counting.writes[file], 0) << file;
            rows.push_back({file, FileFaults::RefuseWriting()});
            if (std::string(file) != "Multi.idx") {  // written in place: it does not grow
                rows.push_back({file, FileFaults::Capacity(
                                          before[file == std::string("Multi.mul") ? 1 : 2].size() + 30)});
            }
            for (int n = 1; n <= counting.writes[file]; ++n) {
                rows.push_back({file, FileFaults::FailingWrite(n)});
                rows.push_back({file, FileFaults::FailingSync(n)});
            }
        }
        for (const auto& [file, faults] : rows) {
            reset();
            test::FaultyFileSystem fileSystem;
            fileSystem.faults[file] = faults;
            const std::string what = std::string(folder) + ": " + file + " write " +
                                     std::to_string(faults.failingWrite) + " flush " +
                                     std::to_string(faults.failingSync);
            try {
                PatchEveryFile(fileSystem, test::GeneratedTable(40), targets(Files::All), kFileTime);
                ADD_FAILURE() << what << ": the patch reported success";
            } catch (const Error& e) {
                EXPECT_EQ(e.description().find("undoing"), std::string::npos)
                    << what << ": " << e.description();
            }
            EXPECT_EQ(changed(before), "") << what;
        }
        NativeFileSystem real;
        PatchEveryFile(real, test::GeneratedTable(40), targets(Files::All), kFileTime);
        EXPECT_EQ(changed(patched), "") << folder << ": a later patch works as if nothing had happened";
    }
}

TEST_F(EveryFilePatchTest, ACrashAtAnyWriteLeavesEachFileReadingAsBeforeOrAsAfter) {
    const auto reset = [&] {
        write(exampleBytes("client/Multi.idx"), exampleBytes("client/Multi.mul"),
              exampleBytes("client/MultiCollection.uop"));
    };
    reset();
    const std::vector<std::string> before = contents();
    test::FaultyFileSystem counting;
    PatchEveryFile(counting, test::GeneratedTable(10), targets(Files::All), kFileTime);
    const std::vector<std::string> after = contents();
    int writes = 0;
    for (const auto& [file, count] : counting.writes) {
        writes += count;
    }
    for (int n = 1; n <= writes; ++n) {
        for (const double part : {0.0, 0.5, 1.0}) {
            reset();
            test::PowerCutFileSystem fileSystem(n, part);
            EXPECT_THROW(PatchEveryFile(fileSystem, test::GeneratedTable(10), targets(Files::All), kFileTime),
                         Error);
            if (fileSystem.cutIn() == "Multi.idx" && part == 0.5) {
                continue;  // a torn 12-byte index entry: Multi.idx alone has always had that exposure
            }
            const std::string what = "power cut at write " + std::to_string(n) + " (" + fileSystem.cutIn() +
                                     ") with " + std::to_string(part) + " of it written";
            const std::vector<std::string> crashed = contents();
            const std::string mul = mulReads(crashed[0], crashed[1]);
            EXPECT_TRUE(mul == mulReads(before[0], before[1]) || mul == mulReads(after[0], after[1])) << what;
            for (const bool honourUsedCount : {false, true}) {
                const auto uop = test::ClientReads(crashed[2], honourUsedCount);
                EXPECT_TRUE(uop == test::ClientReads(before[2], honourUsedCount) ||
                            uop == test::ClientReads(after[2], honourUsedCount))
                    << what;
            }
        }
    }
}

TEST_F(EveryFilePatchTest, SaysSoWhenPuttingAnEarlierFileBackFailsToo) {
    write(exampleBytes("client/Multi.idx"), exampleBytes("client/Multi.mul"),
          exampleBytes("client/MultiCollection.uop"));
    test::FaultyFileSystem fileSystem;
    fileSystem.faults["Multi.idx"] = FileFaults::RefuseWriting();
    fileSystem.faults["MultiCollection.uop"].failingWrite = 6;  // the first write that puts the UOP back
    try {
        PatchEveryFile(fileSystem, test::GeneratedTable(4), targets(Files::All), kFileTime);
        ADD_FAILURE() << "the patch reported success";
    } catch (const Error& e) {
        EXPECT_NE(e.description().find("injected refusal; undoing the change also failed: "),
                  std::string::npos)
            << e.description();
    }
}

TEST(UopTileRecords, GiveTheMultiTextThatExtractionFromMultiMulGives) {
    const std::string head = "6 version\r\n1 template id\r\n-1 item version\r\n";
    const struct {
        const char* what;
        std::vector<UopTile> tiles;
        std::string text;  // the lines after the head
    } rows[] = {
        {"the lead record first is left out",
         {UopTile::lead(), {1200, -1, 2, 3, 0, {}}, {1201, 0, 0, 0, 1, {}}},
         "2 num components\r\n1200 -1 2 3 1\r\n1201 0 0 0 0\r\n"},
        {"a first tile that is not the lead record is a component",
         {{1, 0, 0, 0, 0, {}}, UopTile::lead()},
         "2 num components\r\n1 0 0 0 1\r\n1 0 0 0 0\r\n"},
        {"part ids and the extra bit have no place in the text",
         {{0xFFFF, 0, 0, 0, 0x101, {7, 8}}},
         "1 num components\r\n65535 0 0 0 0\r\n"},
        {"no tiles", {}, "0 num components\r\n"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(MultiTextOfUopTiles(row.tiles), head + row.text) << row.what;
    }
    try {
        MultiTextOfUopTiles(
            std::vector<UopTile>{UopTile::lead(), {1200, 0, 0, 0, 0, {}}, {1201, 0, 0, 0, 2, {}}});
        ADD_FAILURE() << "flags 2 have no Multi.mul form";
    } catch (const Error& e) {
        EXPECT_EQ(e.reason().rfind("tile 3: UOP flags 2 (hex) have no Multi.mul form", 0), 0U) << e.reason();
    }

    const ComponentRecord wide{0x8001, -5, 6, -7, 1, 1};
    const UopTile tile = UopTileOfRecord(wide);
    EXPECT_EQ(tile, (UopTile{0x8001, -5, 6, -7, 0x100, {}}));
    EXPECT_EQ(RecordOfUopTile(tile), wide);
    const std::string block = test::DataBytes({ComponentRecord::lead(), wide}, RecordSize::Sixteen);
    EXPECT_EQ(UopTilesOfBlock({reinterpret_cast<const std::uint8_t*>(block.data()), block.size()},
                              RecordSize::Sixteen),
              (std::vector<UopTile>{UopTile::lead(), tile}));
}

}  // namespace
}  // namespace keelwright
