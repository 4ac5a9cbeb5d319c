#include "render/ClientArt.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
#include "model/Error.h"
#include "mulfiles/NativeFileSystem.h"
#include "render/RenderTestSupport.h"

namespace keelwright {
namespace {

TEST(OpenClientArt, PrefersTheUopThenTakesArtWithItsIndexAndTileDataWhenThereAndNamesWhatIsMissing) {
    NativeFileSystem fileSystem;
    const ClientArt examples = OpenClientArt(fileSystem, test::ExamplesFolder() / "art");
    EXPECT_EQ(examples.artFile.filename(), "artLegacyMUL.uop") << "the UOP wins over art.mul beside it";
    ASSERT_NE(examples.art->picture(1193), nullptr);
    EXPECT_EQ(examples.art->picture(1193)->width(), 44);
    EXPECT_EQ(examples.art->picture(1194), nullptr);
    ASSERT_TRUE(examples.tileData);
    EXPECT_EQ(examples.tileData->find(167), (StaticTileInfo{20, false}));
    EXPECT_EQ(examples.tileData->find(1193), (StaticTileInfo{0, true}));

    const test::TempDir folder;
    const auto example = [](const char* name) {
        return test::ReadAll(test::ExamplesFolder() / "art" / name);
    };
    const std::string index = example("artidx.mul");
    const std::string art = example("art.mul");
    const std::string uop = example("artLegacyMUL.uop");
    struct Case {
        const char* what;
        std::vector<std::pair<const char*, const std::string*>> files;
        std::string missing;  // the path the error names, or empty when the folder opens
        const char* artFile;  // the file the pictures then come from
    };
    const Case cases[] = {
        {"an empty folder", {}, folder.path().string(), ""},
        {"artidx.mul without art.mul", {{"artidx.mul", &index}}, (folder / "art.mul").string(), ""},
        {"art.mul without artidx.mul", {{"art.mul", &art}}, (folder / "artidx.mul").string(), ""},
        {"both without tiledata.mul", {{"art.mul", &art}, {"artidx.mul", &index}}, "", "art.mul"},
        {"artLegacyMUL.uop alone", {{"artLegacyMUL.uop", &uop}}, "", "artLegacyMUL.uop"},
        {"artLegacyMUL.uop beside art.mul without its index",
         {{"artLegacyMUL.uop", &uop}, {"art.mul", &art}},
         "",
         "artLegacyMUL.uop"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(folder.path());
        std::filesystem::create_directories(folder.path());
        for (const auto& [name, bytes] : c.files) {
            folder.write(name, *bytes);
        }
        try {
            const ClientArt client = OpenClientArt(fileSystem, folder.path());
            EXPECT_EQ(c.missing, "") << c.what;
            EXPECT_EQ(client.artFile, folder / c.artFile) << c.what;
            EXPECT_NE(client.art->picture(167), nullptr) << c.what;
            EXPECT_FALSE(client.tileData) << c.what;
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ErrorNumber::FileNotFound) << c.what;
            EXPECT_EQ(e.file(), c.missing) << c.what;
        }
    }
}

}  // namespace
}  // namespace keelwright
