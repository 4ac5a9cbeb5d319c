#pragma once

#include <gtest/gtest.h>

#include <string>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"

namespace keelwright::test {

// A test on copies of the example client files in a temporary folder, with their first bytes kept for
// comparing after a command has run.
class ClientFilesCopy : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"Multi.idx", "Multi.mul"}) {
            std::filesystem::copy_file(ExamplesDir() / "client" / name, dir_ / name);
        }
        index_ = ReadAll(idx());
        data_ = ReadAll(mul());
    }
    std::string idx() const { return (dir_ / "Multi.idx").string(); }
    std::string mul() const { return (dir_ / "Multi.mul").string(); }
    void expectFilesUnchanged() const {
        EXPECT_EQ(ReadAll(idx()), index_);
        EXPECT_EQ(ReadAll(mul()), data_);
    }

    TempDir dir_;
    std::string index_, data_;  // the copies as they were before the test
};

}  // namespace keelwright::test
