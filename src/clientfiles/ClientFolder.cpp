#include "clientfiles/ClientFolder.h"

#include <algorithm>
#include <optional>
#include <system_error>

#include "model/Error.h"
#include "model/PathText.h"

namespace keelwright {
namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) {
                   return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
               };
               return lower(x) == lower(y);
           });
}

}  // namespace

PatchTargets ClientFilesIn(const std::filesystem::path& folder) {
    constexpr const char* kNames[] = {"Multi.idx", "Multi.mul", "MultiCollection.uop"};
    std::optional<std::filesystem::path> found[3];
    std::error_code error;
    std::filesystem::directory_iterator entries(folder, error);
    if (error) {
        throw Error(ErrorNumber::PathAccess, "cannot read the folder: " + error.message())
            .at(PathText(folder));
    }
    for (; entries != std::filesystem::directory_iterator(); entries.increment(error)) {
        if (!entries->is_regular_file(error)) {
            continue;
        }
        const std::u8string utf8 = entries->path().filename().u8string();
        const std::string name(utf8.begin(), utf8.end());
        for (int k = 0; k < 3; ++k) {
            if (!sameIgnoringCase(name, kNames[k])) {
                continue;
            }
            if (found[k]) {
                throw Error(ErrorNumber::BadFileName, "holds both " + PathText(found[k]->filename()) +
                                                          " and " + PathText(entries->path().filename()) +
                                                          ": which is the client's is not clear")
                    .at(PathText(folder));
            }
            found[k] = entries->path();
        }
    }
    if (error) {
        throw Error(ErrorNumber::PathAccess, "cannot read the folder: " + error.message())
            .at(PathText(folder));
    }
    if (found[0].has_value() != found[1].has_value()) {
        throw Error(ErrorNumber::FileNotFound, std::string("holds ") + (found[0] ? kNames[0] : kNames[1]) +
                                                   " without " + (found[0] ? kNames[1] : kNames[0]))
            .at(PathText(folder));
    }
    if (!found[0] && !found[2]) {
        throw Error(ErrorNumber::FileNotFound,
                    "holds neither Multi.idx with Multi.mul nor MultiCollection.uop")
            .at(PathText(folder));
    }
    PatchTargets targets;
    if (found[0]) {
        targets.mul = ClientFiles{*found[0], *found[1]};
    }
    targets.uop = found[2];
    return targets;
}

Manifest WithClientFiles(Manifest manifest, const PatchTargets& targets) {
    manifest.idx.reset();
    manifest.mul.reset();
    if (targets.mul) {
        manifest.idx = targets.mul->multiIdx;
        manifest.mul = targets.mul->multiMul;
    }
    manifest.uop = targets.uop;
    if (!manifest.mul) {
        manifest.recordSize.reset();  // the size of Multi.mul's records, which this folder lacks
    }
    return manifest;
}

}  // namespace keelwright
