// A multi at the user's number: replaced and removed in each file alone and in all three, every other slot
// and entry left byte for byte, every write covered by failures and power cuts, and an exact copy that
// gives back the same block.
#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "TestTables.h"
#include "clientfiles/ClientFilesTest.h"
#include "clientfiles/ClientMultiList.h"
#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/MultiRemoval.h"
#include "clientfiles/MultiTransaction.h"
#include "model/ComponentsList.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/FaultyFileSystem.h"
#include "mulfiles/UnusableIndexError.h"
#include "uop/PowerCutFileSystem.h"
#include "uop/UopNameHash.h"
#include "uop/UopSurvey.h"
#include "uop/UopTestFiles.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

using test::kFileTime;
constexpr std::int32_t kMulti = 2;  // held by Multi.idx slot 3 and the UOP in the example files

using test::Files;
enum class Change { Replace, Remove };

class ReplaceRemoveTest : public test::ClientFilesTest {
protected:
    void change(FileSystem& fileSystem, Change what, Files which, std::int32_t multi = kMulti) {
        if (what == Change::Remove) {
            RemoveMulti(fileSystem, targets(which), multi);
            return;
        }
        PatchOptions options;
        options.multi = multi;
        options.replace = true;
        PatchEveryFile(fileSystem, test::GeneratedTable(10), targets(which), kFileTime, options);
    }
    // What a client reads of the UOP, the multi's own entry left out, and that entry's payload apart.
    static std::map<std::uint64_t, std::string> othersOf(const std::string& uop, std::string* own = nullptr) {
        auto reads = test::ClientReads(uop, false);
        const auto found = reads.find(UopNameHash(MultiEntryName(kMulti)));
        if (own != nullptr) {
            *own = found == reads.end() ? "-" : found->second;
        }
        if (found != reads.end()) {
            reads.erase(found);
        }
        return reads;
    }
};

TEST_F(ReplaceRemoveTest, ChangesOnlyTheMultiAtTheNumberInEveryFileGiven) {
    for (const char* folder : {"client", "client-hs"}) {
        for (const Files which : {Files::Mul, Files::Uop, Files::All}) {
            for (const Change what : {Change::Replace, Change::Remove}) {
                const std::string row = std::string(folder) +
                                        (what == Change::Replace ? " replace" : " remove") + " files " +
                                        std::to_string(static_cast<int>(which));
                copyExamples(folder);
                const std::vector<std::string> before = contents();
                NativeFileSystem fileSystem;
                change(fileSystem, what, which);
                const std::vector<std::string> after = contents();
                const std::size_t slotAt = 12 * kMulti;
                if (which == Files::Uop) {
                    EXPECT_EQ(after[0], before[0]) << row;
                } else {
                    EXPECT_EQ(after[0].substr(0, slotAt) + after[0].substr(slotAt + 12),
                              before[0].substr(0, slotAt) + before[0].substr(slotAt + 12))
                        << row;
                }
                EXPECT_EQ(after[1].substr(0, before[1].size()), before[1]) << row << ": Multi.mul only grows";
                EXPECT_EQ(after[1].size() > before[1].size(), which != Files::Uop && what == Change::Replace);
                std::string own, oldOwn;
                EXPECT_EQ(othersOf(after[2], &own), othersOf(before[2], &oldOwn)) << row;
                const ClientMultiList list = ListClientMultis(fileSystem, targets(which));
                if (what == Change::Remove) {
                    EXPECT_EQ(own, which == Files::Mul ? oldOwn : "-") << row;
                    if (which != Files::Uop) {
                        EXPECT_EQ(after[0].substr(slotAt, 12), test::IndexBytes({IndexRecord::free()}))
                            << row;
                        EXPECT_EQ(list.mul->deadBytes, test::GetLe(before[0], slotAt + 4, 4)) << row;
                    }
                    if (which != Files::Mul) {
                        EXPECT_EQ(list.uop->clearedEntries, 1) << row;
                    }
                    EXPECT_THROW(RemoveMulti(fileSystem, targets(which), kMulti), Error) << row;
                    EXPECT_EQ(contents(), after) << row << ": nothing left to remove, nothing written";
                    continue;
                }
                const ComponentTable table = test::GeneratedTable(10);
                if (which != Files::Uop) {
                    const RecordSize size = list.mul->recordSize.size;
                    EXPECT_EQ(ExtractMultiText(fileSystem, files_.multiMul, kMulti + 1,
                                               ReadIndexEntry(fileSystem, files_.multiIdx, kMulti + 1), size),
                              MultiTextOfBlock(EncodeMultiData(table, size), size))
                        << row;
                    EXPECT_GT(list.mul->deadBytes, 0U) << row << ": the old block is dead";
                }
                if (which != Files::Mul) {
                    EXPECT_EQ(ReadUopMulti(fileSystem, uop_, kMulti).payload.components().size(), 10U) << row;
                    EXPECT_GT(list.uop->deadBytes, 0U) << row;
                    EXPECT_TRUE(list.uop->sound()) << row;
                }
            }
        }
    }
}

TEST_F(ReplaceRemoveTest, RefusesBeforeWritingAnything) {
    const struct {
        const char* what;
        std::int32_t multi;
        bool replace;
        bool remove;
        const char* says;
    } rows[] = {
        {"a number the files hold", kMulti, false, false,
         "multi 0x2 (2) is taken: Multi.idx slot 0x3 holds multi 0x2 (2) (8 tiles); MultiCollection.uop "
         "holds "
         "multi 0x2 (2) (8 tiles); nothing was written"},
        {"a number past the index", 16, true, false, "needs slot 17, but the index has 16 slots"},
        {"a removal that finds nothing", 6, false, true, "none of the files given holds multi 0x6 (6)"},
    };
    for (const auto& row : rows) {
        copyExamples("client");
        const std::vector<std::string> before = contents();
        test::FaultyFileSystem fileSystem;
        try {
            if (row.remove) {
                RemoveMulti(fileSystem, targets(Files::All), row.multi);
            } else {
                PatchOptions options;
                options.multi = row.multi;
                options.replace = row.replace;
                PatchEveryFile(fileSystem, test::GeneratedTable(3), targets(Files::All), kFileTime, options);
            }
            ADD_FAILURE() << row.what;
        } catch (const Error& e) {
            EXPECT_NE(e.description().find(row.says), std::string::npos)
                << row.what << ": " << e.description();
        }
        EXPECT_TRUE(fileSystem.writes.empty()) << row.what;
        EXPECT_EQ(contents(), before) << row.what;
    }
    NativeFileSystem fileSystem;
    EXPECT_EQ(WhatFilesHold(fileSystem, targets(Files::All), kMulti).replaceQuestion(),
              "Multi 0x2 already holds 8 tiles in Multi.mul and MultiCollection.uop. Replace it?");
    EXPECT_EQ(FreeMultiNumbers(ListClientMultis(fileSystem, targets(Files::All)), 3),
              (std::vector<std::int32_t>{4, 6, 7}));
    std::filesystem::remove(files_.multiIdx);
    EXPECT_THROW(WhatFilesHold(fileSystem, targets(Files::All), kMulti), UnusableIndexError)
        << "a missing index ends a patch at a chosen number as it ends one at the first free number";
}

// A file that is no Multi.mul (art.mul named as one) or one cut short: a block written at its last whole
// record would overwrite its last bytes, and the index would point into it.
TEST_F(ReplaceRemoveTest, RefusesAMultiMulOfNoWholeNumberOfRecordsInEveryCommandThatWrites) {
    const auto patchAt = [&](FileSystem& fs, std::optional<std::int32_t> multi,
                             std::optional<RecordSize> size) {
        PatchOptions options;
        options.multi = multi;
        options.replace = true;
        options.recordSize = size;
        PatchEveryFile(fs, test::GeneratedTable(3), targets(Files::All), kFileTime, options);
    };
    const struct {
        const char* what;
        std::function<void(FileSystem&)> command;
        const char* says;
    } rows[] = {
        {"a patch at the first free number", [&](FileSystem& fs) { patchAt(fs, std::nullopt, std::nullopt); },
         "460 bytes, 4 bytes past the last whole 12-byte record"},
        {"a replacement", [&](FileSystem& fs) { patchAt(fs, kMulti, std::nullopt); },
         "460 bytes, 4 bytes past the last whole 12-byte record"},
        {"a patch in 16-byte records",
         [&](FileSystem& fs) { patchAt(fs, std::nullopt, RecordSize::Sixteen); },
         "460 bytes, 12 bytes past the last whole 16-byte record"},
        {"a removal", [&](FileSystem& fs) { RemoveMulti(fs, targets(Files::All), kMulti); },
         "460 bytes, 4 bytes past the last whole 12-byte record"},
        {"the patch of Multi.idx and Multi.mul alone",
         [&](FileSystem& fs) { PatchMulti(fs, test::GeneratedTable(3), files_); },
         "460 bytes, 4 bytes past the last whole 12-byte record"},
        {"a transaction, the record size decided elsewhere",
         [&](FileSystem& fs) {
             MultiChange change;
             change.multi = 6;
             change.mul = MulChange::Write;
             change.block = EncodeMultiData(test::GeneratedTable(3), RecordSize::Twelve);
             WriteMultiTransaction(fs, targets(Files::Mul), RecordSize::Twelve, std::span(&change, 1));
         },
         "460 bytes, 4 bytes past the last whole 12-byte record"},
    };
    for (const auto& row : rows) {
        copyExamples("client");
        test::WriteAll(files_.multiMul, test::ReadAll(files_.multiMul) + "TAIL");
        const std::vector<std::string> before = contents();
        test::FaultyFileSystem fileSystem;
        try {
            row.command(fileSystem);
            ADD_FAILURE() << row.what << ": written";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat) << row.what;
            EXPECT_EQ(e.file(), files_.multiMul.string()) << row.what;
            EXPECT_EQ(e.reason(), "Multi.mul is " + std::string(row.says) +
                                      ": it is not a Multi.mul, or it is damaged; nothing was written")
                << row.what;
        }
        EXPECT_TRUE(fileSystem.writes.empty()) << row.what;
        EXPECT_EQ(contents(), before) << row.what;
    }
}

TEST_F(ReplaceRemoveTest, LeavesEveryFileAsItWasWhenAnyWriteOrFlushFails) {
    for (const Change what : {Change::Replace, Change::Remove}) {
        copyExamples("client-hs");
        const std::vector<std::string> before = contents();
        test::FaultyFileSystem counting;
        change(counting, what, Files::All);
        for (const char* file : {"Multi.idx", "Multi.mul", "MultiCollection.uop"}) {
            EXPECT_EQ(counting.writes[file] > 0, what == Change::Replace || std::string(file) != "Multi.mul")
                << file;
            for (int n = 1; n <= counting.writes[file]; ++n) {
                for (const test::FileFaults faults :
                     {test::FileFaults::FailingWrite(n), test::FileFaults::FailingSync(n)}) {
                    copyExamples("client-hs");
                    test::FaultyFileSystem fileSystem;
                    fileSystem.faults[file] = faults;
                    EXPECT_THROW(change(fileSystem, what, Files::All), Error) << file << " " << n;
                    EXPECT_EQ(contents(), before) << file << " write or flush " << n;
                }
            }
        }
    }
}

TEST_F(ReplaceRemoveTest, APowerCutLeavesTheMultiAsBeforeOrAsAfterAndTheNextWriteClearsADuplicate) {
    bool duplicateSeen = false;
    for (const Change what : {Change::Replace, Change::Remove}) {
        copyExamples("client");
        const std::vector<std::string> before = contents();
        test::FaultyFileSystem counting;
        change(counting, what, Files::All);
        const std::vector<std::string> after = contents();
        std::string oldPayload, newPayload;
        othersOf(before[2], &oldPayload);
        othersOf(after[2], &newPayload);
        int writes = 0;
        for (const auto& [file, count] : counting.writes) {
            writes += count;
        }
        for (int n = 1; n <= writes; ++n) {
            copyExamples("client");
            test::PowerCutFileSystem fileSystem(n, 0.5);
            EXPECT_THROW(change(fileSystem, what, Files::All), Error);
            const std::vector<std::string> crashed = contents();
            const std::string row = "cut at write " + std::to_string(n) + " in " + fileSystem.cutIn();
            if (fileSystem.cutIn() != "Multi.idx") {
                EXPECT_TRUE(crashed[0] == before[0] || crashed[0] == after[0]) << row;
            }
            std::string own;
            EXPECT_EQ(othersOf(crashed[2], &own), othersOf(before[2])) << row;
            EXPECT_TRUE(own == oldPayload || own == newPayload) << row;
            NativeFileSystem real;
            const UopSurvey survey = SurveyUop(real, uop_);
            bool duplicate = false;
            for (const UopProblem& problem : survey.problems) {
                const bool ofTheMulti =
                    problem.kind == UopProblem::Kind::DuplicateEntry && problem.multi == kMulti;
                EXPECT_TRUE(ofTheMulti || problem.kind == UopProblem::Kind::FileCountMismatch)
                    << row << ": " << problem.message;
                duplicate = duplicate || ofTheMulti;
            }
            if (survey.sound()) {
                continue;
            }
            change(real, Change::Replace, Files::Uop, 7);  // a write about another multi
            EXPECT_TRUE(SurveyUop(real, uop_).sound())
                << row << ": it clears a duplicate and mends the count";
            if (duplicate) {
                duplicateSeen = true;
                othersOf(contents()[2], &own);
                EXPECT_EQ(own, newPayload) << row << ": the older of the two is the one cleared";
            }
        }
    }
    EXPECT_TRUE(duplicateSeen) << "a cut between the new entry and the clearing of the old one leaves both";
}

TEST_F(ReplaceRemoveTest, AnExactCopyGivesBackTheSameBlockBytes) {
    NativeFileSystem fileSystem;
    for (const char* folder : {"client", "client-hs"}) {
        copyExamples(folder);
        const ClientMultiList list = ListClientMultis(fileSystem, targets(Files::All));
        for (const ClientMulti& multi : list.multis) {
            const std::string row = std::string(folder) + " multi " + std::to_string(multi.multi);
            const RecordSize size = list.mul->recordSize.size;
            const std::int32_t slot = multi.multi + 1;
            const auto block = [&] {
                return ReadMultiBlock(fileSystem, files_.multiMul, slot,
                                      ReadIndexEntry(fileSystem, files_.multiIdx, slot), size);
            };
            const auto copyBack = [&](const std::string& text, Files which) {
                ComponentTable table;
                LoadMulti(dir_.write("exact.txt", text), ScriptType::MultiTxt, table, ComponentsList(), {},
                          LoadOptions{true, {}});
                PatchOptions options;
                options.multi = multi.multi;
                options.replace = true;
                options.exact = true;
                PatchEveryFile(fileSystem, table, targets(which), kFileTime, options);
            };
            ASSERT_TRUE(multi.inMul && multi.inUop) << row;
            const std::vector<std::uint8_t> before = block();
            copyBack(ExactMultiTextOfBlock(before, size), Files::Mul);
            EXPECT_EQ(block(), before) << row;
            const UopMultiPayload payload = ReadUopMulti(fileSystem, uop_, multi.multi).payload;
            copyBack(ExtractUopMultiText(fileSystem, uop_, multi.multi, true), Files::Uop);
            EXPECT_EQ(ReadUopMulti(fileSystem, uop_, multi.multi).payload, payload) << row;
        }
    }
    // A whole 64-bit Flags word survives a 16-byte copy, and a 12-byte record refuses it by tile.
    const ComponentTable wide =
        test::TableOf({{"1200", "-3", "4", "5", "1"}, {"0x4B0", "0", "0", "0", "12884901889"}});
    const std::vector<std::uint8_t> block = EncodeExactMultiData(wide, RecordSize::Sixteen);
    EXPECT_EQ(ExactMultiTextOfBlock(block, RecordSize::Sixteen),
              "6 version\r\n1 template id\r\n-1 item version\r\n2 num components\r\n1200 -3 4 5 1\r\n"
              "1200 0 0 0 12884901889\r\n");
    try {
        EncodeExactMultiData(wide, RecordSize::Twelve);
        ADD_FAILURE() << "a 64-bit flags word into 12-byte records";
    } catch (const Error& e) {
        EXPECT_EQ(e.reason(), "tile 2: flags 12884901889 do not fit the 32 bits of a 12-byte record's Flags");
    }
}

}  // namespace
}  // namespace keelwright
