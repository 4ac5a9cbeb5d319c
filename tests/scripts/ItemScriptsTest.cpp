#include "scripts/ItemScripts.h"

#include <gtest/gtest.h>

#include "TestTables.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "scripts/LakesideMill.h"

namespace keelwright {
namespace {

using test::CrLfLines;

using Builder = std::string (*)(const ScriptDetails&, const ComponentTable&);

// A multi of these rows with the bounds of a 3 x 3 square around the centre.
ComponentTable tableOf(const std::vector<test::Row>& rows) {
    ComponentTable table = test::TableOf(rows);
    table.MinX = table.MinY = -1;
    table.MaxX = table.MaxY = 1;
    return table;
}

ComponentTable lakesideMill() {
    return tableOf(
        {{"1200", "-1", "-1", "0", "1"}, {"1200", "1", "1", "0", "1"}, {"1300", "0", "1", "7", "0"}});
}

ScriptDetails lakesideDetails(bool scriptsOnly = false) {
    ScriptDetails details;
    details.multiName = test::kLakesideMillName;
    details.buyValue = test::kLakesideMillBuy;
    details.sellValue = test::kLakesideMillSell;
    details.scriptsOnly = scriptsOnly;
    details.patchSlot = test::kLakesideMillSlot;
    details.componentsListCount = 1;
    return details;
}

std::vector<std::string> componentLines(const std::string& text) {
    std::vector<std::string> lines;
    for (std::size_t start = text.find("\r\nCOMPONENT="); start != std::string::npos;
         start = text.find("\r\nCOMPONENT=", start + 2)) {
        lines.push_back(text.substr(start + 2, text.find("\r\n", start + 2) - start - 2));
    }
    return lines;
}

bool hasLine(const std::string& text, const std::string& line) {
    return text.find("\r\n" + line + "\r\n") != std::string::npos;
}

TEST(ItemScripts, BothFormatsReproduceTheLakesideMillScriptsByteForByte) {
    for (const bool scriptsOnly : {false, true}) {
        EXPECT_EQ(CreateScript51a(lakesideDetails(scriptsOnly), lakesideMill()),
                  test::LakesideMill51a(scriptsOnly));
        EXPECT_EQ(CreateScript54(lakesideDetails(scriptsOnly), lakesideMill()),
                  test::LakesideMill54(scriptsOnly));
    }
}

TEST(ItemScripts, TheItemNumberIsThePatchSlotPlus3FFFInUpperCaseHex) {
    const struct {
        std::int32_t slot;
        const char* number;
    } rows[] = {{0, "3FFF"}, {1, "4000"}, {1234, "44D1"}, {kMaxPatchSlot, "7FFFFFFF"}};
    for (const auto& row : rows) {
        ScriptDetails details = lakesideDetails();
        details.patchSlot = row.slot;
        const std::string old = CreateScript51a(details, lakesideMill());
        EXPECT_TRUE(hasLine(old, std::string("[") + row.number + "]")) << row.slot;
        EXPECT_TRUE(hasLine(old, std::string("MORE=") + row.number)) << row.slot;
        EXPECT_TRUE(
            hasLine(CreateScript54(details, lakesideMill()), std::string("[ITEMDEF 0") + row.number + "]"));
    }
}

TEST(ItemScripts, ASlotWithoutAnItemNumberIsRefused) {
    for (const std::int32_t slot : {-1, kMaxPatchSlot + 1}) {
        ScriptDetails details = lakesideDetails();
        details.patchSlot = slot;
        for (const Builder build : {CreateScript51a, CreateScript54}) {
            try {
                build(details, lakesideMill());
                ADD_FAILURE() << "wrote a script for slot " << slot;
            } catch (const Error& e) {
                EXPECT_EQ(e.number(), ErrorNumber::InvalidCall);
            }
        }
    }
}

TEST(ItemScripts, NoComponentGetsALineWithAnEmptyListAnEmptyTableOrNoListedComponent) {
    // Texts that are not numbers show that nothing is converted where no line is written.
    const ComponentTable mill = lakesideMill();
    const ComponentTable unreadable = tableOf({{"lamp", "0", "0", "0", "none"}});
    ComponentTable countZero = lakesideMill();
    countZero.Count = 0;
    ComponentTable noneListed = lakesideMill();
    noneListed.Flags.set(2, "1");
    const struct {
        const ComponentTable& table;
        std::int16_t listCount;
        bool scriptsOnly;
    } rows[] = {{mill, 0, false},
                {mill, 0, true},
                {unreadable, 0, true},
                {countZero, 1, true},
                {noneListed, 1, false}};
    for (const auto& row : rows) {
        ScriptDetails details = lakesideDetails(row.scriptsOnly);
        details.componentsListCount = row.listCount;
        const std::string old = CreateScript51a(details, row.table);
        const std::string current = CreateScript54(details, row.table);
        EXPECT_NE(old.find("MULTIREGION=-1, -1, 1, 1\r\n\r\n\r\n// This"), std::string::npos) << old;
        EXPECT_NE(current.find("MULTIREGION=-1,-1,1,1\r\nCATEGORY=MULTIS\r\n"), std::string::npos) << current;
    }
}

TEST(ItemScripts, FlagsAreTestedAsNumbers) {
    const struct {
        const char* flags;
        bool getsLine;
    } rows[] = {{"0", true},    {"0.0", true}, {"-0", true},
                {"00", true},   {" 0", true},  {"1", false},
                {"0.5", false}, {"-1", false}, {"99999999999999999999", false}};
    for (const auto& row : rows) {
        const ComponentTable table = tableOf({{"1300", "0", "1", "7", row.flags}});
        const std::size_t expected = row.getsLine ? 1 : 0;
        EXPECT_EQ(componentLines(CreateScript51a(lakesideDetails(), table)).size(), expected) << row.flags;
        EXPECT_EQ(componentLines(CreateScript54(lakesideDetails(), table)).size(), expected) << row.flags;
    }
}

TEST(ItemScripts, ComponentIdsAreTheHexOfTheirSixteenBitValue) {
    const struct {
        const char* itemId;
        const char* lineStart;
    } rows[] = {{"1", "COMPONENT=01,"},        {"0", "COMPONENT=00,"},         {"1200", "COMPONENT=04B0,"},
                {"1200.5", "COMPONENT=04B0,"}, {"+622", "COMPONENT=026E,"},    {"32767", "COMPONENT=07FFF,"},
                {"-1", "COMPONENT=0FFFF,"},    {"-32768", "COMPONENT=08000,"}, {"33057", "COMPONENT=08121,"},
                {"65535", "COMPONENT=0FFFF,"}, {"0x06AD", "COMPONENT=06AD,"}};
    for (const auto& row : rows) {
        const ComponentTable table = tableOf({{row.itemId, "0", "0", "0", "0"}});
        const std::string line = componentLines(CreateScript51a(lakesideDetails(), table)).at(0);
        EXPECT_EQ(line.substr(0, std::string(row.lineStart).size()), row.lineStart) << row.itemId;
        EXPECT_EQ(componentLines(CreateScript54(lakesideDetails(), table)).at(0).find(row.lineStart), 0u);
    }
}

TEST(ItemScripts, AnIdOrFlagsThatIsNeededButNotANumberStopsTheScriptNamingTheComponent) {
    const struct {
        test::Row second;
        bool scriptsOnly;
        ErrorNumber error;
    } rows[] = {{{"lamp", "0", "0", "0", "0"}, false, ErrorNumber::TypeMismatch},
                {{"70000", "0", "0", "0", "0"}, false, ErrorNumber::Overflow},
                {{"", "0", "0", "0", "1"}, true, ErrorNumber::TypeMismatch},
                {{"1300", "0", "0", "0", "zero"}, false, ErrorNumber::TypeMismatch}};
    for (const auto& row : rows) {
        const ComponentTable table = tableOf({{"1200", "0", "0", "0", "0"}, row.second});
        for (const Builder build : {CreateScript51a, CreateScript54}) {
            try {
                build(lakesideDetails(row.scriptsOnly), table);
                ADD_FAILURE() << "wrote a script for item id \"" << row.second.itemId << "\"";
            } catch (const Error& e) {
                EXPECT_EQ(e.number(), row.error);
                EXPECT_EQ(e.reason().rfind("component 2: ", 0), 0u) << e.reason();
            }
        }
    }
    // Only the ids of components that get a line are read, and Flags only without Scripts Only.
    const ComponentTable unlistedLamp = tableOf({{"lamp", "0", "0", "0", "1"}});
    EXPECT_NO_THROW(CreateScript51a(lakesideDetails(false), unlistedLamp));
    const ComponentTable oddFlags = tableOf({{"1200", "0", "0", "0", "zero"}});
    EXPECT_NO_THROW(CreateScript54(lakesideDetails(true), oddFlags));

    // A table that claims more components than a failed load left in it stops at the first one missing.
    ComponentTable claimsMore = lakesideMill();
    claimsMore.Count = 2'000'000'000;
    EXPECT_THROW(CreateScript51a(lakesideDetails(true), claimsMore), Error);
}

TEST(ItemScripts, BoundsAreSignedDecimalsAndCoordinatesAreCopiedAsText) {
    ComponentTable table = tableOf({{"600", "05", "+5", "-0", "0"}});
    table.MinX = -2;
    table.MinY = -3;
    table.MaxX = 2;
    table.MaxY = 3;
    const std::string old = CreateScript51a(lakesideDetails(), table);
    EXPECT_TRUE(hasLine(old, "MULTIREGION=-2, -3, 2, 3")) << old;
    EXPECT_TRUE(hasLine(old, "COMPONENT=0258, 05, +5, -0")) << old;
    const std::string current = CreateScript54(lakesideDetails(), table);
    EXPECT_TRUE(hasLine(current, "MULTIREGION=-2,-3,2,3")) << current;
    EXPECT_TRUE(hasLine(current, "COMPONENT=0258,05,+5,-0,0")) << current;
}

TEST(ItemScripts, SpacesOfTheNameBecomeUnderscoresInDefinitionNamesOnly) {
    ScriptDetails details = lakesideDetails();
    details.multiName = "  Old  Mill ";
    const std::string current = CreateScript54(details, lakesideMill());
    for (const char* line :
         {"DEFNAME=i___Old__Mill_", "NAME=  Old  Mill ", "DESCRIPTION=  Old  Mill ",
          "[ITEMDEF i_deed___Old__Mill_]", "DEFNAME=i_deed___Old__Mill_", "NAME=Deed to a   Old  Mill ",
          "RESOURCES=i_deed, i___Old__Mill_", "MORE=i___Old__Mill_", "DESCRIPTION=Deed to   Old  Mill "}) {
        EXPECT_TRUE(hasLine(current, line)) << line;
    }
    const std::string old = CreateScript51a(details, lakesideMill());
    for (const char* line : {"NAME=  Old  Mill ", "DESCRIPTION=  Old  Mill ", "NAME=Deed to a   Old  Mill ",
                             "DESCRIPTION=Deed to   Old  Mill "}) {
        EXPECT_TRUE(hasLine(old, line)) << line;
    }

    details.multiName = "";
    const std::string blank = CreateScript54(details, lakesideMill());
    EXPECT_TRUE(hasLine(blank, "DEFNAME=i_"));
    EXPECT_TRUE(hasLine(blank, "[ITEMDEF i_deed_]"));
}

TEST(ItemScripts, TheSellValueTakesNoPartInTheNewFormat) {
    ScriptDetails otherSell = lakesideDetails();
    otherSell.sellValue = "not a price";
    EXPECT_EQ(CreateScript54(otherSell, lakesideMill()), test::LakesideMill54(false));
    EXPECT_TRUE(hasLine(CreateScript51a(otherSell, lakesideMill()), "SELLVALUE=not a price"));
}

TEST(ItemScripts, ALineBreakInAWrittenValueIsRefused) {
    const auto withBreak = [](std::string ScriptDetails::*value, const char* text) {
        ScriptDetails details = lakesideDetails();
        details.*value = text;
        return details;
    };
    for (const ScriptDetails& details :
         {withBreak(&ScriptDetails::multiName, "Mill\r\nON=@Create"),
          withBreak(&ScriptDetails::buyValue, "25000\n"), withBreak(&ScriptDetails::sellValue, "\r12500")}) {
        EXPECT_THROW(CreateScript51a(details, lakesideMill()), Error);
    }
    EXPECT_THROW(CreateScript54(withBreak(&ScriptDetails::buyValue, "25000\n"), lakesideMill()), Error);
    EXPECT_NO_THROW(CreateScript54(withBreak(&ScriptDetails::sellValue, "\r12500"), lakesideMill()));
}

TEST(ItemScripts, EveryComponentOfAMultiBeyondSixteenBitsGetsItsLineInTableOrder) {
    ComponentTable table;
    const std::int32_t count = 40'000;
    for (std::int32_t i = 0; i < count; ++i) {
        table.ItemId.push_back("1200");
        table.X.push_back(std::to_string(i));
        table.Y.push_back("0");
        table.Z.push_back("0");
        table.Flags.push_back("1");
    }
    table.Count = count;
    const std::vector<std::string> lines = componentLines(CreateScript54(lakesideDetails(true), table));
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(count));
    EXPECT_EQ(lines[32767], "COMPONENT=04B0,32767,0,0,0");
    EXPECT_EQ(lines.back(), "COMPONENT=04B0,39999,0,0,0");
}

}  // namespace
}  // namespace keelwright
