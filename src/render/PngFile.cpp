#include "render/PngFile.h"

#include "model/Error.h"
#include "mulfiles/AtomicFile.h"

// stb's writer is compiled here and nowhere else. Its code is not ours to change, so the warnings it gives
// under the project's flags (clang honours these pragmas too) cannot fail a -Werror build.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace keelwright {
namespace {

void append(void* context, void* data, int size) {
    static_cast<std::string*>(context)->append(static_cast<const char*>(data),
                                               static_cast<std::size_t>(size));
}

}  // namespace

std::string EncodePng(const RgbaImage& image) {
    if (image.empty()) {
        throw Error(ErrorNumber::InvalidCall, "an empty picture cannot be written as a PNG file");
    }
    std::string png;
    if (stbi_write_png_to_func(append, &png, image.width(), image.height(), 4, image.bytes().data(),
                               static_cast<int>(image.stride())) == 0) {
        throw Error(ErrorNumber::InvalidCall, "the picture could not be encoded as a PNG file");
    }
    return png;
}

void WritePng(FileSystem& fileSystem, const std::filesystem::path& path, const RgbaImage& image) {
    WriteFileAtomically(fileSystem, path, EncodePng(image));
}

}  // namespace keelwright
