#include "clientfiles/PatchTargets.h"

#include "model/Error.h"
#include "model/PathText.h"

namespace keelwright {

void RefuseOneFileTwice(FileSystem& fileSystem, const PatchTargets& targets) {
    if (!targets.mul && !targets.uop) {
        throw Error(ErrorNumber::InvalidCall,
                    "needs Multi.idx and Multi.mul, MultiCollection.uop or all three");
    }
    const auto refuse = [&](const std::filesystem::path& a, const std::filesystem::path& b,
                            const char* what) {
        if (fileSystem.sameFile(a, b)) {
            throw Error(ErrorNumber::PathAccess, std::string(what) + " name the same file").at(PathText(a));
        }
    };
    if (targets.mul) {
        refuse(targets.mul->multiIdx, targets.mul->multiMul, "Multi.idx and Multi.mul");
    }
    if (targets.mul && targets.uop) {
        refuse(*targets.uop, targets.mul->multiIdx, "MultiCollection.uop and Multi.idx");
        refuse(*targets.uop, targets.mul->multiMul, "MultiCollection.uop and Multi.mul");
    }
}

}  // namespace keelwright
