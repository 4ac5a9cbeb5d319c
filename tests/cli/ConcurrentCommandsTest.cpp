// keelwright-cli run by several programs at once on one copy of the client files: patches started together
// with listings beside them, a lock that another program holds, and a patch killed while it holds its locks.
#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <thread>

#include "cli/ClientFilesCopy.h"
#include "clientfiles/ClientFileLocks.h"
#include "mulfiles/NativeFileSystem.h"

namespace keelwright::test {
namespace {

using std::chrono::milliseconds;

class ConcurrentCommands : public ClientFilesCopy {
protected:
    void SetUp() override {
        ClientFilesCopy::SetUp();
        std::filesystem::copy_file(ExamplesDir() / "client" / "MultiCollection.uop",
                                   dir_ / "MultiCollection.uop");
        uopBytes_ = ReadAll(uop());
    }
    std::string uop() const { return (dir_ / "MultiCollection.uop").string(); }
    std::vector<std::string> patch(bool withUop, std::vector<std::string> options = {}) const {
        options.insert(options.begin(),
                       {"patch", "--json", "--no-components", "--idx", idx(), "--mul", mul()});
        if (withUop) {
            options.insert(options.end(), {"--uop", uop()});
        }
        options.push_back((ExamplesDir() / "house.txt").string());
        return options;
    }
    nlohmann::json listed(const std::vector<std::string>& source) const {
        std::vector<std::string> arguments = {"list", "--json"};
        arguments.insert(arguments.end(), source.begin(), source.end());
        const CliResult r = RunCli(arguments);
        EXPECT_EQ(r.status, 0) << r.out << r.err;
        return nlohmann::json::parse(r.out);
    }
    void expectAllUnchanged() const {
        expectFilesUnchanged();
        EXPECT_EQ(ReadAll(uop()), uopBytes_);
    }

    std::string uopBytes_;
};

TEST_F(ConcurrentCommands, PatchesStartedTogetherAllLandWhereTheyReportAndListingsBesideThemSeeNoProblem) {
    constexpr int kRounds = 6;
    constexpr std::size_t kPatches = 4;
    for (const bool withUop : {false, true}) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE((withUop ? "with the UOP, round " : "round ") + std::to_string(round));
            WriteAll(idx(), index_);
            WriteAll(mul(), data_);
            WriteAll(uop(), uopBytes_);
            std::vector<std::unique_ptr<StartedCli>> patches;
            for (std::size_t i = 0; i < kPatches; ++i) {
                patches.push_back(std::make_unique<StartedCli>(patch(withUop)));
            }
            for (int i = 0; i < 3; ++i) {
                const CliResult r = RunCli({"list", "--idx", idx(), "--mul", mul()});
                EXPECT_EQ(r.status, 0) << r.out << r.err;
            }
            std::set<int> slots;
            for (const auto& started : patches) {
                const CliResult r = started->finish();
                ASSERT_EQ(r.status, 0) << r.err;
                slots.insert(nlohmann::json::parse(r.out)["slot"].get<int>());
            }
            EXPECT_EQ(slots.size(), kPatches) << "two patches reported one slot";
            const nlohmann::json files = listed({"--idx", idx(), "--mul", mul()});
            std::set<int> houses;  // the slots that hold the house's 26 tiles after the lead record
            for (const nlohmann::json& multi : files["multis"]) {
                if (multi["components"] == 26) {
                    houses.insert(multi["slot"].get<int>());
                }
            }
            EXPECT_EQ(houses, slots);
            if (withUop) {
                std::set<int> inUop;
                const nlohmann::json uopFile = listed({"--uop", uop()});
                for (const nlohmann::json& multi : uopFile["multis"]) {
                    if (multi["components"] == 26) {
                        inUop.insert(multi["multi"].get<int>() + 1);
                    }
                }
                EXPECT_EQ(inUop, slots);
            }
        }
    }
}

TEST_F(ConcurrentCommands, AFileLockedElsewhereIsWaitedForThenEveryCommandFailsNamingItWithNothingWritten) {
    NativeFileSystem fileSystem;
    const std::string changing = ": another program is changing this file";
    const std::string changingOrReading = ": another program is changing or reading this file";
    struct Row {
        std::string locked;
        LockKind held;
        std::vector<std::string> command;
        std::string error;  // empty: the command succeeds
    };
    const Row rows[] = {
        {mul(), LockKind::Exclusive, patch(false, {"--wait", "1"}),
         mul() + changingOrReading + " (waited 1 second for it)"},
        {idx(), LockKind::Shared, patch(false, {"--wait", "0"}), idx() + changingOrReading},
        {uop(), LockKind::Shared, patch(true, {"--wait", "0"}), uop() + changingOrReading},
        {idx(),
         LockKind::Exclusive,
         {"list", "--wait", "0", "--idx", idx(), "--mul", mul()},
         idx() + changing},
        {uop(), LockKind::Exclusive, {"list", "--wait", "0", "--uop", uop()}, uop() + changing},
        {mul(),
         LockKind::Exclusive,
         {"extract", "--wait", "0", "--idx", idx(), "--mul", mul(), "--multi", "0"},
         mul() + changing},
        {idx(), LockKind::Shared, {"list", "--wait", "0", "--idx", idx(), "--mul", mul()}, ""},
    };
    for (const Row& row : rows) {
        const std::unique_ptr<FileLock> held = fileSystem.lock(row.locked, row.held, milliseconds(0));
        const auto started = std::chrono::steady_clock::now();
        const CliResult r = RunCli(row.command);
        if (row.error.empty()) {
            EXPECT_EQ(r.status, 0) << r.err;
            continue;
        }
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "keelwright-cli: error: " + row.error + "; try again when it is done\n");
        EXPECT_EQ(r.out, "");
        if (row.error.find("waited") != std::string::npos) {
            EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
        }
        expectAllUnchanged();
    }
    const CliResult bad = RunCli({"list", "--wait", "2.5", "--idx", idx(), "--mul", mul()});
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(
        bad.err.rfind("keelwright-cli list: --wait takes whole seconds from 0 to 3600, not \"2.5\"\n", 0), 0U)
        << bad.err;
    // A lock that goes while the patch waits lets it in.
    std::unique_ptr<FileLock> held = fileSystem.lock(mul(), LockKind::Shared, milliseconds(0));
    StartedCli waiting(patch(true));
    std::this_thread::sleep_for(milliseconds(300));
    held.reset();
    const CliResult r = waiting.finish();
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(ConcurrentCommands, APatchKilledWhileItHoldsItsLocksLeavesNoneBehind) {
    NativeFileSystem fileSystem;
    std::unique_ptr<FileLock> held = fileSystem.lock(mul(), LockKind::Exclusive, milliseconds(0));
    StartedCli patching(patch(true, {"--wait", "60"}));
    // It holds Multi.idx once a listing gives up on Multi.idx rather than on Multi.mul.
    bool holdsIndex = false;
    for (int tries = 0; tries < 2000 && !holdsIndex; ++tries) {
        const CliResult r = RunCli({"list", "--wait", "0", "--idx", idx(), "--mul", mul()});
        holdsIndex = r.err.find(idx() + ": another program") != std::string::npos;
    }
    ASSERT_TRUE(holdsIndex);
    patching.kill();
    held.reset();
    const CliResult r = RunCli(patch(true, {"--wait", "0"}));
    EXPECT_EQ(r.status, 0) << r.err;
}

}  // namespace
}  // namespace keelwright::test
