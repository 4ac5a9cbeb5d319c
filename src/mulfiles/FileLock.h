#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "model/Error.h"

namespace keelwright {

// A shared lock lets other shared locks in and keeps exclusive ones out; an exclusive lock keeps out both.
enum class LockKind { Shared, Exclusive };

// A lock on a whole file, held until the object goes (or the process ends, however it ends). It lies on a
// handle of its own, which it keeps open, so the holder's other opens of the file read and write as ever.
class FileLock {
public:
    virtual ~FileLock() = default;
};

// The failure of a lock that another program held for all of `waited`: "another program is changing this
// file (waited 10 seconds for it); try again when it is done", naming the file. PathAccess, as for a file
// in use.
class LockedFileError : public Error {
public:
    LockedFileError(const std::string& name, LockKind kind, std::chrono::milliseconds waited);
};

// Tries `tryLock` until it succeeds, pausing between tries (from half a millisecond, doubling up to 20 ms);
// throws LockedFileError naming `name` once `wait` has passed without success.
void WaitForLock(const std::function<bool()>& tryLock, const std::string& name, LockKind kind,
                 std::chrono::milliseconds wait);

}  // namespace keelwright
