#pragma once

#include <filesystem>
#include <string>

#include "mulfiles/FileSystem.h"
#include "render/RgbaImage.h"

namespace keelwright {

// The picture as the bytes of a PNG file (8-bit RGBA). Throws InvalidCall for an empty picture.
std::string EncodePng(const RgbaImage& image);

// Writes the picture as a PNG file, whole or not at all (WriteFileAtomically).
void WritePng(FileSystem& fileSystem, const std::filesystem::path& path, const RgbaImage& image);

}  // namespace keelwright
