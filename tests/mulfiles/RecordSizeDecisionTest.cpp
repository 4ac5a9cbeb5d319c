#include "mulfiles/RecordSizeDecision.h"

#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/MemoryFile.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"

namespace keelwright {
namespace {

using test::DataBytes;
using test::FillerRecords;
using test::Free;
using test::IndexBytes;
using test::Used;
constexpr RecordSize k12 = RecordSize::Twelve;
constexpr RecordSize k16 = RecordSize::Sixteen;

std::span<const std::uint8_t> asBytes(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

// Tiles as shipped files hold them: Flags and the extra int 0 or 1.
std::vector<ComponentRecord> tiles(int count) {
    std::vector<ComponentRecord> records;
    for (int i = 0; i < count; ++i) {
        records.push_back({static_cast<std::uint16_t>(1200 + i), static_cast<std::int16_t>(i % 5 - 2),
                           static_cast<std::int16_t>(i % 3 - 1), static_cast<std::int16_t>(i % 4 * 5), i % 2,
                           (i / 2) % 2});
    }
    return records;
}

TEST(DecideRecordSize, TakesTheSizeFromTheOptionTheLengthsOrTheContentsOrAssumesTwelve) {
    struct Row {
        const char* what;
        std::string index;
        std::string data;
        std::optional<RecordSize> forced;
        RecordSize size;
        RecordSizeFrom from;
    };
    const Row rows[] = {
        {"Lengths of 12-byte records, one not of 16", IndexBytes({Used(0, 48), Used(48, 24), Free()}),
         FillerRecords(6), std::nullopt, k12, RecordSizeFrom::Lengths},
        {"Lengths of 16-byte records, one not of 12", IndexBytes({Used(0, 48), Free(), Used(48, 32)}),
         FillerRecords(5, k16), std::nullopt, k16, RecordSizeFrom::Lengths},
        {"the option wins over the Lengths", IndexBytes({Used(0, 48), Used(48, 24)}), FillerRecords(8), k16,
         k16, RecordSizeFrom::Option},
        {"Lengths of 48: the 12-byte reading alone looks like tiles",
         IndexBytes({Used(0, 48), Used(48, 96), Free()}), DataBytes(tiles(12)), std::nullopt, k12,
         RecordSizeFrom::Contents},
        {"Lengths of 48: the 16-byte reading alone looks like tiles",
         IndexBytes({Used(0, 48), Used(48, 96), Free()}), DataBytes(tiles(9), k16), std::nullopt, k16,
         RecordSizeFrom::Contents},
        {"Lengths of 48 over lead records: both readings pass", IndexBytes({Used(0, 48), Free()}),
         DataBytes(std::vector<ComponentRecord>(4, ComponentRecord::lead())), std::nullopt, k12,
         RecordSizeFrom::Assumed},
        {"Lengths of 48 over other data: neither reading passes", IndexBytes({Used(0, 48), Free()}),
         std::string(48, '\x07'), std::nullopt, k12, RecordSizeFrom::Assumed},
        {"an empty index", "", FillerRecords(3, k16), std::nullopt, k12, RecordSizeFrom::Assumed},
        {"free slots and zero records only", IndexBytes({Free(), {0, 0, 0}, Free()}), FillerRecords(3, k16),
         std::nullopt, k12, RecordSizeFrom::Assumed},
        {"blocks outside Multi.mul are not looked at",
         IndexBytes({Used(0, 32), Used(16, 20), Used(-1, 36), Free()}), FillerRecords(2, k16), std::nullopt,
         k16, RecordSizeFrom::Lengths},
    };
    for (const Row& row : rows) {
        test::MemoryFile data(row.data);
        const RecordSizeDecision d = DecideRecordSize(asBytes(row.index), data, row.forced);
        EXPECT_EQ(d.size, row.size) << row.what;
        EXPECT_EQ(d.from, row.from) << row.what;
        EXPECT_TRUE(d.usable()) << row.what;
        if (!d.mismatched) {  // a patch into those is refused: see below
            EXPECT_EQ(d.sizeForPatch(), row.size) << row.what;
        }
    }
}

TEST(DecideRecordSize, FindsFilesUnusableWhenTheLengthsFitNoOneSizeAndNamesASlot) {
    struct Row {
        std::string index;
        RecordSize likelier;  // the size the other blocks are read in
        std::int32_t slot;
        const char* reason;
    };
    const Row rows[] = {
        {IndexBytes({Used(0, 36), Used(36, 30), Free()}), k12, 2,
         "slot 2 (multi 1): Length 30 is a whole number of neither 12-byte nor 16-byte records, so the "
         "record "
         "size of Multi.mul cannot be decided"},
        {IndexBytes({Used(0, 24), Used(24, 36), Used(60, 32)}), k12, 3,
         "slot 3 (multi 2): Length 32 is a whole number of 16-byte records only, but slot 1 (multi 0) holds "
         "12-byte records only, so the record size of Multi.mul cannot be decided"},
        {IndexBytes({Used(0, 32), Used(32, 36), Used(68, 16)}), k16, 2,
         "slot 2 (multi 1): Length 36 is a whole number of 12-byte records only, but slot 1 (multi 0) holds "
         "16-byte records only, so the record size of Multi.mul cannot be decided"},
    };
    for (const Row& row : rows) {
        test::MemoryFile data(FillerRecords(10));
        const RecordSizeDecision d = DecideRecordSize(asBytes(row.index), data);
        EXPECT_FALSE(d.usable()) << row.reason;
        EXPECT_EQ(d.size, row.likelier) << row.reason;
        EXPECT_EQ(d.from, RecordSizeFrom::Assumed);
        EXPECT_EQ(d.unusableSlot, row.slot);
        try {
            d.sizeForPatch();
            ADD_FAILURE() << "no error for " << row.reason;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
            EXPECT_EQ(e.reason(), row.reason);
        }
        EXPECT_EQ(DecideRecordSize(asBytes(row.index), data, k12).from, RecordSizeFrom::Option);
    }
}

// A Multi.mul that is not the index's (a clone without Git LFS, an empty file) would take a block over
// bytes that the index gives to other slots.
TEST(DecideRecordSize, CountsBlocksPastTheEndOfMultiMulAsNoEvidenceAndRefusesAPatchIntoThatPair) {
    struct Row {
        std::string index;
        std::string data;
        std::optional<RecordSize> forced;
        RecordSizeDecision decided;
        const char* reason;
        const char* described;
    };
    const Row rows[] = {
        {IndexBytes({Used(0, 256), Used(256, 32), Used(288, 48), Free()}),
         std::string(131, '\0'),
         std::nullopt,
         {k12, RecordSizeFrom::Assumed},
         "Multi.mul is 131 bytes, but 3 slots of Multi.idx point past its end (slot 1: offset 0, length "
         "256): "
         "this Multi.mul does not belong to this Multi.idx",
         "12-byte records (assumed: the files do not tell; 3 slots whose blocks reach past the end of "
         "Multi.mul told nothing)"},
        {IndexBytes({Free(), Used(0, 36)}),
         "",
         k16,
         {k16, RecordSizeFrom::Option},
         "Multi.mul is 0 bytes, but 1 slot of Multi.idx points past its end (slot 2: offset 0, length 36): "
         "this Multi.mul does not belong to this Multi.idx",
         "16-byte records (as given; 1 slot whose block reaches past the end of Multi.mul told nothing)"},
    };
    for (const Row& row : rows) {
        test::MemoryFile data(row.data);
        const RecordSizeDecision d = DecideRecordSize(asBytes(row.index), data, row.forced);
        EXPECT_EQ(d.size, row.decided.size) << row.reason;
        EXPECT_EQ(d.from, row.decided.from) << row.reason;
        EXPECT_EQ(DescribeRecordSize(d), row.described);
        try {
            d.sizeForPatch();
            ADD_FAILURE() << "no error for " << row.reason;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
            EXPECT_EQ(e.reason(), row.reason);
        }
    }
}

TEST(DecideRecordSize, TheContentsCheckReadsABoundedSampleWhateverTheSizeOfMultiMul) {
    for (const int blocks : {100, 20000}) {
        std::vector<IndexRecord> index;
        for (int i = 0; i < blocks; ++i) {
            index.push_back(Used(i * 96, 96));
        }
        std::string data;
        const std::string block = DataBytes(tiles(6), k16);
        for (int i = 0; i < blocks; ++i) {
            data += block;
        }
        test::MemoryFile file(data);
        const std::string indexBytes = IndexBytes(index);
        const RecordSizeDecision d = DecideRecordSize(asBytes(indexBytes), file);
        EXPECT_EQ(d.size, k16) << blocks;
        EXPECT_EQ(d.from, RecordSizeFrom::Contents) << blocks;
        EXPECT_LE(file.reads, 8) << blocks;
        EXPECT_LE(file.bytesRead, 8U * 96U) << blocks;
    }
}

TEST(RecordSizeText, NamesTheSizeAndHowItWasDecided) {
    EXPECT_EQ(DescribeRecordSize({k16, RecordSizeFrom::Lengths}),
              "16-byte records (from the lengths in Multi.idx)");
    EXPECT_EQ(DescribeRecordSize({k12, RecordSizeFrom::Assumed}),
              "12-byte records (assumed: the files do not tell)");
    RecordSizeDecision mixed{k16, RecordSizeFrom::Assumed};
    mixed.unusable = Error(ErrorNumber::InvalidFileFormat, "slot 4 (multi 3): ...");
    EXPECT_EQ(DescribeRecordSize(mixed),
              "16-byte records (the size most lengths in Multi.idx fit; the files are unusable for a patch)");
    EXPECT_STREQ(RecordSizeFromName(RecordSizeFrom::Contents), "contents");
    EXPECT_EQ(ParseRecordSize("16"), k16);
    EXPECT_EQ(ParseRecordSize("12"), k12);
    EXPECT_EQ(ParseRecordSize("14"), std::nullopt);
    EXPECT_EQ(ParseRecordSize(" 12"), std::nullopt);
}

// A MultiCollection.uop chosen as Multi.idx or Multi.mul is refused by every command before anything is
// written.
TEST(UopContainer, IsRefusedAsEitherClientFileBeforeAnythingIsWritten) {
    const std::string uop = std::string("MYP\0", 4) + std::string("\x05\x00\x00\x00\xFD\x23\x00\x00", 8) +
                            std::string(36, '\x01');
    const std::string index = IndexBytes({Used(0, 24), Free()});
    const std::string data = FillerRecords(2);
    NativeFileSystem fileSystem;
    const std::function<void(const ClientFiles&)> commands[] = {
        [&](const ClientFiles& f) { PatchMulti(fileSystem, test::GeneratedTable(3), f); },
        [&](const ClientFiles& f) { PatchMulti(fileSystem, test::GeneratedTable(3), f, {}, k16); },
        [&](const ClientFiles& f) {
            const IndexRecord entry = ReadIndexEntry(fileSystem, f.multiIdx, 1);
            ExtractMultiText(fileSystem, f.multiMul, 1, entry, k12);
        },
        [&](const ClientFiles& f) { DecideRecordSize(fileSystem, f); },
        [&](const ClientFiles& f) { SurveyClientFiles(fileSystem, f); },
    };
    for (const char* container : {"Multi.idx", "Multi.mul"}) {
        test::TempDir dir;
        const ClientFiles files{dir / "Multi.idx", dir / "Multi.mul"};
        const bool uopIndex = std::string(container) == "Multi.idx";
        test::WriteAll(files.multiIdx, uopIndex ? uop : index);
        test::WriteAll(files.multiMul, uopIndex ? data : uop);
        for (std::size_t c = 0; c < std::size(commands); ++c) {
            try {
                commands[c](files);
                ADD_FAILURE() << "command " << c << " took a UOP container as " << container;
            } catch (const Error& e) {
                EXPECT_EQ(e.file(), (dir / container).string()) << c;
                EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat) << c;
                EXPECT_NE(e.reason().find("is a MultiCollection container"), std::string::npos) << e.reason();
                EXPECT_NE(e.reason().find("Multi.idx and Multi.mul are wanted here"), std::string::npos);
            }
            EXPECT_EQ(test::ReadAll(files.multiIdx), uopIndex ? uop : index) << c;
            EXPECT_EQ(test::ReadAll(files.multiMul), uopIndex ? data : uop) << c;
        }
    }
}

}  // namespace
}  // namespace keelwright
