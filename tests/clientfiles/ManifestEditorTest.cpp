// Edits of a manifest with comments and odd spacing: each changes only the lines of its entry or table, in LF
// and in CR LF files alike; the file is written only from the text on disk, and only when it still parses.
#include "clientfiles/ManifestEditor.h"

#include <gtest/gtest.h>

#include <functional>

#include "TestFiles.h"
#include "clientfiles/ClientFolder.h"
#include "clientfiles/ManifestDocument.h"
#include "mulfiles/NativeFileSystem.h"

namespace keelwright {
namespace {

const std::string kGolden =
    "# Shard multis   \n"
    "[client]\n"
    "idx   =  \"client/Multi.idx\"   # the index\n"
    "mul = \"client/Multi.mul\"\n"
    "\n"
    "[[multi]]\n"
    "number = 0x1400\n"
    "script = \"designs/mill.wsc\"  # the mill\n"
    "name = \"Mill\"\n"
    "\n"
    "# towers\n"
    "[[multi]]\n"
    "  number=0x1401\n"
    "  script = 'designs/tower.txt'\n"
    "  name   = \"Tower\"\n"
    "  replace = true\n"
    "\n"
    "[[multi]]\n"
    "number = 0x1402\n"
    "remove = true\n";

ManifestEntryValues mill() {
    ManifestEntryValues v;
    v.number = 0x1400;
    v.script = "designs/mill.wsc";
    v.name = "Mill";
    return v;
}

ManifestEntryValues tower() {
    ManifestEntryValues v;
    v.number = 0x1401;
    v.script = "designs/tower.txt";
    v.name = "Tower";
    v.replace = true;
    return v;
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    text.replace(text.find(from), from.size(), to);
    return text;
}

std::string withCrLf(const std::string& text) {
    std::string crlf;
    for (const char c : text) {
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    return crlf;
}

TEST(ManifestEditorTest, EachEditChangesOnlyTheLinesOfItsEntryOrTable) {
    const struct {
        const char* what;
        std::function<void(ManifestEditor&)> edit;
        std::string expected;
    } rows[] = {
        {"a changed name, quoted",
         [](ManifestEditor& e) {
             ManifestEntryValues v = tower();
             v.name = "Stone \"Tower\"";
             e.changeEntry(0x1401, v);
         },
         replaced(kGolden, "\"Tower\"", "\"Stone \\\"Tower\\\"\"")},
        {"the same values change nothing", [](ManifestEditor& e) { e.changeEntry(0x1401, tower()); },
         kGolden},
        {"a new key after the entry's last line",
         [](ManifestEditor& e) {
             ManifestEntryValues v = mill();
             v.buy = "500";
             v.sell = "1k";
             e.changeEntry(0x1400, v);
         },
         replaced(kGolden, "name = \"Mill\"\n", "name = \"Mill\"\nbuy = 500\nsell = \"1k\"\n")},
        {"a changed number, where it stands",
         [](ManifestEditor& e) {
             ManifestEntryValues v = tower();
             v.number = 0x1410;
             e.changeEntry(0x1401, v);
         },
         replaced(kGolden, "number=0x1401", "number=0x1410")},
        {"marked for removal: its design's keys go, remove follows its indent",
         [](ManifestEditor& e) {
             ManifestEntryValues v = tower();
             v.remove = true;
             e.changeEntry(0x1401, v);
         },
         replaced(kGolden, "  script = 'designs/tower.txt'\n  name   = \"Tower\"\n  replace = true\n",
                  "  replace = true\n  remove = true\n")},
        {"replace = false dropped with its line",
         [](ManifestEditor& e) {
             ManifestEntryValues v = tower();
             v.replace = false;
             e.changeEntry(0x1401, v);
         },
         replaced(kGolden, "  replace = true\n", "")},
        {"a dropped entry after a comment", [](ManifestEditor& e) { e.dropEntry(0x1401); },
         replaced(kGolden,
                  "[[multi]]\n  number=0x1401\n  script = 'designs/tower.txt'\n  name   = "
                  "\"Tower\"\n  replace = true\n",
                  "")},
        {"a dropped entry between blank lines takes one", [](ManifestEditor& e) { e.dropEntry(0x1400); },
         replaced(kGolden,
                  "[[multi]]\nnumber = 0x1400\nscript = \"designs/mill.wsc\"  # the mill\nname = "
                  "\"Mill\"\n\n",
                  "")},
        {"the last entry dropped", [](ManifestEditor& e) { e.dropEntry(0x1402); },
         replaced(kGolden, "[[multi]]\nnumber = 0x1402\nremove = true\n", "")},
        {"an entry appended after a blank line",
         [](ManifestEditor& e) {
             ManifestEntryValues v;
             v.number = 0x1403;
             v.script = "designs/Ölmühle.uoa";
             v.design = "Mill 2";
             v.name = "Ölmühle";
             v.buy = "0700";
             v.exact = true;
             e.appendEntry(v);
         },
         kGolden + "\n[[multi]]\nnumber = 0x1403\nscript = \"designs/Ölmühle.uoa\"\ndesign = \"Mill 2\"\n"
                   "name = \"Ölmühle\"\nbuy = \"0700\"\nexact = true\n"},
        {"[client] uop added after mul, idx dropped with its comment",
         [](ManifestEditor& e) {
             e.setTableKey("client", "uop", "client/MultiCollection.uop");
             e.setTableKey("client", "idx", std::nullopt);
             e.setTableKey("client", "mul", std::nullopt);
         },
         replaced(kGolden, "idx   =  \"client/Multi.idx\"   # the index\nmul = \"client/Multi.mul\"\n",
                  "uop = \"client/MultiCollection.uop\"\n")},
        {"[client] idx replaced inside its spacing",
         [](ManifestEditor& e) { e.setTableKey("client", "idx", "C:\\UO\\Multi.idx"); },
         replaced(kGolden, "\"client/Multi.idx\"", "\"C:\\\\UO\\\\Multi.idx\"")},
    };
    for (const auto& row : rows) {
        for (const bool crlf : {false, true}) {
            ManifestEditor editor(crlf ? withCrLf(kGolden) : kGolden, "shard.toml");
            row.edit(editor);
            EXPECT_EQ(editor.text(), crlf ? withCrLf(row.expected) : row.expected)
                << row.what << (crlf ? " (CR LF)" : " (LF)");
        }
    }
}

TEST(ManifestEditorTest, TextsReadBackAsWrittenAndAMissingEntryIsRefused) {
    const std::string texts[] = {"plain", "a\"b\\c", "tab\there", "bell\x07 del\x7F", "Ölmühle 東"};
    for (const std::string& text : texts) {
        ManifestEditor editor("[client]\nuop = \"u.uop\"\n", "shard.toml");
        ManifestEntryValues v;
        v.number = 1;
        v.script = text;
        v.name = "N";
        editor.appendEntry(v);
        const Manifest manifest = ParseManifest(editor.text(), "shard.toml", "");
        const std::u8string script = manifest.entries.at(0).script.u8string();
        EXPECT_EQ(std::string(script.begin(), script.end()), text) << editor.text();
    }
    ManifestEditor editor(kGolden, "shard.toml");
    EXPECT_THROW(editor.changeEntry(0x1499, mill()), Error);
    EXPECT_THROW(editor.dropEntry(0x1499), Error);
    EXPECT_THROW(ManifestEditor("[[multi]\n", "shard.toml"), Error);
    ManifestEditor inlined("[client]\nuop = \"u.uop\"\nmulti = [{number = 1, remove = true}]\n",
                           "shard.toml");
    EXPECT_THROW(inlined.dropEntry(1), Error);
}

TEST(ManifestDocumentTest, WritesOnlyFromTheTextOnDiskAndOnlyWhatStillParses) {
    test::TempDir dir;
    const std::filesystem::path path = dir.write("shard.toml", kGolden);
    NativeFileSystem fileSystem;
    ManifestDocument document(fileSystem, path);
    ASSERT_NE(document.manifest(), nullptr);
    EXPECT_EQ(document.manifest()->entries.size(), 3U);

    const std::string pulled = replaced(kGolden, "\"Mill\"", "\"Mill of the pull\"");
    test::WriteAll(path, pulled);
    EXPECT_THROW(document.edit([](ManifestEditor& e) { e.dropEntry(0x1401); }), Error);
    EXPECT_EQ(test::ReadAll(path), pulled) << "changed on disk: not overwritten";
    EXPECT_EQ(document.text(), pulled) << "but read again";

    EXPECT_THROW(document.edit([](ManifestEditor& e) {
        ManifestEntryValues v = tower();
        v.number = 0x1400;  // named already
        e.changeEntry(0x1401, v);
    }),
                 Error);
    EXPECT_EQ(test::ReadAll(path), pulled) << "an edit that would not parse writes nothing";

    document.edit([](ManifestEditor& e) { e.dropEntry(0x1402); });
    EXPECT_EQ(test::ReadAll(path), replaced(pulled, "[[multi]]\nnumber = 0x1402\nremove = true\n", ""));
    EXPECT_EQ(document.manifest()->entries.size(), 2U);

    const std::string broken = replaced(pulled, "number = 0x1402", "number = \"x\"");
    test::WriteAll(path, broken);
    document.read();
    ASSERT_TRUE(document.error().has_value());
    EXPECT_EQ(document.error()->line(), 19);
    EXPECT_NE(document.error()->reason().find("number"), std::string::npos) << document.error()->reason();
    EXPECT_THROW(document.edit([](ManifestEditor& e) { e.dropEntry(0x1400); }), Error);
    EXPECT_EQ(test::ReadAll(path), broken);
}

TEST(ClientFolderTest, FindsTheClientFilesWhateverTheirCase) {
    const struct {
        std::vector<const char*> names;
        bool mul;
        bool uop;
    } rows[] = {
        {{"MULTI.IDX", "multi.mul"}, true, false},
        {{"multicollection.UOP", "art.mul"}, false, true},
        {{"Multi.idx", "Multi.mul", "MultiCollection.uop"}, true, true},
        {{"Multi.idx"}, false, false},
        {{"art.mul"}, false, false},
    };
    for (const auto& row : rows) {
        test::TempDir dir;
        for (const char* name : row.names) {
            dir.write(name, "x");
        }
        if (!row.mul && !row.uop) {
            EXPECT_THROW(ClientFilesIn(dir.path()), Error) << row.names.front();
            continue;
        }
        const PatchTargets targets = ClientFilesIn(dir.path());
        EXPECT_EQ(targets.mul.has_value(), row.mul);
        EXPECT_EQ(targets.uop.has_value(), row.uop);
        if (targets.mul) {
            EXPECT_EQ(targets.mul->multiIdx, dir / row.names[0]);
        }
    }
}

}  // namespace
}  // namespace keelwright
