#include "mulfiles/TextFileRefusal.h"

#include <gtest/gtest.h>

#include <functional>

#include "model/Error.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/MemoryFileSystem.h"
#include "mulfiles/Patcher.h"
#include "render/MulArtSource.h"
#include "render/TileData.h"
#include "uop/UopContainer.h"
#include "uop/UopSurvey.h"

namespace keelwright {
namespace {

MemoryFileSystem::Bytes bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

// What a clone without Git LFS leaves in place of each client file, and a script chosen by mistake: every
// reader of a binary client file names the file and says what it is.
TEST(TextFileRefusal, EveryReaderOfABinaryClientFileRefusesAGitLfsPointerOrTextByName) {
    const std::string pointer =
        "version https://git-lfs.github.com/spec/v1\n"
        "oid sha256:4c8a0f4f5b1e0e6f9c2d8e7a6b5c4d3e2f1a0b9c8d7e6f5a4b3c2d1e0f9a8b7c\nsize 98304\n";
    const std::string lfs = "is a Git LFS pointer, not the file itself (fetch it with git lfs pull)";
    struct Row {
        const char* file;
        std::function<void(FileSystem&)> read;
        const char* wanted;
    };
    const Row rows[] = {
        {"Multi.idx", [](FileSystem& fs) { FindFreeSlot(fs, "Multi.idx"); }, "a Multi.idx or Multi.mul"},
        {"Multi.mul",
         [](FileSystem& fs) {
             DecideRecordSize(fs, {"good.idx", "Multi.mul"});
         },
         "a Multi.idx or Multi.mul"},
        {"MultiCollection.uop", [](FileSystem& fs) { UopContainer(fs, "MultiCollection.uop"); },
         "a UOP file"},
        {"artidx.mul", [](FileSystem& fs) { MulArtSource(fs, "artidx.mul", "good.idx"); }, "an artidx.mul"},
        {"art.mul", [](FileSystem& fs) { MulArtSource(fs, "good.idx", "art.mul"); }, "an art.mul"},
        {"tiledata.mul", [](FileSystem& fs) { TileData::read(fs, "tiledata.mul"); }, "a tiledata.mul"},
    };
    for (const Row& row : rows) {
        for (const std::string& text : {pointer, std::string("6 version\r\n1 template id\r\n")}) {
            MemoryFileSystem fileSystem;
            fileSystem.put("good.idx", bytesOf(test::IndexBytes({test::Used(0, 24), test::Free()})));
            fileSystem.put(row.file, bytesOf(text));
            const std::string reason =
                text == pointer ? lfs : "is a text file, not " + std::string(row.wanted);
            try {
                row.read(fileSystem);
                ADD_FAILURE() << row.file << " was read";
            } catch (const Error& e) {
                EXPECT_EQ(e.number(), ErrorNumber::InvalidFileFormat);
                EXPECT_EQ(e.description(), std::string(row.file) + ": " + reason);
            }
            EXPECT_EQ(fileSystem.bytes(row.file), bytesOf(text));
        }
    }
    MemoryFileSystem fileSystem;
    fileSystem.put("MultiCollection.uop", bytesOf(pointer));
    EXPECT_EQ(SurveyUop(fileSystem, "MultiCollection.uop").problems.at(0).message, "the file " + lfs);
}

}  // namespace
}  // namespace keelwright
