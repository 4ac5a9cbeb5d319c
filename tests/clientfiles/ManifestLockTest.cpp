// The lock file: its text read back as written, sorted by number, and anything else refused.
#include "clientfiles/ManifestLock.h"

#include <gtest/gtest.h>

#include "model/Error.h"

namespace keelwright {
namespace {

TEST(ManifestLockTest, WritesOneSortedLineAMultiAndReadsItBack) {
    const ManifestLock lock = {{5121, {{"uop"}, 3, "00000000000000ff"}},
                               {5120, {{"mul", "uop"}, 26, TileHash(std::vector{UopTile::lead()})}}};
    const std::string text = ManifestLockText(lock);
    EXPECT_EQ(text.substr(0, text.find("5121")),
              "{\"multis\": [\n  {\"files\":[\"mul\",\"uop\"],\"hash\":\"" + lock.at(5120).hash +
                  "\",\"number\":5120,\"tiles\":26},\n  "
                  "{\"files\":[\"uop\"],\"hash\":\"00000000000000ff\",\"number\":");
    EXPECT_EQ(ParseManifestLock(text, "s.lock"), lock);
    ManifestLock writing = LockWhileWriting(lock, {{5120, {{"uop"}, 2, "00000000000000aa"}}});
    EXPECT_EQ(writing.at(5120).was, (std::vector<LockedMulti>{lock.at(5120)}));
    EXPECT_EQ(writing.at(5121), lock.at(5121)) << "a removal names the old tiles until it is done";
    EXPECT_TRUE(writing.at(5120).owns("mul", lock.at(5120).hash));
    EXPECT_FALSE(writing.at(5120).owns("mul", "00000000000000aa"));
    EXPECT_EQ(ParseManifestLock(ManifestLockText(writing), "s.lock"), writing);
    EXPECT_EQ(ManifestLockText({}), "{\"multis\": []}\n");
    EXPECT_NE(TileHash(std::vector{UopTile::lead()}), TileHash(std::vector{UopTile{1, 0, 0, 0, 0, {}}}));
}

TEST(ManifestLockTest, RefusesTextThatIsNoLockFile) {
    for (const char* text : {"", "[]", "{\"multis\": 3}", "{\"multis\": [{\"number\": 1}]}",
                             "{\"multis\": [{\"number\": 1, \"files\": [2], \"tiles\": 1, \"hash\": \"a\"}]}",
                             "{\"multis\": [{\"number\": -1, \"files\": [], \"tiles\": 1, \"hash\": \"a\"}]}",
                             "{\"multis\": [{\"number\": 1, \"files\": [], \"tiles\": 1, \"hash\": \"a\"},"
                             " {\"number\": 1, \"files\": [], \"tiles\": 1, \"hash\": \"a\"}]}"}) {
        try {
            ParseManifestLock(text, "s.lock");
            ADD_FAILURE() << text;
        } catch (const Error& e) {
            EXPECT_EQ(e.description().rfind("s.lock: is not a lock file of a manifest: ", 0), 0U) << text;
        }
    }
}

}  // namespace
}  // namespace keelwright
