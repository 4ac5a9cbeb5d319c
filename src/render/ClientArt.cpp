#include "render/ClientArt.h"

#include "model/Error.h"
#include "model/PathText.h"
#include "render/MulArtSource.h"
#include "render/UopArtSource.h"

namespace keelwright {
namespace {

// The art source of the folder, the UOP first; fills in where its pictures come from.
std::unique_ptr<ArtSource> openArtSource(FileSystem& fileSystem, const std::filesystem::path& folder,
                                         std::filesystem::path& artFile) {
    if (const std::filesystem::path uop = folder / "artLegacyMUL.uop"; fileSystem.exists(uop)) {
        artFile = uop;
        return std::make_unique<UopArtSource>(fileSystem, uop);
    }
    const std::filesystem::path artIdx = folder / "artidx.mul";
    const std::filesystem::path artMul = folder / "art.mul";
    const bool hasIdx = fileSystem.exists(artIdx);
    const bool hasMul = fileSystem.exists(artMul);
    if (!hasIdx && !hasMul) {
        throw Error(ErrorNumber::FileNotFound,
                    "no art files (artLegacyMUL.uop, or art.mul and artidx.mul) in the folder")
            .at(PathText(folder));
    }
    if (hasIdx != hasMul) {
        const std::filesystem::path& missing = hasIdx ? artMul : artIdx;
        throw Error(ErrorNumber::FileNotFound,
                    "the art files need it beside " + PathText((hasIdx ? artIdx : artMul).filename()))
            .at(PathText(missing));
    }
    artFile = artMul;
    return std::make_unique<MulArtSource>(fileSystem, artIdx, artMul);
}

}  // namespace

ClientArt OpenClientArt(FileSystem& fileSystem, const std::filesystem::path& folder) {
    ClientArt client;
    client.art = std::make_unique<ArtLibrary>(openArtSource(fileSystem, folder, client.artFile));
    if (const std::filesystem::path tileData = folder / "tiledata.mul"; fileSystem.exists(tileData)) {
        client.tileData = TileData::read(fileSystem, tileData);
    }
    return client;
}

}  // namespace keelwright
