#include "mulfiles/OutputPaths.h"

#include <system_error>

namespace keelwright {
namespace {

// The path with links and dot steps resolved as far as it exists; the plain absolute form if that fails.
std::filesystem::path resolved(const std::filesystem::path& path) {
    std::error_code error;
    std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    if (error) {
        canonical = std::filesystem::absolute(path, error).lexically_normal();
    }
    return canonical;
}

}  // namespace

bool WouldReplace(FileSystem& fileSystem, const std::filesystem::path& output,
                  const std::filesystem::path& input) {
    return resolved(output) == resolved(input) || fileSystem.sameFile(output, input);
}

}  // namespace keelwright
