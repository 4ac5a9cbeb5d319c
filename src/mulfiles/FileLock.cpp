#include "mulfiles/FileLock.h"

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

}  // namespace keelwright
