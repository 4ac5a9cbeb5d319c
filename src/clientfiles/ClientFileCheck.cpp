#include "clientfiles/ClientFileCheck.h"

#include "model/NumberText.h"
#include "model/PathText.h"
#include "mulfiles/ClientFiles.h"
#include "mulfiles/RecordLayout.h"
#include "mulfiles/RecordSizeDecision.h"
#include "mulfiles/UopRefusal.h"
#include "uop/UopContainer.h"
#include "uop/UopMultis.h"

namespace keelwright {
namespace {

// Throws when the file at `path` is text, a UOP container, or (for an index) not whole records.
void requireMulFile(FileSystem& fileSystem, const std::filesystem::path& path, bool index) {
    const std::unique_ptr<RandomAccessFile> file = fileSystem.open(path, OpenMode::Read);
    RefuseUopContainer(*file);
    if (!index) {
        return;
    }
    const std::uint64_t bytes = file->size();
    if (bytes == 0) {
        throw Error(ErrorNumber::InvalidFileFormat, "is not a Multi.idx: it is empty").at(file->name());
    }
    if (const std::uint64_t past = bytes % kRecordSize; past != 0) {
        throw Error(ErrorNumber::InvalidFileFormat,
                    "is not a Multi.idx: " + NumberText(static_cast<std::int64_t>(past)) +
                        (past == 1 ? " byte" : " bytes") + " past the last whole 12-byte record")
            .at(file->name());
    }
}

// Throws what a patch into the pair would throw before writing about the record size; a partial last
// record in the words of a box, which has written nothing.
void requirePair(FileSystem& fileSystem, const ClientFiles& files) {
    const RecordSizeDecision decision = DecideRecordSize(fileSystem, files);
    if (decision.partialRecord && !decision.mismatched) {
        const std::uint64_t bytes = fileSystem.open(files.multiMul, OpenMode::Read)->size();
        const std::uint64_t past = bytes % BytesOf(decision.size);
        throw Error(ErrorNumber::InvalidFileFormat,
                    "is not a Multi.mul: " + NumberText(static_cast<std::int64_t>(past)) +
                        (past == 1 ? " byte" : " bytes") + " past the last whole " +
                        NumberText(static_cast<std::int64_t>(BytesOf(decision.size))) + "-byte record")
            .at(PathText(files.multiMul));
    }
    decision.sizeForPatch();
}

}  // namespace

std::optional<Error> ClientFileMismatch(FileSystem& fileSystem, ClientFileRole role,
                                        const std::filesystem::path& path,
                                        const std::optional<std::filesystem::path>& multiIdx) {
    try {
        switch (role) {
            case ClientFileRole::MultiIdx:
                requireMulFile(fileSystem, path, true);
                break;
            case ClientFileRole::MultiMul:
                requireMulFile(fileSystem, path, false);
                if (multiIdx) {
                    requirePair(fileSystem, ClientFiles{*multiIdx, path});
                }
                break;
            case ClientFileRole::MultiCollection:
                RequireMultiCollection(UopContainer(fileSystem, path));
                break;
        }
    } catch (const Error& mismatch) {
        if (role != ClientFileRole::MultiMul || !multiIdx) {
            return mismatch;
        }
        // The pair read the other way round: the two boxes name each other's file.
        try {
            requireMulFile(fileSystem, path, true);
            requirePair(fileSystem, ClientFiles{path, *multiIdx});
        } catch (const Error&) {
            return mismatch;
        }
        return Error(ErrorNumber::InvalidFileFormat,
                     "Multi.idx and Multi.mul seem to be swapped: this file reads as the Multi.idx of " +
                         PathText(*multiIdx) + "; exchange the two paths")
            .at(PathText(path));
    }
    return std::nullopt;
}

}  // namespace keelwright
