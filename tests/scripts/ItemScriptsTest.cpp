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

TEST(ItemScripts, EveryFormatReproducesTheLakesideMillScriptsByteForByte) {
    const struct {
        const char* formatName;
        std::string (*expected)(bool scriptsOnly);
    } rows[] = {{"51a", test::LakesideMill51a}, {"54", test::LakesideMill54}, {"x", test::LakesideMillX}};
    for (const auto& row : rows) {
        const std::optional<ScriptFormat> format = ScriptFormatNamed(row.formatName);
        ASSERT_TRUE(format.has_value()) << row.formatName;
        for (const bool scriptsOnly : {false, true}) {
            EXPECT_EQ(CreateScript(*format, lakesideDetails(scriptsOnly), lakesideMill()),
                      row.expected(scriptsOnly))
                << row.formatName;
        }
    }
    EXPECT_FALSE(ScriptFormatNamed("56d").has_value());
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

TEST(ItemScripts, VerXNamesTheMultiBySlotMinusOneAndRefusesNumbersSphereCannotUse) {
    const struct {
        std::int32_t slot;
        const char* header;  // nullptr: refused
        const char* reasonPart;
    } rows[] = {{1, "// Lakeside Mill: multi 0 (Multi.idx slot 1)\r\n[MULTIDEF 00]\r\n", ""},
                {11, "// Lakeside Mill: multi 10 (Multi.idx slot 11)\r\n[MULTIDEF 0A]\r\n", ""},
                {8191, "// Lakeside Mill: multi 8190 (Multi.idx slot 8191)\r\n[MULTIDEF 01FFE]\r\n", ""},
                {0, nullptr, "must be patched first"},
                {8192, nullptr, "multi 0x1FFF (8191), which Sphere cannot use"},
                {kMaxPatchSlot, nullptr, "which Sphere cannot use"},
                {-1, nullptr, "which Sphere cannot use"}};
    for (const auto& row : rows) {
        ScriptDetails details = lakesideDetails();
        details.patchSlot = row.slot;
        try {
            const std::string text = CreateScriptX(details, lakesideMill());
            ASSERT_NE(row.header, nullptr) << "wrote a script for slot " << row.slot;
            EXPECT_EQ(text.rfind(row.header, 0), 0u) << text;
        } catch (const Error& e) {
            EXPECT_EQ(row.header, nullptr) << e.reason();
            EXPECT_EQ(e.number(), ErrorNumber::InvalidCall);
            EXPECT_NE(e.reason().find(row.reasonPart), std::string::npos) << e.reason();
        }
    }
    EXPECT_TRUE(NeedsPatchSlot(ScriptFormat::VerX));
    EXPECT_FALSE(NeedsPatchSlot(ScriptFormat::Ver54));
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
        const std::string x = CreateScriptX(details, row.table);
        EXPECT_NE(x.find("MULTIREGION=-1,-1,1,1\r\n\r\n[ITEMDEF"), std::string::npos) << x;
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
        for (const Builder build : {CreateScript51a, CreateScript54, CreateScriptX}) {
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
    const std::string x = CreateScriptX(lakesideDetails(), table);
    EXPECT_TRUE(hasLine(x, "MULTIREGION=-2,-3,2,3")) << x;
    EXPECT_TRUE(hasLine(x, "COMPONENT=0258,05,+5,-0")) << x;
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

TEST(ItemScripts, TheSellValueTakesNoPartInTheNewFormats) {
    ScriptDetails otherSell = lakesideDetails();
    otherSell.sellValue = "not a price\r\n";
    EXPECT_EQ(CreateScript54(otherSell, lakesideMill()), test::LakesideMill54(false));
    EXPECT_EQ(CreateScriptX(otherSell, lakesideMill()), test::LakesideMillX(false));
    otherSell.sellValue = "not a price";
    EXPECT_TRUE(hasLine(CreateScript51a(otherSell, lakesideMill()), "SELLVALUE=not a price"));
}

TEST(ItemScripts, DefinitionNamesKeepOnlyLettersDigitsAndUnderscores) {
    const struct {
        const char* name;
        const char* defName;
    } rows[] = {{"Lakeside Mill 2", "Lakeside_Mill_2"},
                {"Stone & Plaster House", "Stone___Plaster_House"},
                {"O'Hara's Inn-Tavern", "O_Hara_s_Inn_Tavern"},
                {"Keep (big), v1.5", "Keep__big___v1_5"},
                {"Tower #1/\"north\"", "Tower__1__north_"},
                {"Caf\xE9 \xC6gir", "Caf___gir"},
                {"snake_case_ok", "snake_case_ok"}};
    for (const auto& row : rows) {
        ScriptDetails details = lakesideDetails();
        details.multiName = row.name;
        const std::string defName = row.defName;
        const std::string current = CreateScript54(details, lakesideMill());
        for (const std::string& line : {"DEFNAME=i_" + defName, "[ITEMDEF i_deed_" + defName + "]",
                                        "RESOURCES=i_deed, i_" + defName, "MORE=i_" + defName}) {
            EXPECT_TRUE(hasLine(current, line)) << line;
        }
        const std::string x = CreateScriptX(details, lakesideMill());
        for (const std::string& line :
             {"DEFNAME=m_" + defName, "[ITEMDEF i_deed_" + defName + "]", "MORE=m_" + defName}) {
            EXPECT_TRUE(hasLine(x, line)) << line;
        }
        EXPECT_TRUE(hasLine(x, std::string("NAME=") + row.name)) << "the name itself is written as typed";
    }
}

// The window, the scripts command and a patch with scripts all build through these, so they refuse alike.
TEST(ItemScripts, AValueWithALineBreakOrAControlCharacterAndANegativePriceAreRefused) {
    const auto with = [](std::string ScriptDetails::*value, const std::string& text) {
        ScriptDetails details = lakesideDetails();
        details.*value = text;
        return details;
    };
    const struct {
        std::string ScriptDetails::*value;
        std::string text;
        const char* reason;  // empty: accepted
    } rows[] = {
        {&ScriptDetails::multiName, "Mill\r\nON=@Create", "the multi name holds a line break"},
        {&ScriptDetails::buyValue, "25000\n", "the buy value holds a line break"},
        {&ScriptDetails::sellValue, "\r12500", "the sell value holds a line break"},
        {&ScriptDetails::multiName, "Mill\x1B[2J", "the multi name holds the control character \\x1B"},
        {&ScriptDetails::multiName, std::string("Mi\0ll", 5),
         "the multi name holds the control character \\x00"},
        {&ScriptDetails::multiName, "Mill\x07\t", "the multi name holds the control character \\x07"},
        {&ScriptDetails::buyValue, "250\x7F", "the buy value holds the control character \\x7F"},
        {&ScriptDetails::sellValue, "\t12500", "the sell value holds the control character \\x09"},
        {&ScriptDetails::buyValue, "-5", "the buy value is a negative number"},
        {&ScriptDetails::sellValue, " -0.5 ", "the sell value is a negative number"},
        {&ScriptDetails::buyValue, "-0", ""},
        {&ScriptDetails::buyValue, "{-5 10}", ""},  // a range, for the server to read
        {&ScriptDetails::multiName, "M\xfchle -5", ""},
    };
    for (const auto& row : rows) {
        try {
            CreateScript51a(with(row.value, row.text), lakesideMill());
            EXPECT_STREQ(row.reason, "") << "accepted: " << row.text;
        } catch (const Error& e) {
            EXPECT_EQ(e.reason(), row.reason) << row.text;
        }
    }
    EXPECT_THROW(CreateScript54(with(&ScriptDetails::buyValue, "-1"), lakesideMill()), Error);
    EXPECT_THROW(CreateScriptX(with(&ScriptDetails::multiName, "Mill\x1B"), lakesideMill()), Error);
    EXPECT_NO_THROW(CreateScript54(with(&ScriptDetails::sellValue, "\r12500"), lakesideMill()))
        << "the new formats write no sell value";
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
