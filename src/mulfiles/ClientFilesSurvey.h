#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "mulfiles/ClientFiles.h"
#include "mulfiles/FileSystem.h"
#include "mulfiles/IndexRecord.h"
#include "mulfiles/RecordSizeDecision.h"

namespace keelwright {

// A problem of the client files that a patch or the game client would trip over.
struct SurveyProblem {
    enum class Kind {
        PartialIndexRecord,        // Multi.idx ends in a partial record
        ZeroRecordBeforeFreeSlot,  // a patch would stop there with the "File Not Found!" message
        NoFreeSlot,                // a patch would stop at the end of the index
        BadLength,                 // a used slot's Length is not a whole positive multiple of the record size
        BlockPastEnd,              // a used slot's block reaches outside Multi.mul
        Overlap,                   // two used slots' blocks share bytes
        PartialDataRecord,         // Multi.mul is not a whole number of records: no command writes into it
    };
    Kind kind;
    std::int32_t slot = 0;       // the slot the problem is at; 0 for PartialDataRecord
    std::int32_t otherSlot = 0;  // for Overlap: the slot whose block it overlaps
    std::string message;
};

// The stable name of a problem kind ("bad-length"), as the command line's JSON gives it.
const char* ProblemKindName(SurveyProblem::Kind kind);

// What Multi.idx and Multi.mul hold, checked without changing either.
struct ClientFilesSurvey {
    std::uint64_t indexBytes = 0;
    std::uint64_t dataBytes = 0;
    RecordSizeDecision recordSize;  // the size Multi.mul is read in, and how it was decided
    // Bytes at the end of Multi.mul that no block covers, as a killed patch leaves them. Not a problem
    // while they are whole records: the next patch writes after them.
    std::uint64_t unindexedTailBytes = 0;
    // Bytes of Multi.mul that no used slot's block covers, the tail above included: what replacing and
    // removing multis leave behind.
    std::uint64_t deadBytes = 0;
    std::int32_t slotCount = 0;  // whole records of Multi.idx
    std::int32_t usedCount = 0;  // slots neither free nor zero records
    std::int32_t freeCount = 0;  // slots with Length -1
    std::int32_t zeroCount = 0;  // slots with Offset 0 and Length 0
    std::optional<std::int32_t> firstFreeSlot;
    std::int64_t firstFreeRecord = 1;  // where the next block would begin in Multi.mul

    struct UsedSlot {
        std::int32_t slot;
        IndexRecord entry;
        // The records of the block, less a first record that is the lead record, as extraction counts
        // them; nothing when the Length is not a whole number of records or the block lies outside
        // Multi.mul.
        std::optional<std::int32_t> components;
    };
    std::vector<UsedSlot> usedSlots;      // in slot order
    std::vector<SurveyProblem> problems;  // in slot order

    bool sound() const { return problems.empty(); }
};

// Surveys the bytes of a Multi.idx against a Multi.mul read through `data`, in the record size that
// DecideRecordSize gives (`forced` when given). Reads the first record of every used block and the
// contents check's sample, never the whole of Multi.mul.
ClientFilesSurvey SurveyClientFiles(std::span<const std::uint8_t> index, RandomAccessFile& data,
                                    std::optional<RecordSize> forced = std::nullopt);
// Surveys the two files, refusing a UOP container named as either; only reads them.
ClientFilesSurvey SurveyClientFiles(FileSystem& fileSystem, const ClientFiles& files,
                                    std::optional<RecordSize> forced = std::nullopt);

}  // namespace keelwright
