// The manifest: every key read, and every error naming the manifest's line and the key.
#include "clientfiles/Manifest.h"

#include <gtest/gtest.h>

#include "model/Error.h"

namespace keelwright {
namespace {

constexpr const char* kClient = "[client]\nidx = \"c/Multi.idx\"\nmul = \"c/Multi.mul\"\n";

TEST(ManifestTest, ReadsEveryKeyWithPathsFromTheManifestsFolder) {
    const Manifest m = ParseManifest(
        "[client]\nidx = \"c/Multi.idx\"\nmul = \"c/Multi.mul\"\nuop = \"c/MultiCollection.uop\"\n"
        "record-size = 16\n"
        "[scripts]\nformat = \"54\"\noutput = \"s/multis.scp\"\ncomponents = \"Components.txt\"\n"
        "scripts-only = true\n"
        "[[multi]]\nnumber = 0x1400\nscript = \"d/mill.txt\"\ntype = \"wsc\"\nname = \"Mill \u00e9\"\n"
        "buy = 25000\nsell = \"12500\"\nreplace = true\nexact = true\ntemplate = 2\n"
        "[[multi]]\nnumber = 5121\nremove = true\n"
        "[[multi]]\nnumber = 5122\nscript = \"d/m.uoa\"\ntype = \"uoa\"\nname = \"U\"\ndesign = \"Mill\"\n"
        "buy = 1\nsell = 1\n",
        "m.toml", "/shard");
    EXPECT_EQ(m.idx, std::filesystem::path("/shard/c/Multi.idx"));
    EXPECT_EQ(m.mul, std::filesystem::path("/shard/c/Multi.mul"));
    EXPECT_EQ(m.uop, std::filesystem::path("/shard/c/MultiCollection.uop"));
    EXPECT_EQ(m.recordSize, RecordSize::Sixteen);
    ASSERT_TRUE(m.scripts);
    EXPECT_EQ(m.scripts->format, ScriptFormat::Ver54);
    EXPECT_EQ(m.scripts->output, std::filesystem::path("/shard/s/multis.scp"));
    EXPECT_EQ(m.scripts->components, std::filesystem::path("/shard/Components.txt"));
    EXPECT_TRUE(m.scripts->scriptsOnly);
    ASSERT_EQ(m.entries.size(), 3U);
    const ManifestEntry& mill = m.entries[0];
    EXPECT_EQ(mill.line, 11);
    EXPECT_EQ(mill.number, 0x1400);
    EXPECT_EQ(mill.script, std::filesystem::path("/shard/d/mill.txt"));
    EXPECT_EQ(mill.type, ScriptType::Wsc);
    EXPECT_EQ(mill.name, "Mill \xE9");  // Latin-1, as every script text
    EXPECT_EQ(mill.buy, "25000");
    EXPECT_EQ(mill.sell, "12500");
    EXPECT_TRUE(mill.replace && mill.exact && !mill.remove);
    EXPECT_EQ(mill.choice.templateId, "2");
    EXPECT_FALSE(mill.choice.design);
    EXPECT_EQ(m.entries[2].type, ScriptType::Uoa);
    EXPECT_EQ(m.entries[2].choice.design, "Mill");
    EXPECT_TRUE(m.entries[1].remove);
    EXPECT_EQ(m.entries[1].number, 5121);
    EXPECT_EQ(m.entryOf(5121), &m.entries[1]);
    EXPECT_EQ(MultiHex(0x1400), "0x1400");
}

TEST(ManifestTest, RefusesABadManifestNamingTheLineAndTheKey) {
    const std::string entry = std::string(kClient) + "[[multi]]\n";  // the entry's keys begin on line 5
    const struct {
        std::string text;
        const char* error;
    } rows[] = {
        {"[client\n", "m.toml:1: "},
        {"[clients]\n", "m.toml:1: \"clients\" is not a table of the manifest"},
        {"[scripts]\nformat = \"x\"\noutput = \"s\"\n", "m.toml:1: [client] is required"},
        {"[client]\nidx = \"a\"\n", "m.toml:1: [client] mul: is required with idx"},
        {"[client]\n", "m.toml:1: [client] idx, mul, uop: name no client file"},
        {"[client]\nuop = \"u\"\nrecord-size = 16\n", "m.toml:1: [client] record-size: is the size"},
        {std::string(kClient) + "record-size = 14\n", "m.toml:4: [client] record-size: must be 12 or 16"},
        {std::string(kClient) + "idz = \"x\"\n", "m.toml:4: [client] \"idz\": is not a key of [client]"},
        {std::string(kClient) + "uop = 3\n", "m.toml:4: [client] uop: must be a text in quotes"},
        {std::string(kClient) + "uop = \"\"\n", "m.toml:4: [client] uop: names no file"},
        {std::string(kClient) + "[scripts]\noutput = \"s\"\n", "m.toml:4: [scripts] format: is required"},
        {std::string(kClient) + "[scripts]\nformat = \"55\"\noutput = \"s\"\n",
         "m.toml:5: [scripts] format: must be 51a, 54 or x, not \"55\""},
        {std::string(kClient) + "[scripts]\nformat = \"x\"\n", "m.toml:4: [scripts] output: is required"},
        {std::string(kClient) + "[scripts]\nformat = \"x\"\noutput = \"s\"\nscripts-only = 1\n",
         "m.toml:7: [scripts] scripts-only: must be true or false"},
        {std::string(kClient) + "multi = 3\n", "m.toml:4: [client] \"multi\": is not a key of [client]"},
        {entry + "script = \"a.txt\"\nname = \"A\"\n", "m.toml:4: [[multi]] number: is required"},
        {entry + "number = -1\nremove = true\n", "m.toml:5: [[multi]] number: -1 is outside 0 to 999999"},
        {entry + "number = 1000000\nremove = true\n", "m.toml:5: [[multi]] number: 1000000 is outside"},
        {entry + "number = \"0x10\"\nremove = true\n", "m.toml:5: [[multi]] number: must be a whole number"},
        {entry + "number = 16\nname = \"A\"\n", "m.toml:4: [[multi]] script: is required (or remove = true)"},
        {entry + "number = 16\nscript = \"a.txt\"\n", "m.toml:4: [[multi]] name: is required"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"  \"\n", "m.toml:7: [[multi]] name: is blank"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\\nB\"\n",
         "m.toml:7: [[multi]] name: holds a line"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"\u20ac\"\n",
         "m.toml:7: [[multi]] name: holds a char"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"Keep\\u001B[2J\"\n",
         "m.toml:7: [[multi]] name: holds the control character \\x1B"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\\tB\"\n",
         "m.toml:7: [[multi]] name: holds the control character \\x09"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nbuy = \"5\\u0000\"\n",
         "m.toml:8: [[multi]] buy: holds the control character \\x00"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nsell = \"\\u007F\"\n",
         "m.toml:8: [[multi]] sell: holds the control character \\x7F"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nbuy = -5\n",
         "m.toml:8: [[multi]] buy: is a negative number"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nsell = \" -0.5\"\n",
         "m.toml:8: [[multi]] sell: is a negative number"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\ntype = \"mul\"\n",
         "m.toml:8: [[multi]] type: must be txt, wsc, uoa, uoalib or csv, not \"mul\""},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\ndesign = 1\ntemplate = \"1\"\n",
         "m.toml:9: [[multi]] template: excludes design: a file holds designs or templates"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\ndesign = true\n",
         "m.toml:8: [[multi]] design: must be a text or a whole number"},
        {entry + "number = 16\nremove = true\ntemplate = 1\n",
         "m.toml:7: [[multi]] template: has no place in an entry that removes its number"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nremove = 1\n",
         "m.toml:8: [[multi]] remove: must be true or false"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nbuy = true\n",
         "m.toml:8: [[multi]] buy: must be a number or a text"},
        {entry + "number = 16\nscript = \"a.txt\"\nname = \"A\"\nsize = 2\n",
         "m.toml:8: [[multi]] \"size\": is not a key of [[multi]]"},
        {entry + "number = 16\nremove = true\nscript = \"a.txt\"\n",
         "m.toml:7: [[multi]] script: has no place in an entry that removes its number"},
        {std::string(kClient) + "[scripts]\nformat = \"x\"\noutput = \"s\"\n[[multi]]\nnumber = 16\n"
                                "script = \"a.txt\"\nname = \"A\"\nbuy = 1\n",
         "m.toml:7: [[multi]] sell: is required"},
        {entry + "number = 16\nremove = true\n[[multi]]\nnumber = 0x10\nremove = true\n",
         "m.toml:8: [[multi]] number: 0x10 is named already on line 4"},
    };
    for (const auto& row : rows) {
        try {
            ParseManifest(row.text, "m.toml", "/shard");
            ADD_FAILURE() << row.error;
        } catch (const Error& e) {
            EXPECT_EQ(e.description().rfind(row.error, 0), 0U) << e.description();
        }
    }
}

}  // namespace
}  // namespace keelwright
