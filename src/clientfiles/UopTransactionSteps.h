#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "clientfiles/JournaledFile.h"
#include "mulfiles/FileSystem.h"

namespace keelwright {

struct MultiChange;

// The UOP part of a multi transaction (MultiTransaction.h, steps 2 to 6): every write decided when it is
// made, from the table as it is read then, and written by steps that each end in one flush.
class UopTransactionSteps {
public:
    // Reads the table and decides every write. Throws, writing nothing, for a file that is not version 4 or
    // whose table does not read.
    UopTransactionSteps(FileSystem& fileSystem, const std::filesystem::path& uop,
                        std::span<const MultiChange> changes, WriteCounts& counts);

    void appendData();         // step 2
    void writeNewEntries();    // step 3
    void publishNewEntries();  // step 4
    void clearOffsets();       // step 5
    void clearTheRest();       // step 6
    void undo() { file_.undo(); }

private:
    struct Write {
        std::uint64_t offset = 0;
        std::vector<std::uint8_t> bytes;
    };
    void run(const std::vector<Write>& writes);

    JournaledFile file_;
    std::vector<std::uint8_t> appended_;
    std::vector<Write> bodies_;
    std::vector<Write> offsets_;
    std::vector<Write> clearedOffsets_;
    std::vector<Write> clearedRest_;
};

}  // namespace keelwright
