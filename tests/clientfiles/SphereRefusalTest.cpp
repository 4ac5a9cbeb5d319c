// No write leaves multi 0 as Sphere misreads it: every write path refuses it before writing anything.
#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "TestTables.h"
#include "clientfiles/ApplyPlan.h"
#include "clientfiles/ClientFilesTest.h"
#include "clientfiles/EveryFilePatch.h"
#include "clientfiles/MultiRemoval.h"
#include "clientfiles/MultiTransaction.h"
#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Patcher.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

using test::kFileTime;

using test::Files;

class SphereRefusalTest : public test::ClientFilesTest {
protected:
    // 12-byte files whose slot 1 is free, one multi of 2 records at slot 2, beside the example UOP.
    void writeMultiZeroFree() {
        const std::filesystem::path examples(KEELWRIGHT_EXAMPLES);
        write(test::IndexBytes({test::Free(), test::Used(0, 24), test::Free()}), test::FillerRecords(2),
              test::ReadAll(examples / "client" / "MultiCollection.uop"));
    }
    // A block of the lead record and `components` tiles in 12-byte records.
    static std::vector<std::uint8_t> block(std::int32_t components) {
        return EncodeMultiData(test::GeneratedTable(components), RecordSize::Twelve);
    }

    NativeFileSystem fileSystem_;
};

TEST_F(SphereRefusalTest, RefusesEveryWriteThatLeavesMultiZeroMisreadAndWritesNothing) {
    const struct {
        const char* what;
        const char* examples;  // the example pair to copy; null: 12-byte files with multi 0 free
        std::function<void()> write;
    } rows[] = {
        {"a replacement of multi 0 by 3 components in 12-byte files", "client",
         [this] {
             PatchOptions options;
             options.multi = 0;
             options.replace = true;
             PatchEveryFile(fileSystem_, test::GeneratedTable(3), targets(Files::All), kFileTime, options);
         }},
        {"a patch of 7 components at the first free number, multi 0", nullptr,
         [this] { PatchEveryFile(fileSystem_, test::GeneratedTable(7), targets(Files::Mul), kFileTime); }},
        {"the patcher of Multi.mul alone at slot 1", nullptr,
         [this] { PatchMulti(fileSystem_, test::GeneratedTable(3), files_); }},
        {"a removal of multi 0 from 16-byte files", "client-hs",
         [this] { RemoveMulti(fileSystem_, targets(Files::All), 0); }},
        {"a transaction writing 4 records at multi 0 in 12-byte files", "client",
         [this] {
             MultiChange change;
             change.multi = 0;
             change.mul = MulChange::Write;
             change.block = block(3);
             WriteMultiTransaction(fileSystem_, targets(Files::Mul), RecordSize::Twelve,
                                   std::span(&change, 1));
         }},
        {"a transaction freeing multi 0 in 16-byte files", "client-hs",
         [this] {
             MultiChange change;
             change.multi = 0;
             change.mul = MulChange::Free;
             WriteMultiTransaction(fileSystem_, targets(Files::Mul), RecordSize::Sixteen,
                                   std::span(&change, 1));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.examples != nullptr) {
            copyExamples(row.examples);
        } else {
            writeMultiZeroFree();
        }
        const std::vector<std::string> before = contents();
        try {
            row.write();
            ADD_FAILURE() << "the write went ahead";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
            EXPECT_NE(e.reason().find("as Sphere misreads it"), std::string::npos) << e.reason();
            EXPECT_NE(e.reason().find("nothing was written: "), std::string::npos) << e.reason();
        }
        EXPECT_EQ(contents(), before);
    }
}

TEST_F(SphereRefusalTest, AnApplyPlanRefusesTheEntryThatLeavesMultiZeroMisread) {
    copyExamples("client");
    ManifestEntry entry;
    entry.number = 0;
    entry.replace = true;
    LoadedEntry loaded{&entry, block(3), {}, 3};
    loaded.tiles = UopTilesOfBlock(loaded.block, RecordSize::Twelve);
    const std::vector<PlannedMulti> plan =
        PlanApply(fileSystem_, targets(Files::All), RecordSize::Twelve, {loaded}, ManifestLock(), kFileTime);
    ASSERT_EQ(plan.size(), 1U);
    EXPECT_EQ(plan[0].outcome, PlanOutcome::Refused);
    EXPECT_NE(plan[0].refusal.find("Sphere reads multi 0's 48 bytes as 3 records of 16"), std::string::npos)
        << plan[0].refusal;
}

}  // namespace
}  // namespace keelwright
