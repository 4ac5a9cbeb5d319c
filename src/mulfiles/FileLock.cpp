#include "mulfiles/FileLock.h"

#include <algorithm>
#include <thread>

#include "model/NumberText.h"

namespace keelwright {
namespace {

// A writer waits for readers too, so its message cannot tell which kind holds the file.
std::string reasonOf(LockKind kind, std::chrono::milliseconds waited) {
    std::string reason = kind == LockKind::Shared ? "another program is changing this file"
                                                  : "another program is changing or reading this file";
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
    if (waited.count() > 0) {
        reason += " (waited " +
                  (waited.count() % 1000 == 0 ? NumberText(seconds) + (seconds == 1 ? " second" : " seconds")
                                              : NumberText(waited.count()) + " ms") +
                  " for it)";
    }
    return reason + "; try again when it is done";
}

}  // namespace

LockedFileError::LockedFileError(const std::string& name, LockKind kind, std::chrono::milliseconds waited)
    : Error(ErrorNumber::PathAccess, reasonOf(kind, waited)) {
    at(name);
}

void WaitForLock(const std::function<bool()>& tryLock, const std::string& name, LockKind kind,
                 std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::chrono::microseconds pause(500);
    while (!tryLock()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            throw LockedFileError(name, kind, wait);
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
        pause = std::min<std::chrono::microseconds>(pause * 2, std::chrono::milliseconds(20));
    }
}

}  // namespace keelwright
