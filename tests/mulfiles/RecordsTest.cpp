#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/ComponentRecord.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/RecordFile.h"
#include "mulfiles/Slots.h"

namespace keelwright {
namespace {

using test::HexBytes;

std::string asString(const RecordBytes& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(Records, EncodeEveryFieldLittleEndianInItsPlace) {
    struct Row {
        ComponentRecord record;
        const char* bytes;
    };
    const Row rows[] = {
        {{16385, 0, 0, 0, 0}, "01 40 00 00 00 00 00 00 00 00 00 00"},
        {{0, -3, 0, 0, 0}, "00 00 FD FF 00 00 00 00 00 00 00 00"},
        {{1, 2, 3, 4, 5}, "01 00 02 00 03 00 04 00 05 00 00 00"},
        {{0x9C40, -32768, 32767, -1, -2}, "40 9C 00 80 FF 7F FF FF FE FF FF FF"},
        {{0, 0, 0, 0, 0x12345678}, "00 00 00 00 00 00 00 00 78 56 34 12"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(HexBytes(asString(row.record.encode())), row.bytes);
    }
    EXPECT_EQ(HexBytes(asString(IndexRecord{12000, 132, -1}.encode())),
              "E0 2E 00 00 84 00 00 00 FF FF FF FF");
    EXPECT_EQ(HexBytes(asString(IndexRecord{-1, -1, 0x01020304}.encode())),
              "FF FF FF FF FF FF FF FF 04 03 02 01");
}

TEST(Records, DecodeGivesBackWhatWasEncoded) {
    for (const ComponentRecord& r :
         {ComponentRecord{1200, -1, 0, 0, 0}, ComponentRecord{0x9C40, 32767, -32768, 5, -7},
          ComponentRecord{1, 0, 0, 0, 2147483647}}) {
        const ComponentRecord back = ComponentRecord::decode(r.encode());
        EXPECT_EQ(back.ItemId, r.ItemId);
        EXPECT_EQ(back.X, r.X);
        EXPECT_EQ(back.Y, r.Y);
        EXPECT_EQ(back.Z, r.Z);
        EXPECT_EQ(back.Flags, r.Flags);
    }
    const IndexRecord back = IndexRecord::decode(IndexRecord{-2147483647 - 1, 2147483647, -1}.encode());
    EXPECT_EQ(back.Offset, -2147483647 - 1);
    EXPECT_EQ(back.Length, 2147483647);
    EXPECT_EQ(back.Extra, -1);
}

TEST(Records, FreeAndZeroLookOnlyAtTheirFields) {
    EXPECT_TRUE((IndexRecord{5, -1, 7}.isFree()));
    EXPECT_FALSE((IndexRecord{-1, 0, -1}.isFree()));
    EXPECT_TRUE((IndexRecord{0, 0, 99}.isZero()));
    EXPECT_FALSE((IndexRecord{0, 12, 0}.isZero())) << "a block at the very start of Multi.mul";
    EXPECT_FALSE((IndexRecord{24, 0, 0}.isZero()));
}

TEST(Slots, NumberMultisAndItemsFromTheSlot) {
    EXPECT_EQ(MultiNumberOfSlot(1), 0);
    EXPECT_EQ(SlotOfMultiNumber(4), 5);
    EXPECT_EQ(ByteOffsetOfSlot(5), 48);
    EXPECT_EQ(ItemHexOfSlot(1), "4000");
    EXPECT_EQ(ItemHexOfSlot(5), "4004");
    EXPECT_EQ(ItemHexOfSlot(16385), "8000");
}

class RecordFileTest : public ::testing::Test {
protected:
    RecordFile open(std::string_view bytes) {
        const auto path = dir_.write("records.bin", bytes);
        return RecordFile(fileSystem_, path, OpenMode::ReadWrite);
    }
    std::string contents() const { return test::ReadAll(dir_ / "records.bin"); }

    test::TempDir dir_;
    NativeFileSystem fileSystem_;
};

TEST_F(RecordFileTest, ReadsPastTheEndAsZerosAndSetsAtEnd) {
    RecordFile file = open(test::FillerRecords(2) + "\x01\x02\x03\x04\x05");
    EXPECT_EQ(asString(file.read(2)), test::FillerRecords(2).substr(12));
    EXPECT_FALSE(file.atEnd()) << "a read that ends exactly at a record's end";

    EXPECT_EQ(HexBytes(asString(file.read(3))), "01 02 03 04 05 00 00 00 00 00 00 00");
    EXPECT_TRUE(file.atEnd());
    EXPECT_EQ(asString(file.read(50)), std::string(12, '\0'));
    EXPECT_TRUE(file.atEnd());
    file.read(1);
    EXPECT_FALSE(file.atEnd());
    EXPECT_EQ(file.wholeRecords(), 2);
    EXPECT_EQ(file.firstFreeRecord(), 3);
}

TEST_F(RecordFileTest, AReadEndingExactlyAtTheEndOfTheFileLeavesAtEndFalse) {
    RecordFile file = open(test::FillerRecords(3));
    file.read(3);
    EXPECT_FALSE(file.atEnd());
    std::vector<std::uint8_t> two(24);
    file.readRecords(2, two);
    EXPECT_FALSE(file.atEnd());
    std::vector<std::uint8_t> three(36);
    EXPECT_EQ(file.readRecords(2, three), 24U);
    EXPECT_TRUE(file.atEnd());
    EXPECT_EQ(std::string(three.begin() + 24, three.end()), std::string(12, '\0'));
}

TEST_F(RecordFileTest, RecordNumbersBelowOneAreErrors) {
    RecordFile file = open(test::FillerRecords(1));
    for (const std::int64_t record : {0, -1}) {
        try {
            file.read(record);
            ADD_FAILURE() << record << " was read";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::BadRecordNumber);
        }
        EXPECT_THROW(file.write(record, RecordBytes{}), Error);
    }
    EXPECT_EQ(contents(), test::FillerRecords(1));
}

TEST_F(RecordFileTest, WritesInPlaceAndGrowTheFile) {
    RecordFile file = open(test::FillerRecords(2) + "xyz");
    const RecordBytes record = ComponentRecord{7, 8, 9, 10, 11}.encode();
    file.write(1, record);
    file.write(3, record);
    EXPECT_EQ(contents(), asString(record) + test::FillerRecords(2).substr(12) + asString(record));
    file.write(5, record);
    EXPECT_EQ(contents().size(), 60U);
    EXPECT_EQ(contents().substr(36, 12), std::string(12, '\0')) << "the gap reads as zeros";
}

TEST_F(RecordFileTest, OpeningForReadingOrWritingNeverCreatesAFile) {
    for (const OpenMode mode : {OpenMode::Read, OpenMode::ReadWrite}) {
        try {
            RecordFile(fileSystem_, dir_ / "missing.idx", mode);
            ADD_FAILURE() << "a missing file opened";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::FileNotFound);
            EXPECT_EQ(e.file(), (dir_ / "missing.idx").string());
        }
        EXPECT_FALSE(std::filesystem::exists(dir_ / "missing.idx"));
    }
    EXPECT_THROW(RecordFile(fileSystem_, dir_.path(), OpenMode::Read), Error) << "a folder is no record file";
}

}  // namespace
}  // namespace keelwright
