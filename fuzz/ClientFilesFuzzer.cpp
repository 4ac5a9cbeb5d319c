// The client files on any bytes: the survey and every extraction read them or throw Error, and a whole patch
// either completes, after which its multi extracts back as it was loaded, or throws and leaves both files as
// they were. The input is a 4-byte little-endian length of Multi.idx, then Multi.idx, then Multi.mul.
#include <algorithm>

#include "FuzzSupport.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"
#include "mulfiles/ClientFilesSurvey.h"
#include "mulfiles/Extractor.h"
#include "mulfiles/MemoryFileSystem.h"
#include "mulfiles/Patcher.h"

using namespace keelwright;

namespace {

constexpr std::int32_t kMostSlotsExtracted = 64;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 4) {
        return 0;
    }
    const std::size_t indexSize =
        std::min<std::size_t>(size - 4, data[0] | data[1] << 8 | data[2] << 16 | std::size_t{data[3]} << 24);
    const MemoryFileSystem::Bytes index(data + 4, data + 4 + indexSize);
    const MemoryFileSystem::Bytes mul(data + 4 + indexSize, data + size);
    MemoryFileSystem files;
    files.put("Multi.idx", index);
    files.put("Multi.mul", mul);
    const ClientFiles paths{"Multi.idx", "Multi.mul"};

    try {
        const ClientFilesSurvey survey = SurveyClientFiles(files, paths);
        for (std::int32_t slot = 1; slot <= std::min(survey.slotCount, kMostSlotsExtracted); ++slot) {
            try {
                ExtractMultiText(files, paths.multiMul, slot, ReadIndexEntry(files, paths.multiIdx, slot),
                                 survey.recordSize.size);
            } catch (const Error&) {
            }
        }
    } catch (const Error&) {
    }

    PatchResult result;
    try {
        result = PatchMulti(files, fuzz::SmallHouse(), paths);
    } catch (const Error&) {
        fuzz::Require(files.bytes("Multi.idx") == index, "a failed patch leaves Multi.idx as it was");
        fuzz::Require(files.bytes("Multi.mul") == mul, "a failed patch leaves Multi.mul as it was");
        return 0;
    }
    const RecordSize recordSize = result.recordSize.size;
    const std::string text = ExtractMultiText(files, paths.multiMul, result.slot,
                                              ReadIndexEntry(files, paths.multiIdx, result.slot), recordSize);
    ComponentTable back;
    ReadMultiTxt(text, "extracted.txt", back, fuzz::DoorsAndSigns());
    fuzz::Require(EncodeMultiData(back, recordSize) == EncodeMultiData(fuzz::SmallHouse(), recordSize),
                  "the patched multi extracts as it was");
    return 0;
}
