#pragma once
// The three client files in a temporary folder, for the tests of work on them as a whole, and the patch
// targets that name some of them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "clientfiles/PatchTargets.h"

namespace keelwright::test {

// Which files a command is given: Multi.idx with Multi.mul, MultiCollection.uop, or all three.
enum class Files { Mul, Uop, All };

class ClientFilesTest : public ::testing::Test {
protected:
    void write(const std::string& index, const std::string& data, const std::string& uop) {
        WriteAll(files_.multiIdx, index);
        WriteAll(files_.multiMul, data);
        WriteAll(uop_, uop);
    }
    // Multi.idx and Multi.mul of examples/FOLDER, beside the example MultiCollection.uop.
    void copyExamples(const std::string& folder) {
        const std::filesystem::path examples(KEELWRIGHT_EXAMPLES);
        write(ReadAll(examples / folder / "Multi.idx"), ReadAll(examples / folder / "Multi.mul"),
              ReadAll(examples / "client" / "MultiCollection.uop"));
    }
    PatchTargets targets(Files which) const {
        PatchTargets t;
        if (which != Files::Uop) {
            t.mul = files_;
        }
        if (which != Files::Mul) {
            t.uop = uop_;
        }
        return t;
    }
    // Multi.idx, Multi.mul and MultiCollection.uop, in that order.
    std::vector<std::string> contents() const {
        return {ReadAll(files_.multiIdx), ReadAll(files_.multiMul), ReadAll(uop_)};
    }

    TempDir dir_;
    ClientFiles files_{dir_ / "Multi.idx", dir_ / "Multi.mul"};
    std::filesystem::path uop_ = dir_ / "MultiCollection.uop";
};

}  // namespace keelwright::test
