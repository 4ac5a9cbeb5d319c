#pragma once

// Whether a file is what a path box asks for, checked cheaply enough to run at every keystroke: the
// first bytes, the size, the index and a bounded sample of Multi.mul (the same decision the patch makes),
// the UOP's header and table. Multi.mul is never read whole.

#include <filesystem>
#include <optional>

#include "model/Error.h"
#include "mulfiles/FileSystem.h"

namespace keelwright {

// What a path box asks for.
enum class ClientFileRole { MultiIdx, MultiMul, MultiCollection };

// Why the file at `path` is not what a box for `role` asks for, naming the file; nothing when it is.
// Multi.idx: no text, no UOP, a whole number of 12-byte records. Multi.mul: no text, no UOP, and, when
// `multiIdx` names the index it goes with, the record size a patch would take from the pair (which
// refuses a Multi.mul that does not belong to the index); a pair that passes only the other way round
// is said to be swapped. MultiCollection.uop: a UOP file of the version multis are patched into.
std::optional<Error> ClientFileMismatch(FileSystem& fileSystem, ClientFileRole role,
                                        const std::filesystem::path& path,
                                        const std::optional<std::filesystem::path>& multiIdx = std::nullopt);

}  // namespace keelwright
