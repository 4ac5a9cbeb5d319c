#include "mulfiles/Extractor.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "mulfiles/AtomicFile.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "mulfiles/FaultyFileSystem.h"
#include "mulfiles/Patcher.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/Slots.h"

namespace keelwright {
namespace {

using test::CrLfLines;
using test::DataBytes;
using test::FillerRecords;
using test::Free;
using test::IndexBytes;
using test::Used;

TEST(MultiTextOfBlock, WritesTheHeaderAndOneLinePerComponentAfterTheLeadRecord) {
    const std::string block = DataBytes({ComponentRecord::lead(), {1200, -1, 0, 0, 0}, {1201, 2, -3, 5, 1}});
    EXPECT_EQ(MultiTextOfBlock(test::AsBytes(block), RecordSize::Twelve),
              "6 version\r\n1 template id\r\n-1 item version\r\n2 num components\r\n1200 -1 0 0 0\r\n1201 2 "
              "-3 5 1\r\n");
}

TEST(MultiTextOfBlock, WritesTheItemIdUnsignedAndTheOtherFieldsSigned) {
    EXPECT_EQ(MultiTextOfBlock(test::AsBytes(DataBytes({ComponentRecord::lead()})), RecordSize::Twelve),
              CrLfLines({"6 version", "1 template id", "-1 item version", "0 num components"}));
    const std::string highIds = DataBytes({ComponentRecord::lead()}) +
                                std::string("\x40\x9C\x00\x80\xFF\x7F\xFF\xFF\x00\x00\x00\x80", 12);
    EXPECT_EQ(MultiTextOfBlock(test::AsBytes(highIds), RecordSize::Twelve),
              CrLfLines({"6 version", "1 template id", "-1 item version", "1 num components",
                         "40000 -32768 32767 -1 -2147483648"}));
}

TEST(MultiTextOfBlock, DropsTheFirstRecordOnlyWhenItIsTheLeadRecordInEitherSize) {
    struct Row {
        RecordSize size;
        ComponentRecord first;
        const char* firstLine;  // null: the record is dropped
    };
    const Row rows[] = {
        {RecordSize::Twelve, ComponentRecord::lead(), nullptr},
        {RecordSize::Sixteen, ComponentRecord::lead(), nullptr},
        {RecordSize::Twelve, {16385, -2, 3, 4, 0}, "16385 -2 3 4 0"},  // a boat's first tile
        {RecordSize::Sixteen, {16385, -2, 3, 4, 0, 0}, "16385 -2 3 4 0"},
        {RecordSize::Twelve, {1, 0, 0, 0, 1}, "1 0 0 0 1"},
        {RecordSize::Sixteen, {1, 0, 0, 0, 0, 1}, "1 0 0 0 0"},  // only its extra int differs
        {RecordSize::Sixteen, {1, 0, 0, 1, 0, 0}, "1 0 0 1 0"},
    };
    for (const Row& row : rows) {
        const std::string block = DataBytes({row.first, {622, 1, -1, 0, 1, 1}}, row.size);
        std::vector<std::string> lines = {"6 version", "1 template id", "-1 item version"};
        lines.push_back(row.firstLine ? "2 num components" : "1 num components");
        if (row.firstLine) {
            lines.push_back(row.firstLine);
        }
        lines.push_back("622 1 -1 0 1");
        EXPECT_EQ(MultiTextOfBlock(test::AsBytes(block), row.size), CrLfLines(lines))
            << BytesOf(row.size) << "-byte records, first line " << (row.firstLine ? row.firstLine : "none");
    }
}

TEST(ParseMultiNumber, TakesDecimalOrHexNumbersFromZeroTo32766AndNothingForABlankEntry) {
    struct Row {
        const char* typed;
        std::optional<std::int32_t> multi;  // empty with number 0: blank entry
        ErrorNumber error;
    };
    const Row rows[] = {
        {"", std::nullopt, ErrorNumber{}},
        {"  \t ", std::nullopt, ErrorNumber{}},
        {"0", 0, ErrorNumber{}},
        {" 5 ", 5, ErrorNumber{}},
        {"+7", 7, ErrorNumber{}},
        {"32766", 32766, ErrorNumber{}},
        {"12.0", 12, ErrorNumber{}},
        {"32767", std::nullopt, ErrorNumber::Overflow},
        {"-1", std::nullopt, ErrorNumber::Overflow},
        {"99999999999999999999", std::nullopt, ErrorNumber::Overflow},
        {"1.5", std::nullopt, ErrorNumber::TypeMismatch},
        {"abc", std::nullopt, ErrorNumber::TypeMismatch},
        {"0x10", 16, ErrorNumber{}},
        {" 0X7ffE ", 32766, ErrorNumber{}},
        {"0x7FFF", std::nullopt, ErrorNumber::Overflow},
        {"0x1FFFFFFFFFFFFFFFFF", std::nullopt, ErrorNumber::Overflow},
        {"0x", std::nullopt, ErrorNumber::TypeMismatch},
        {"0x-1", std::nullopt, ErrorNumber::TypeMismatch},
        {"0x1g", std::nullopt, ErrorNumber::TypeMismatch},
        {"1 2", std::nullopt, ErrorNumber::TypeMismatch},
    };
    for (const Row& row : rows) {
        try {
            EXPECT_EQ(ParseMultiNumber(row.typed), row.multi) << '"' << row.typed << '"';
            EXPECT_EQ(row.error, ErrorNumber{}) << '"' << row.typed << "\" was accepted";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), row.error) << '"' << row.typed << "\": " << e.reason();
        }
    }
}

class ExtractorTest : public ::testing::Test {
protected:
    void setUp(const std::string& index, const std::string& data) {
        test::WriteAll(files_.multiIdx, index);
        test::WriteAll(files_.multiMul, data);
    }
    std::string extract(std::int32_t multi) {
        const std::int32_t slot = SlotOfMultiNumber(multi);
        return ExtractMultiText(fileSystem_, files_.multiMul, slot,
                                ReadIndexEntry(fileSystem_, files_.multiIdx, slot), RecordSize::Twelve);
    }
    // The error of an extraction that must fail.
    Error failure(std::int32_t multi) {
        try {
            extract(multi);
            ADD_FAILURE() << "multi " << multi << " was extracted";
        } catch (const Error& e) {
            return e;
        }
        return Error(ErrorNumber::InvalidCall, "no error");
    }

    test::TempDir dir_;
    ClientFiles files_{dir_ / "Multi.idx", dir_ / "Multi.mul"};
    NativeFileSystem fileSystem_;
};

TEST_F(ExtractorTest, MultiNumberZeroReadsTheFirstSlot) {
    setUp(IndexBytes({Used(12, 24), Used(0, 12)}),
          DataBytes({ComponentRecord::lead(), {1, 2, 3, 4, 5}, {6, 7, 8, 9, 10}}));
    EXPECT_EQ(extract(0), CrLfLines({"6 version", "1 template id", "-1 item version", "2 num components",
                                     "1 2 3 4 5", "6 7 8 9 10"}))
        << "a first record other than the lead record is a component";
    EXPECT_EQ(extract(1), CrLfLines({"6 version", "1 template id", "-1 item version", "0 num components"}));
}

TEST_F(ExtractorTest, RefusesSlotsAndBlocksThatHoldNoWholeMulti) {
    setUp(IndexBytes({Free(), Used(0, 50), Used(0, 0), Used(0, -12), Used(24, 36), Used(-12, 24), {0, 0, 0}}),
          FillerRecords(4));
    struct Row {
        std::int32_t multi;
        ErrorNumber number;
        const char* reason;
    };
    const Row rows[] = {
        {0, ErrorNumber::InvalidCall, "multi 0x0 (0) (slot 1) is a free slot: it holds no multi"},
        {1, ErrorNumber::InvalidFileFormat,
         "the index entry of multi 0x1 (1) (slot 2) has Length 50, not a whole positive multiple of 12"},
        {2, ErrorNumber::InvalidFileFormat,
         "the index entry of multi 0x2 (2) (slot 3) has Length 0, not a whole positive multiple of 12"},
        {3, ErrorNumber::InvalidFileFormat,
         "the index entry of multi 0x3 (3) (slot 4) has Length -12, not a whole positive multiple of 12"},
        {4, ErrorNumber::InputPastEnd,
         "the block of multi 0x4 (4) (slot 5) at offset 24, 36 bytes long, reaches past the end of the file "
         "(48 "
         "bytes)"},
        {5, ErrorNumber::InputPastEnd,
         "the block of multi 0x5 (5) (slot 6) at offset -12, 24 bytes long, reaches past the end of the file "
         "(48 "
         "bytes)"},
        {6, ErrorNumber::InvalidFileFormat,
         "the index entry of multi 0x6 (6) (slot 7) has Length 0, not a whole positive multiple of 12"},
        {7, ErrorNumber::BadRecordNumber,
         "multi 0x7 (7) (slot 8) lies past the end of the index, which has 7 slots"},
    };
    for (const Row& row : rows) {
        const Error e = failure(row.multi);
        EXPECT_EQ(e.number(), row.number) << row.multi;
        EXPECT_EQ(e.reason(), row.reason);
    }
}

TEST_F(ExtractorTest, ABlockPatchedAndExtractedReadsBackAsTheSameComponentsInOrder) {
    setUp(IndexBytes({Used(0, 24), Free()}), FillerRecords(2));
    const ComponentTable table = test::TableOf({{"1200", "-2", "1", "0", "1"},
                                                {"16385", "2", "-1", "20", "0"},
                                                {"622", "0", "0", "-5", "1"},
                                                {"1200", "-1", "1", "0", "1"}});
    const PatchResult patched = PatchMulti(fileSystem_, table, files_);
    const std::string text = extract(MultiNumberOfSlot(patched.slot));

    ComponentTable back;
    ReadMultiTxt(text, "extracted.txt", back, ComponentsList{});
    ASSERT_EQ(back.Count, table.Count);
    for (std::int32_t i = 0; i < table.Count; ++i) {
        EXPECT_EQ(back.ItemId[i], table.ItemId[i]) << i;
        EXPECT_EQ(back.X[i], table.X[i]) << i;
        EXPECT_EQ(back.Y[i], table.Y[i]) << i;
        EXPECT_EQ(back.Z[i], table.Z[i]) << i;
    }
    EXPECT_NE(text.find("16385 2 -1 20 0\r\n"), std::string::npos)
        << "flags are written, though not read back";
}

// The item ids from 0x8000 up are unsigned all the way: a script may give them in decimal, as a negative
// bit pattern or in hex, and extraction writes them as unsigned decimals that load again to the same ids.
TEST_F(ExtractorTest, LoadPatchExtractAndLoadAgainGiveTheSameComponentsInEitherRecordSize) {
    const std::string script = CrLfLines({"6 version", "1 template id", "-1 item version", "7 num components",
                                          "1200 -2 1 0", "0x8000 2 -1 20", "65535 0 0 -5", "-1 1 1 0",
                                          "0x06AD 3 3 3", "40000 -1 1 0", "-32768 0 0 0"});
    const std::vector<std::string> ids = {"1200", "32768", "65535", "65535", "1709", "40000", "32768"};
    for (const RecordSize size : {RecordSize::Twelve, RecordSize::Sixteen}) {
        const auto bytes = static_cast<std::int32_t>(BytesOf(size));
        // Blocks of 2 and 5 records: 24 and 60 bytes tell 12, 32 and 80 tell 16.
        setUp(IndexBytes({Used(0, 2 * bytes), Used(2 * bytes, 5 * bytes), Free()}), FillerRecords(7, size));
        ComponentTable loaded;
        ReadMultiTxt(script, "multi.txt", loaded, ComponentsList{});

        const PatchResult patched = PatchMulti(fileSystem_, loaded, files_);
        EXPECT_EQ(patched.recordSize.size, size);
        EXPECT_EQ(patched.recordSize.from, RecordSizeFrom::Lengths);
        EXPECT_EQ(patched.offset, 7 * bytes) << "right after the last record";
        EXPECT_EQ(patched.length, 8 * bytes);
        const std::int32_t slot = patched.slot;
        const std::string text = ExtractMultiText(fileSystem_, files_.multiMul, slot,
                                                  ReadIndexEntry(fileSystem_, files_.multiIdx, slot),
                                                  DecideRecordSize(fileSystem_, files_).size);

        ComponentTable back;
        ReadMultiTxt(text, "extracted.txt", back, ComponentsList{});
        ASSERT_EQ(back.Count, loaded.Count) << BytesOf(size);
        for (std::int32_t i = 0; i < loaded.Count; ++i) {
            EXPECT_EQ(back.ItemId[i], ids[static_cast<std::size_t>(i)]) << BytesOf(size) << ": " << i;
            EXPECT_EQ(back.X[i], loaded.X[i]) << i;
            EXPECT_EQ(back.Y[i], loaded.Y[i]) << i;
            EXPECT_EQ(back.Z[i], loaded.Z[i]) << i;
        }
        EXPECT_NE(text.find("\r\n32768 "), std::string::npos) << text;
    }
}

// examples/client-hs is examples/client in 16-byte records; both survey as sound and every multi extracts
// to the same text.
TEST(ExampleClientFiles, TheSixteenBytePairHoldsTheMultisOfTheTwelveBytePair) {
    NativeFileSystem fileSystem;
    const std::filesystem::path examples = KEELWRIGHT_EXAMPLES;
    const ClientFiles classic{examples / "client" / "Multi.idx", examples / "client" / "Multi.mul"};
    const ClientFiles wide{examples / "client-hs" / "Multi.idx", examples / "client-hs" / "Multi.mul"};
    const ClientFilesSurvey classicSurvey = SurveyClientFiles(fileSystem, classic);
    const ClientFilesSurvey wideSurvey = SurveyClientFiles(fileSystem, wide);
    EXPECT_TRUE(wideSurvey.sound());
    EXPECT_EQ(wideSurvey.recordSize.size, RecordSize::Sixteen);
    EXPECT_EQ(wideSurvey.recordSize.from, RecordSizeFrom::Lengths);
    EXPECT_EQ(classicSurvey.recordSize.size, RecordSize::Twelve);
    EXPECT_EQ(wideSurvey.firstFreeSlot, classicSurvey.firstFreeSlot);
    EXPECT_EQ(wideSurvey.firstFreeRecord, classicSurvey.firstFreeRecord);
    ASSERT_EQ(wideSurvey.usedSlots.size(), 5U);
    ASSERT_EQ(classicSurvey.usedSlots.size(), 5U);
    for (std::size_t i = 0; i < 5; ++i) {
        const std::int32_t slot = classicSurvey.usedSlots[i].slot;
        EXPECT_EQ(wideSurvey.usedSlots[i].slot, slot);
        EXPECT_EQ(wideSurvey.usedSlots[i].components, classicSurvey.usedSlots[i].components);
        EXPECT_EQ(ExtractMultiText(fileSystem, wide.multiMul, slot, wideSurvey.usedSlots[i].entry,
                                   RecordSize::Sixteen),
                  ExtractMultiText(fileSystem, classic.multiMul, slot, classicSurvey.usedSlots[i].entry,
                                   RecordSize::Twelve))
            << slot;
    }
}

class AtomicFileTest : public ::testing::Test {
protected:
    // The names in the folder, to show that no temporary file is left behind.
    std::vector<std::string> names() const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    // The name of this process's temporary file for `target`.
    std::string temporaryOf(const std::string& target) {
        return "." + target + ".keelwright-" + std::to_string(fileSystem_.processId()) + ".tmp";
    }

    test::TempDir dir_;
    NativeFileSystem fileSystem_;
};

// The real file system where process 4242 has ended and every other one runs.
class EndedProcessFileSystem : public NativeFileSystem {
public:
    bool processRuns(std::int64_t id) override { return id != 4242; }
};

TEST_F(AtomicFileTest, RemovesTheTemporaryFilesOfEndedRunsInItsFolderOnly) {
    std::filesystem::create_directory(dir_ / "other");
    const auto stale = [&](const std::filesystem::path& name) { return dir_.write(name.string(), "left"); };
    const std::vector<std::filesystem::path> removed = {stale(".shard.toml.lock.keelwright-4242.tmp"),
                                                        stale(".multis.scp.keelwright-4242-3.tmp")};
    const std::vector<std::filesystem::path> kept = {
        stale(".multis.scp.keelwright-4243.tmp"),         // a run that still runs
        stale(temporaryOf("multi.txt")),                  // this run's own
        stale("multis.scp.keelwright-4242.tmp"),          // not a hidden temporary name
        stale(".multis.scp.keelwright-42x2.tmp"),         // no process id
        stale(".multis.scp.keelwright-4242-.tmp"),        // nor a number after it
        stale(".keelwright-4242.tmp"),                    // no file's name before the mark
        stale("other/.multis.scp.keelwright-4242.tmp")};  // another folder
    EndedProcessFileSystem fileSystem;
    WriteFileAtomically(fileSystem, dir_ / "multi.txt", "text");
    for (const auto& path : removed) {
        EXPECT_FALSE(std::filesystem::exists(path)) << path;
    }
    for (const auto& path : kept) {
        EXPECT_TRUE(std::filesystem::exists(path)) << path;
    }
    EXPECT_EQ(test::ReadAll(dir_ / "multi.txt"), "text");
    EXPECT_TRUE(fileSystem_.processRuns(fileSystem_.processId()));
    EXPECT_FALSE(fileSystem_.processRuns(2147483646)) << "above every system's highest process id";
}

TEST_F(AtomicFileTest, ReplacesAnExistingFileWhole) {
    const auto target = dir_.write("multi.txt", std::string(1000, 'o'));
    WriteFileAtomically(fileSystem_, target, "new\r\n");
    EXPECT_EQ(test::ReadAll(target), "new\r\n");
    EXPECT_EQ(names(), std::vector<std::string>{"multi.txt"});
}

TEST_F(AtomicFileTest, FailsWithoutTouchingTheTargetOrLeavingATemporaryFile) {
    const auto target = dir_.write("multi.txt", "old");
    test::FaultyFileSystem full;
    full.faults[temporaryOf("multi.txt")] = test::FileFaults::Capacity(2);
    EXPECT_THROW(WriteFileAtomically(full, target, "new text"), Error);
    EXPECT_EQ(test::ReadAll(target), "old");

    test::FaultyFileSystem unflushable;
    unflushable.faults[temporaryOf("multi.txt")] = test::FileFaults::FailingSync(1);
    EXPECT_THROW(WriteFileAtomically(unflushable, target, "new text"), Error);
    EXPECT_EQ(test::ReadAll(target), "old");

    std::filesystem::create_directory(dir_ / "folder");
    EXPECT_THROW(WriteFileAtomically(fileSystem_, dir_ / "folder", "new"), Error);
    EXPECT_EQ(names(), (std::vector<std::string>{"folder", "multi.txt"}));
}

TEST_F(AtomicFileTest, NamesTheProblemWithAPathThatCannotBeWritten) {
    struct Row {
        std::filesystem::path path;
        ErrorNumber number;
    };
    const Row rows[] = {
        {"", ErrorNumber::BadFileName},
        {dir_ / "no such folder" / "multi.txt", ErrorNumber::FileNotFound},
    };
    for (const Row& row : rows) {
        try {
            WriteFileAtomically(fileSystem_, row.path, "text");
            ADD_FAILURE() << row.path << " was written";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), row.number) << e.description();
            EXPECT_EQ(e.file(), row.path.string());
        }
    }
    const auto taken = dir_.write(temporaryOf("multi.txt"), "someone else's");
    WriteFileAtomically(fileSystem_, dir_ / "multi.txt", "text");
    EXPECT_EQ(test::ReadAll(taken), "someone else's") << "a temporary name in use is passed over";
    EXPECT_EQ(test::ReadAll(dir_ / "multi.txt"), "text");
}

}  // namespace
}  // namespace keelwright
