#include "render/ClientArt.h"

#include "model/Error.h"
#include "model/PathText.h"
#include "render/MulArtSource.h"

namespace keelwright {

ClientArt OpenClientArt(FileSystem& fileSystem, const std::filesystem::path& folder) {
    const std::filesystem::path artIdx = folder / "artidx.mul";
    const std::filesystem::path artMul = folder / "art.mul";
    const bool hasIdx = fileSystem.exists(artIdx);
    const bool hasMul = fileSystem.exists(artMul);
    if (!hasIdx && !hasMul) {
        throw Error(ErrorNumber::FileNotFound, "no art files (art.mul and artidx.mul) in the folder")
            .at(PathText(folder));
    }
    if (hasIdx != hasMul) {
        const std::filesystem::path& missing = hasIdx ? artMul : artIdx;
        throw Error(ErrorNumber::FileNotFound,
                    "the art files need it beside " + PathText((hasIdx ? artIdx : artMul).filename()))
            .at(PathText(missing));
    }
    ClientArt client;
    client.art = std::make_unique<ArtLibrary>(std::make_unique<MulArtSource>(fileSystem, artIdx, artMul));
    if (const std::filesystem::path tileData = folder / "tiledata.mul"; fileSystem.exists(tileData)) {
        client.tileData = TileData::read(fileSystem, tileData);
    }
    return client;
}

}  // namespace keelwright
