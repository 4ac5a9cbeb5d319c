#pragma once

// The locks one command holds on the client files it works on, so that two programs never write them at
// once and no reader sees half a patch: a command that writes them locks every file it will write
// exclusively, from before its searches to after its last flush; a command that reads them locks them
// shared while it reads. The locks are taken in one order, Multi.idx, Multi.mul, MultiCollection.uop, so
// that two commands never wait for each other for ever, and go when the object does.

#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "mulfiles/ClientFiles.h"
#include "mulfiles/FileSystem.h"

namespace keelwright {

// How long a command waits for a file another program has locked before it gives up.
inline constexpr std::chrono::milliseconds kDefaultLockWait{10000};

class ClientFileLocks {
public:
    // Locks the files given, each of `kind`, waiting up to `wait` in all. A file that does not exist is
    // passed over (the command's own open reports it), and so is a path naming a file locked already
    // (the command refuses one file named twice). Throws LockedFileError, holding nothing, when a lock
    // does not come in time, and the open errors of FileSystem::lock.
    ClientFileLocks(FileSystem& fileSystem, const std::optional<ClientFiles>& mul,
                    const std::optional<std::filesystem::path>& uop, LockKind kind,
                    std::chrono::milliseconds wait = kDefaultLockWait);

private:
    std::vector<std::unique_ptr<FileLock>> locks_;
};

}  // namespace keelwright
