#pragma once

// The multis that the client files given hold, file by file and merged by number, for the window's list
// of client multis and its free numbers. Built on the surveys of `list`, so it only reads.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "clientfiles/PatchTargets.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "uop/UopSurvey.h"

namespace keelwright {

// One multi number that at least one of the files holds.
struct ClientMulti {
    std::int32_t multi = 0;
    std::string item;                           // its item number in hex ("5400" for multi 0x1400)
    bool inMul = false;                         // Multi.idx's slot holds it
    std::optional<std::int32_t> mulComponents;  // as extraction counts them; nothing for a damaged block
    bool inUop = false;                         // MultiCollection.uop has its entry
    std::optional<std::int32_t> uopComponents;
};

// The merged list and the surveys it comes from.
struct ClientMultiList {
    std::vector<ClientMulti> multis;  // in number order
    std::optional<ClientFilesSurvey> mul;
    std::optional<UopSurvey> uop;
};

// Surveys every target (SurveyClientFiles, SurveyUop) and merges their multis by number. Throws as the
// surveys do.
ClientMultiList ListClientMultis(FileSystem& fileSystem, const PatchTargets& targets,
                                 std::optional<RecordSize> recordSize = std::nullopt);

// Up to `most` numbers, lowest first, that a patch at that number can take without replacing anything:
// within Multi.idx's slots when it is given, held by no file.
std::vector<std::int32_t> FreeMultiNumbers(const ClientMultiList& list, std::size_t most);

}  // namespace keelwright
