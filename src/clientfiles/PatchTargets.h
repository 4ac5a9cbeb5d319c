#pragma once

#include <filesystem>
#include <optional>

#include "mulfiles/ClientFiles.h"
#include "mulfiles/FileSystem.h"

namespace keelwright {

// The files a patch or a removal works on: Multi.idx and Multi.mul, MultiCollection.uop, or all three.
struct PatchTargets {
    std::optional<ClientFiles> mul;
    std::optional<std::filesystem::path> uop;
};

// Throws PathAccess when two of the targets name one file, and InvalidCall when there is none.
void RefuseOneFileTwice(FileSystem& fileSystem, const PatchTargets& targets);

}  // namespace keelwright
