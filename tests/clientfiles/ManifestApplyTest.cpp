// apply on copies of the example client files (all three): the four outcomes, the ownership rule, nothing
// written when nothing changed, all or nothing when a write fails, and a crash at any write finished by the
// next apply.
#include "clientfiles/ManifestApply.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "TestFiles.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/FaultyFileSystem.h"
#include "mulfiles/NativeFileSystem.h"
#include "mulfiles/Slots.h"
#include "uop/PowerCutFileSystem.h"
#include "uop/UopMultis.h"
#include "uop/UopNameHash.h"
#include "uop/UopTestFiles.h"
#include "uop/UopTileRecords.h"

namespace keelwright {
namespace {

const char* const kFiles[] = {"Multi.idx", "Multi.mul", "MultiCollection.uop", "shard.toml.lock",
                              "multis.scp"};

// A design of `n` tiles; `variant` changes their items, so that two designs of one size differ.
std::string design(int n, int variant) {
    std::string text =
        "6 version\r\n1 template id\r\n-1 item version\r\n" + std::to_string(n) + " num components\r\n";
    for (int i = 0; i < n; ++i) {
        text += std::to_string(100 + i + variant) + " " + std::to_string(i % 5) + " " +
                std::to_string(i / 5) + " 0 0\r\n";
    }
    return text;
}

std::string entry(int number, const std::string& script, const std::string& extra = "") {
    return "[[multi]]\nnumber = " + std::to_string(number) + "\nscript = \"" + script + "\"\nname = \"M" +
           std::to_string(number) + "\"\nbuy = 100\nsell = 50\n" + extra;
}

std::string removal(int number, bool replace) {
    return "[[multi]]\nnumber = " + std::to_string(number) + "\nremove = true\n" +
           (replace ? "replace = true\n" : "");
}

class ManifestApplyTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Multi.idx", "Multi.mul", "MultiCollection.uop"}) {
            std::filesystem::copy_file(std::filesystem::path(KEELWRIGHT_EXAMPLES) / "client" / name,
                                       dir_ / name);
        }
        dir_.write("a.txt", design(30, 0));
        dir_.write("b.txt", design(12, 0));
        dir_.write("b2.txt", design(12, 3));
        std::string second = design(20, 7);
        second.replace(second.find("1 template"), 1, "2");
        dir_.write("two.txt", design(30, 0) + second);
    }
    void manifest(const std::string& entries) const {
        dir_.write("shard.toml",
                   "[client]\nidx = \"Multi.idx\"\nmul = \"Multi.mul\"\nuop = \"MultiCollection.uop\"\n"
                   "[scripts]\nformat = \"54\"\noutput = \"multis.scp\"\n" +
                       entries);
    }
    ApplyResult apply(FileSystem& fileSystem, bool dryRun = false) const {
        const std::filesystem::path path = dir_ / "shard.toml";
        ApplyOptions options;
        options.dryRun = dryRun;
        options.fileTime = 133485408000000000;
        return ApplyManifest(fileSystem, path, ReadManifest(path), {}, options);
    }
    ApplyResult apply(bool dryRun = false) const {
        NativeFileSystem fileSystem;
        return apply(fileSystem, dryRun);
    }
    std::vector<std::string> contents() const {
        std::vector<std::string> all;
        for (const char* name : kFiles) {
            all.push_back(std::filesystem::exists(dir_ / name) ? test::ReadAll(dir_ / name) : "(none)");
        }
        return all;
    }
    // Puts back what contents() gave.
    void restore(const std::vector<std::string>& files) const {
        for (std::size_t k = 0; k < files.size(); ++k) {
            files[k] == "(none)" ? static_cast<void>(std::filesystem::remove(dir_ / kFiles[k]))
                                 : test::WriteAll(dir_ / kFiles[k], files[k]);
        }
    }
    // What readers see at multis 0 to 15: the text extracted from Multi.mul, and the payload a reader of the
    // UOP format's facts finds (honouring UsedCount or not).
    std::vector<std::string> reads() const {
        NativeFileSystem fileSystem;
        const std::string uop = test::ReadAll(dir_ / "MultiCollection.uop");
        const auto all = test::ClientReads(uop, false);
        const auto counted = test::ClientReads(uop, true);
        std::vector<std::string> seen;
        const auto add = [&](const std::string& read) {  // short, so that a failure shows what differs
            seen.push_back(read.size() < 8 ? read : std::to_string(std::hash<std::string>{}(read) % 100000));
        };
        for (std::int32_t multi = 0; multi < 16; ++multi) {
            const IndexRecord index =
                ReadIndexEntry(fileSystem, dir_ / "Multi.idx", SlotOfMultiNumber(multi));
            add(index.isFree() ? "free"
                               : ExtractMultiText(fileSystem, dir_ / "Multi.mul", SlotOfMultiNumber(multi),
                                                  index, RecordSize::Twelve));
            const std::uint64_t hash = UopNameHash(MultiEntryName(multi));
            add(all.count(hash) ? all.at(hash) : "none");
            add(counted.count(hash) ? counted.at(hash) : "none");
        }
        return seen;
    }

    test::TempDir dir_;
};

std::string signs(const ApplyResult& result) {
    std::string text;
    for (const PlannedMulti& planned : result.plan) {
        text += PlanSign(planned.outcome);
    }
    return text;
}

TEST_F(ManifestApplyTest, PlansTheFourOutcomesAndReplacesOnlyWhatItWrote) {
    const struct {
        const char* what;
        std::string entries;
        const char* signs;
        bool writes;
    } steps[] = {
        {"multi 5 is the client's own", entry(6, "a.txt") + entry(7, "b.txt") + removal(5, false), "++!",
         false},
        {"replace = true takes it", entry(6, "a.txt") + entry(7, "b.txt") + removal(5, true), "++-", true},
        {"the same manifest again", entry(6, "a.txt") + entry(7, "b.txt") + removal(5, true), "===", false},
        {"a changed design it wrote", entry(6, "a.txt") + entry(7, "b2.txt"), "=~", true},
        {"template 1 of two, as it wrote", entry(6, "two.txt", "template = 1\n") + entry(7, "b2.txt"),
         "==", false},
        {"template 2 of two", entry(6, "two.txt", "template = \"2\"\n") + entry(7, "b2.txt"), "~=", true},
        {"the client's multi 2", entry(2, "a.txt"), "!", false},
        {"the client's multi 2, replace = true", entry(2, "a.txt", "replace = true\n"), "~", true},
        {"its own multi 2 now, replace dropped", entry(2, "b.txt"), "~", true},
    };
    for (const auto& step : steps) {
        manifest(step.entries);
        const std::vector<std::string> before = contents();
        const auto time = std::filesystem::last_write_time(dir_ / "Multi.idx");
        const ApplyResult planned = apply(true);
        EXPECT_EQ(signs(planned), step.signs) << step.what;
        EXPECT_EQ(contents(), before) << step.what << ": a dry run writes nothing";
        const ApplyResult result = apply();
        EXPECT_EQ(signs(result), step.signs) << step.what;
        EXPECT_EQ(result.changes(), step.writes) << step.what;
        if (!step.writes) {
            EXPECT_EQ(contents(), before) << step.what;
            EXPECT_EQ(std::filesystem::last_write_time(dir_ / "Multi.idx"), time) << step.what;
        } else {
            EXPECT_EQ(result.counts.flushes, 7) << step.what << ": Multi.mul 1, the UOP 5, Multi.idx 1";
            EXPECT_EQ(signs(apply()), std::string(std::strlen(step.signs), '=')) << step.what;
        }
    }
    NativeFileSystem fileSystem;
    const std::string seven =
        ExtractMultiText(fileSystem, dir_ / "Multi.mul", 8, ReadIndexEntry(fileSystem, dir_ / "Multi.idx", 8),
                         RecordSize::Twelve);
    EXPECT_EQ(ExtractUopMultiText(fileSystem, dir_ / "MultiCollection.uop", 7), seven);
    EXPECT_NE(seven.find("12 num components\r\n103 -2 -1 0 1\r\n"), std::string::npos) << seven;
    EXPECT_NE(test::ReadAll(dir_ / "multis.scp").find("[ITEMDEF 04002]\r\n"), std::string::npos);
}

// A manifest that adds two multis (one into a new UOP table block), replaces one and removes one.
std::string severalChanges() {
    return entry(6, "a.txt") + entry(7, "b.txt") + entry(8, "b2.txt") +
           entry(5, "b.txt", "replace = true\n") + removal(3, true);
}

TEST_F(ManifestApplyTest, AFailedWriteOrFlushAnywhereLeavesEveryFileAsItWas) {
    manifest(severalChanges());
    const std::vector<std::string> before = contents();
    for (const char* file : {"Multi.idx", "Multi.mul", "MultiCollection.uop"}) {
        for (const bool flush : {false, true}) {
            for (int n = 1;; ++n) {
                ASSERT_LT(n, 1000) << file << ": apply never completes";
                test::FaultyFileSystem fileSystem;
                fileSystem.faults[file] =
                    flush ? test::FileFaults::FailingSync(n) : test::FileFaults::FailingWrite(n);
                try {
                    apply(fileSystem);
                } catch (const Error& e) {
                    EXPECT_EQ(contents(), before)
                        << file << (flush ? " flush " : " write ") << n << ": " << e.description();
                    continue;
                }
                EXPECT_GT(n, 1) << file;
                EXPECT_EQ(signs(apply(true)), "=====");
                for (std::size_t k = 0; k < before.size(); ++k) {
                    test::WriteAll(dir_ / kFiles[k], before[k]);
                }
                std::filesystem::remove(dir_ / "shard.toml.lock");
                std::filesystem::remove(dir_ / "multis.scp");
                break;
            }
        }
    }
}

TEST_F(ManifestApplyTest, ACrashAtAnyWriteLeavesEachNumberAsBeforeOrAfterAndTheNextApplyFinishes) {
    manifest(severalChanges());
    const std::vector<std::string> files = contents();
    const std::vector<std::string> before = reads();
    apply();
    const std::vector<std::string> after = reads();
    for (int cut = 1, part = 0;; part = 1 - part, cut += part == 0 ? 1 : 0) {
        restore(files);
        test::PowerCutFileSystem fileSystem(cut, part * 0.5);
        try {
            apply(fileSystem);
        } catch (const Error&) {
        }
        if (fileSystem.cutIn().empty()) {
            EXPECT_GT(cut, 10);
            break;
        }
        if (fileSystem.cutIn() == "Multi.idx" && part == 1) {
            continue;  // a torn 12-byte index entry: Multi.idx alone has always had that exposure
        }
        const std::vector<std::string> crashed = reads();
        for (std::size_t k = 0; k < crashed.size(); ++k) {
            EXPECT_TRUE(crashed[k] == before[k] || crashed[k] == after[k])
                << "cut at write " << cut << "." << part << " in " << fileSystem.cutIn() << ", read " << k;
        }
        apply();
        EXPECT_EQ(reads(), after) << "cut at write " << cut;
        EXPECT_FALSE(apply().changes()) << "cut at write " << cut;
    }
}

// The lock names the old tiles and the new of every number while the client files are written, so a crash
// anywhere in the apply of a new version is followed by that version, which finishes it, or by the version
// before, which goes back, and neither refuses a number as not its own.
TEST_F(ManifestApplyTest, ACrashAnywhereInAnApplyCanBeFollowedByEitherVersionOfTheManifest) {
    const std::string versions[] = {
        entry(6, "a.txt") + entry(7, "b.txt") + entry(8, "b2.txt") + removal(9, false),
        entry(6, "a.txt") + entry(7, "b2.txt") + removal(8, false) + entry(9, "b.txt")};
    std::vector<std::string> readsOf[2];
    std::vector<std::string> older;
    for (int v : {0, 1}) {
        manifest(versions[v]);
        apply();
        readsOf[v] = reads();
        older = v == 0 ? contents() : older;
    }
    for (int cut = 1, part = 0;; part = 1 - part, cut += part == 0 ? 1 : 0) {
        restore(older);
        manifest(versions[1]);
        test::PowerCutFileSystem fileSystem(cut, part * 0.5);
        try {
            apply(fileSystem);
        } catch (const Error&) {
        }
        if (fileSystem.cutIn().empty()) {
            EXPECT_GT(cut, 10);
            break;
        }
        if (fileSystem.cutIn() == "Multi.idx" && part == 1) {
            continue;  // a torn 12-byte index entry, as above
        }
        const std::vector<std::string> crashed = contents();
        for (int v : {0, 1}) {
            restore(crashed);
            manifest(versions[v]);
            const ApplyResult result = apply();
            EXPECT_EQ(result.refused, 0) << "version " << v << " after a cut at write " << cut << "." << part
                                         << " in " << fileSystem.cutIn();
            EXPECT_EQ(reads(), readsOf[v]) << "version " << v << " after a cut at write " << cut;
            EXPECT_FALSE(apply().changes()) << "version " << v << " after a cut at write " << cut;
        }
    }
}

TEST_F(ManifestApplyTest, RefusesEntriesThatDoNotLoadInThePlanWhenAskedElseStops) {
    manifest(entry(6, "a.txt") + entry(7, "missing.txt") + entry(0x2000, "b.txt") + removal(5, true));
    const std::filesystem::path path = dir_ / "shard.toml";
    ApplyOptions options;
    options.dryRun = true;
    options.refuseFailingEntries = true;
    NativeFileSystem fileSystem;
    const ApplyResult result = ApplyManifest(fileSystem, path, ReadManifest(path), {}, options);
    EXPECT_EQ(signs(result), "+!!-");
    EXPECT_NE(result.plan[1].refusal.find("missing.txt"), std::string::npos) << result.plan[1].refusal;
    EXPECT_NE(result.plan[2].refusal.find("no slot"), std::string::npos) << result.plan[2].refusal;
    EXPECT_EQ(result.refused, 2);
    options.refuseFailingEntries = false;
    EXPECT_THROW(ApplyManifest(fileSystem, path, ReadManifest(path), {}, options), Error);
}

}  // namespace
}  // namespace keelwright
