// The reader check over files built here for each reader's rule, misread and clean, and over the example
// files; the reader warnings of a planned write.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "TestFiles.h"
#include "clientfiles/ReaderCheck.h"
#include "clientfiles/ReaderCheckReport.h"
#include "clientfiles/ReaderWarnings.h"
#include "mulfiles/ClientFileBytes.h"
#include "mulfiles/NativeFileSystem.h"
#include "uop/UopMultiPayload.h"
#include "uop/UopMultis.h"
#include "uop/UopTestFiles.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

using R = RecordSize;

// A multi a test file holds: its number, its components, and a seed that changes its tiles.
struct Held {
    std::int32_t multi;
    int components;
    int seed = 0;
    bool compressed = true;  // in the UOP
};

// The block of a held multi: the lead record, then components with visible flags.
std::string blockOf(const Held& held, R size) {
    std::vector<ComponentRecord> records{ComponentRecord::lead()};
    for (int i = 0; i < held.components; ++i) {
        records.push_back(ComponentRecord{static_cast<std::uint16_t>(0x100 + i % 0x3000),
                                          static_cast<std::int16_t>(i % 50 + held.seed),
                                          static_cast<std::int16_t>(i / 50), 0, 1, 0});
    }
    return test::DataBytes(records, size);
}

// Writes Multi.idx and Multi.mul holding the multis, every other slot free.
ClientFiles writeMul(const test::TempDir& dir, R size, const std::vector<Held>& multis) {
    std::int32_t highest = 0;
    for (const Held& held : multis) {
        highest = std::max(highest, held.multi);
    }
    std::vector<IndexRecord> index(static_cast<std::size_t>(highest) + 8, test::Free());
    std::string data;
    for (const Held& held : multis) {
        const std::string block = blockOf(held, size);
        index[static_cast<std::size_t>(held.multi)] =
            test::Used(static_cast<std::int32_t>(data.size()), static_cast<std::int32_t>(block.size()));
        data += block;
    }
    return {dir.write("Multi.idx", test::IndexBytes(index)), dir.write("Multi.mul", data)};
}

// Writes a MultiCollection.uop holding the multis, their tiles as a patch converts the 12-byte blocks.
std::filesystem::path writeUop(const test::TempDir& dir, std::uint32_t version,
                               const std::vector<Held>& multis) {
    std::vector<test::FactEntry> entries;
    for (const Held& held : multis) {
        const std::string block = blockOf(held, R::Twelve);
        UopMultiPayload payload;
        payload.number = static_cast<std::uint32_t>(held.multi);
        payload.tiles = UopTilesOfBlock(
            std::span(reinterpret_cast<const std::uint8_t*>(block.data()), block.size()), R::Twelve);
        const std::vector<std::uint8_t> bytes = payload.encode();
        entries.push_back(
            {MultiEntryName(held.multi), std::string(bytes.begin(), bytes.end()), held.compressed});
    }
    return dir.write("MultiCollection.uop", test::FactUopBytes(version, 100, entries));
}

// Whether the reader's view, or with no reader the files' disagreements, has a finding at `multi`
// (nothing: a finding of the files as a whole) whose reason holds `reason`.
bool found(const ReaderCheck& check, std::optional<Reader> reader, std::optional<std::int32_t> multi,
           const std::string& reason) {
    if (!reader) {
        return std::any_of(check.disagreements.begin(), check.disagreements.end(), [&](const auto& d) {
            return d.multi == multi && d.reason.find(reason) != std::string::npos;
        });
    }
    const auto& findings = check.readers.at(static_cast<std::size_t>(*reader)).findings;
    return std::any_of(findings.begin(), findings.end(), [&](const ReaderFinding& f) {
        return f.multi == multi && f.reason.find(reason) != std::string::npos;
    });
}

bool anyFinding(const ReaderCheck& check, std::optional<Reader> reader) {
    return reader ? !check.readers.at(static_cast<std::size_t>(*reader)).clean()
                  : !check.disagreements.empty();
}

TEST(ReaderCheck, TellsEachReaderThatMisreadsAndPassesTheCleanCaseOfEachRule) {
    const struct {
        const char* what;
        std::optional<R> mul;  // nothing: Multi.idx and Multi.mul not given
        std::vector<Held> mulMultis;
        std::optional<std::uint32_t> uopVersion;  // nothing: no MultiCollection.uop
        std::vector<Held> uopMultis;
        std::optional<Reader> reader;  // nothing: where the files disagree
        std::optional<std::int32_t> multi;
        const char* reason;  // in the finding of a misread; empty: the reader sees the files as they are
    } rows[] = {
        {"12-byte multi 0 of 48 bytes",
         R::Twelve,
         {{0, 3}, {1, 1}},
         {},
         {},
         Reader::Sphere,
         0,
         "Sphere reads multi 0's 48 bytes as 3 records of 16: every multi of this 12-byte Multi.mul"},
        {"12-byte multi 0 of 60 bytes", R::Twelve, {{0, 4}, {1, 1}}, {}, {}, Reader::Sphere, 0, ""},
        {"16-byte file with multi 0 free",
         R::Sixteen,
         {{1, 1}},
         {},
         {},
         Reader::Sphere,
         0,
         "multi 0 is free, so Sphere reads Multi.mul in 12-byte records"},
        {"16-byte file with multi 0", R::Sixteen, {{0, 1}, {1, 1}}, {}, {}, Reader::Sphere, 0, ""},
        {"a number in Multi.mul only",
         R::Twelve,
         {{0, 4}, {5, 1}},
         4,
         {{0, 4}},
         Reader::Client,
         5,
         "the game client reads MultiCollection.uop: multi 0x5 (5) is in Multi.mul only"},
        {"the number in both", R::Twelve, {{0, 4}, {5, 1}}, 4, {{0, 4}, {5, 1}}, Reader::Client, 5, ""},
        {"a number in the UOP only",
         R::Twelve,
         {{0, 4}},
         4,
         {{0, 4}, {7, 2}},
         Reader::Sphere,
         7,
         "Sphere reads Multi.mul: multi 0x7 (7) is in MultiCollection.uop only"},
        {"the number in both files", R::Twelve, {{0, 4}, {7, 2}}, 4, {{0, 4}, {7, 2}}, Reader::Sphere, 7, ""},
        {"an uncompressed entry",
         std::nullopt,
         {},
         4,
         {{3, 2, 0, false}},
         Reader::Client,
         3,
         "stored uncompressed"},
        {"a compressed entry", std::nullopt, {}, 4, {{3, 2}}, Reader::Client, 3, ""},
        {"a 70,000-byte entry",
         std::nullopt,
         {},
         4,
         {{1, 5000}},
         Reader::ModernUo,
         1,
         "ModernUO stops at start: multi 0x1 (1)'s payload is 70,022 bytes, over 65,536"},
        {"a 56,000-byte entry", std::nullopt, {}, 4, {{1, 4000}}, Reader::ModernUo, 1, ""},
        {"a UOP of version 5",
         std::nullopt,
         {},
         5,
         {{1, 2}},
         Reader::ModernUo,
         std::nullopt,
         "ModernUO refuses MultiCollection.uop: it reads version 4 only, and this is version 5"},
        {"a UOP of version 4", std::nullopt, {}, 4, {{1, 2}}, Reader::ModernUo, std::nullopt, ""},
        {"number 0x2000",
         R::Twelve,
         {{0, 4}, {0x2000, 1}},
         {},
         {},
         Reader::Sphere,
         0x2000,
         "multi 0x2000 (8192) is above 0x1FFF: Sphere does not see it"},
        {"number 0x1FFF", R::Twelve, {{0, 4}, {0x1FFF, 1}}, {}, {}, Reader::Sphere, 0x1FFF, ""},
        {"number 0x4000 in Multi.mul",
         R::Twelve,
         {{0, 4}, {0x4000, 1}},
         {},
         {},
         Reader::ServUo,
         0x4000,
         "ServUO reads Multi.mul's multi 0x4000 (16384) as multi 0x0 (0)"},
        {"number 0x3FFF in Multi.mul", R::Twelve, {{0, 4}, {0x3FFF, 1}}, {}, {}, Reader::ServUo, 0x3FFF, ""},
        {"other tiles at one number",
         R::Twelve,
         {{0, 4}},
         4,
         {{0, 4, 1}},
         std::nullopt,
         0,
         "multi 0x0 (0) has other tiles in Multi.mul than in MultiCollection.uop"},
        {"the same tiles", R::Twelve, {{0, 4}}, 4, {{0, 4}}, std::nullopt, 0, ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const test::TempDir dir;
        PatchTargets targets;
        if (row.mul) {
            targets.mul = writeMul(dir, *row.mul, row.mulMultis);
        }
        if (row.uopVersion) {
            targets.uop = writeUop(dir, *row.uopVersion, row.uopMultis);
        }
        NativeFileSystem fileSystem;
        const ReaderCheck check = CheckReaders(fileSystem, targets);
        ASSERT_EQ(check.readers.size(), std::size(kReaders));
        if (*row.reason != '\0') {
            EXPECT_TRUE(found(check, row.reader, row.multi, row.reason)) << ReaderCheckText(check);
            EXPECT_FALSE(check.clean());
            if (row.multi) {
                EXPECT_EQ(check.numbersSeenOtherwise().count(*row.multi), 1U);
            }
        } else {
            EXPECT_FALSE(anyFinding(check, row.reader)) << ReaderCheckText(check);
        }
    }
}

TEST(ReaderCheck, ExampleFilesAreSeenAsTheyAreByEveryReaderOfTheirFiles) {
    const std::filesystem::path examples(KEELWRIGHT_EXAMPLES);
    const struct {
        const char* folder;
        bool uop;
        std::vector<Reader> otherwise;  // the readers that do not see them as they are
        std::vector<Reader> unchecked;
    } rows[] = {
        {"client", true, {}, {}},
        // The UOP beside Multi.mul is what the newer clients and the other servers read.
        {"client", false, {}, {Reader::Client, Reader::ServUo, Reader::ModernUo}},
        // Clients before 7.0 read 12-byte records only.
        {"client-hs", false, {Reader::OldClient}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.folder) + (row.uop ? " with its UOP" : ""));
        PatchTargets targets;
        targets.mul = ClientFiles{examples / row.folder / "Multi.idx", examples / row.folder / "Multi.mul"};
        if (row.uop) {
            targets.uop = examples / row.folder / "MultiCollection.uop";
        }
        NativeFileSystem fileSystem;
        const ReaderCheck check = CheckReaders(fileSystem, targets);
        for (const ReaderView& view : check.readers) {
            SCOPED_TRACE(ReaderName(view.reader));
            const auto listed = [&](const std::vector<Reader>& readers) {
                return std::find(readers.begin(), readers.end(), view.reader) != readers.end();
            };
            EXPECT_EQ(view.clean(), !listed(row.otherwise)) << ReaderCheckText(check);
            EXPECT_EQ(view.checked, !listed(row.unchecked));
        }
        EXPECT_TRUE(check.disagreements.empty());
    }
}

TEST(ReaderWarnings, NameEachReaderThatWillNotSeeThePlannedWrite) {
    const struct {
        const char* what;
        PlannedWrite write;
        std::vector<std::string> starts;  // of the warnings, in order
    } rows[] = {
        {"0x1FFF into every file", {0x1FFF, true, true, 500, false}, {}},
        {"0x2000 into Multi.mul", {0x2000, true, false, 0, false}, {"Sphere sees multis 0 to 0x1FFF only"}},
        {"0x2000 into the UOP alone", {0x2000, false, true, 500, false}, {}},
        {"0x4001 into Multi.mul",
         {0x4001, true, false, 0, false},
         {"Sphere sees", "ServUO reads Multi.mul's multi 0x4001 (16385) as multi 0x1 (1)"}},
        {"70,000 bytes into the UOP", {5, false, true, 70000, false}, {"ModernUO stops at start"}},
        {"65,536 bytes into the UOP", {5, false, true, 65536, false}, {}},
        {"Multi.mul alone beside a UOP",
         {5, true, false, 0, true},
         {"a MultiCollection.uop lies beside Multi.mul: clients from 7.0 on and ServUO"}},
        {"every file beside a UOP", {5, true, true, 500, true}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::vector<std::string> warnings = ReaderWarnings(row.write);
        ASSERT_EQ(warnings.size(), row.starts.size());
        for (std::size_t i = 0; i < warnings.size(); ++i) {
            EXPECT_EQ(warnings[i].rfind(row.starts[i], 0), 0U) << warnings[i];
        }
    }
}

TEST(ReaderWarnings, FindAUopBesideMultiMulInAnyLetterCase) {
    const test::TempDir dir;
    const std::filesystem::path mul = dir.write("Multi.mul", "");
    EXPECT_FALSE(UopLiesBeside(mul));
    dir.write("multicollection.UOP", "");
    EXPECT_TRUE(UopLiesBeside(mul));
}

}  // namespace
}  // namespace keelwright
