#pragma once

#include <filesystem>

namespace keelwright {

// The paths of the client's two multi files.
struct ClientFiles {
    std::filesystem::path multiIdx;
    std::filesystem::path multiMul;
};

}  // namespace keelwright
