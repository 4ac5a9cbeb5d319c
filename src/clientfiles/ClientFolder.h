#pragma once

#include <filesystem>

#include "clientfiles/Manifest.h"
#include "clientfiles/PatchTargets.h"

namespace keelwright {

// The client's multi files in `folder`, found whatever the letter case of their names (a client copied from
// Windows may say MULTI.IDX): Multi.idx with Multi.mul, MultiCollection.uop, or all three. Throws Error
// naming the folder when it cannot be read, holds neither Multi.idx with Multi.mul nor MultiCollection.uop,
// holds one of the pair alone, or holds two files whose names differ only in case.
PatchTargets ClientFilesIn(const std::filesystem::path& folder);

// The manifest with `targets` as the client files to write instead of those its [client] names.
Manifest WithClientFiles(Manifest manifest, const PatchTargets& targets);

}  // namespace keelwright
