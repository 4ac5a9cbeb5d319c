// The search for a multi already patched: found under the number every file given holds it at, not found
// for another multi or a file without it, and Multi.mul read only where a block can match.
#include "clientfiles/PatchedMultiSearch.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "TestTables.h"
#include "clientfiles/ClientFilesTest.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/FaultyFileSystem.h"

namespace keelwright {
namespace {

using test::kFileTime;

using test::Files;

using PatchedMultiSearchTest = test::ClientFilesTest;

TEST_F(PatchedMultiSearchTest, FindsTheNumberEveryFileGivenHoldsTheMultiAt) {
    const ComponentTable house = test::GeneratedTable(26);
    ComponentTable moved = house;
    moved.Z.set(25, "7");
    const struct {
        const char* what;
        const char* folder;
        std::vector<Files> patches;  // made in this order, each of `house`
        Files searched;
        const ComponentTable& table;
        std::optional<std::int32_t> found;
    } rows[] = {
        {"never patched", "client", {}, Files::All, house, std::nullopt},
        {"patched into every file", "client", {Files::All}, Files::All, house, 4},
        {"16-byte records", "client-hs", {Files::All}, Files::All, house, 4},
        {"Multi.mul alone asked", "client", {Files::All}, Files::Mul, house, 4},
        {"the UOP alone asked", "client", {Files::All}, Files::Uop, house, 4},
        {"the UOP lacks it", "client", {Files::Mul}, Files::All, house, std::nullopt},
        {"the UOP alone patched", "client", {Files::Uop}, Files::Uop, house, 4},
        {"patched twice: the first", "client", {Files::All, Files::All}, Files::All, house, 4},
        {"only the number both files hold", "client", {Files::Mul, Files::All}, Files::All, house, 6},
        {"another multi", "client", {Files::All}, Files::All, moved, std::nullopt},
    };
    for (const auto& row : rows) {
        copyExamples(row.folder);
        test::FaultyFileSystem fileSystem;
        for (const Files patch : row.patches) {
            PatchEveryFile(fileSystem, house, targets(patch), kFileTime);
        }
        EXPECT_EQ(FindPatchedMulti(fileSystem, row.table, targets(row.searched)), row.found) << row.what;
    }
}

TEST_F(PatchedMultiSearchTest, ReadsOnlyTheBlocksOfTheNewBlocksLength) {
    // A large multi before the patched one: its block is never read.
    const std::int32_t large = 100'000;
    const std::string index = test::IndexBytes({test::Used(0, (large + 1) * 12), test::Free(), test::Free()});
    test::WriteAll(files_.multiIdx, index);
    test::WriteAll(files_.multiMul, test::FillerRecords(large + 1));
    const ComponentTable table = test::GeneratedTable(10);
    test::FaultyFileSystem fileSystem;
    PatchEveryFile(fileSystem, table, targets(Files::Mul), kFileTime);
    fileSystem.bytesRead.clear();
    EXPECT_EQ(FindPatchedMulti(fileSystem, table, targets(Files::Mul)), 1);
    // The block's 11 records, and the first 512 bytes that tell a text file in its place.
    EXPECT_LE(fileSystem.bytesRead["Multi.mul"], 512U + 11U * 12 * 2);
}

}  // namespace
}  // namespace keelwright
