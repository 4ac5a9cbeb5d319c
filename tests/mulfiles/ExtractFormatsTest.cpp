#include <gtest/gtest.h>

#include "model/ComponentTable.h"
#include "model/ComponentsList.h"
#include "model/NumberText.h"
#include "model/ScriptReaders.h"
#include "mulfiles/ExtractFormats.h"
#include "mulfiles/Extractor.h"

namespace keelwright {
namespace {

// Every extract format loads back through its reader to the tiles that the multi text gives.
TEST(ExtractFormats, EachLoadsBackToTheTilesOfTheMultiText) {
    const std::vector<ComponentRecord> components = {{1701, -3, 2, 0, 1, 0},
                                                     {0xFFFF, 5, -7, -128, 0, 0},
                                                     {622, 0, 0, 127, -1, 0},
                                                     {0, 32767, -32768, 20, 0, 0}};
    const ComponentsList list({"026E", "0FFFF"});
    ComponentTable expected;
    ReadScript(ExtractedFile(ExtractFormat::Txt, components, ""), "m.txt", ScriptType::MultiTxt, expected,
               list);
    ASSERT_EQ(expected.Count, 4);

    const struct {
        ExtractFormat format;
        ScriptType type;
    } rows[] = {{ExtractFormat::Csv, ScriptType::Csv},
                {ExtractFormat::Uoa, ScriptType::Uoa},
                {ExtractFormat::Wsc, ScriptType::Wsc}};
    for (const auto& row : rows) {
        const std::string file = ExtractedFile(row.format, components, "K\xC3\xB6nigsburg");
        ComponentTable loaded;
        ReadScript(file, "m", row.type, loaded, list);
        ASSERT_EQ(loaded.Count, expected.Count) << file;
        for (std::int32_t i = 0; i < expected.Count; ++i) {
            EXPECT_EQ(ToItemId(loaded.ItemId[i]), ToItemId(expected.ItemId[i])) << file;
            EXPECT_EQ(loaded.X[i], expected.X[i]) << file;
            EXPECT_EQ(loaded.Y[i], expected.Y[i]) << file;
            EXPECT_EQ(loaded.Z[i], expected.Z[i]) << file;
            EXPECT_EQ(loaded.Flags[i], expected.Flags[i]) << file;
        }
    }
    EXPECT_EQ(ExtractedFile(ExtractFormat::Txt, components, "x"), MultiTextOfComponents(components));
    EXPECT_EQ(ExtractedFile(ExtractFormat::Csv, {components.data(), 1}, ""),
              "TileID,OffsetX,OffsetY,OffsetZ,Flag,Cliloc\r\n0x06A5,-3,2,0,0x1,\r\n");
}

}  // namespace
}  // namespace keelwright
