#include "clientfiles/ClientFileLocks.h"

#include <algorithm>

namespace keelwright {

ClientFileLocks::ClientFileLocks(FileSystem& fileSystem, const std::optional<ClientFiles>& mul,
                                 const std::optional<std::filesystem::path>& uop, LockKind kind,
                                 std::chrono::milliseconds wait) {
    std::vector<std::filesystem::path> order;
    if (mul) {
        order = {mul->multiIdx, mul->multiMul};
    }
    if (uop) {
        order.push_back(*uop);
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    std::vector<std::filesystem::path> locked;
    for (const std::filesystem::path& path : order) {
        const bool again = std::any_of(
            locked.begin(), locked.end(),
            [&](const std::filesystem::path& earlier) { return fileSystem.sameFile(earlier, path); });
        if (again || !fileSystem.exists(path)) {
            continue;
        }
        // One wait for all the files: what the first took is not waited again for the next.
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::max<std::chrono::steady_clock::duration>(deadline - std::chrono::steady_clock::now(), {}));
        try {
            locks_.push_back(fileSystem.lock(path, kind, left));
        } catch (const LockedFileError& e) {
            // The message tells of the whole wait, not of what was left of it for this file.
            throw LockedFileError(e.file(), kind, wait);
        }
        locked.push_back(path);
    }
}

}  // namespace keelwright
