#include "cli/ScriptsFile.h"

#include "model/Error.h"

namespace keelwright::cli {

ScriptsFile::ScriptsFile(const std::filesystem::path& path) try : file_(fileSystem_, path) {
} catch (const Error& e) {
    throw Error(e.number(), "cannot write the scripts: " + e.reason()).at(e.file());
}

void ScriptsFile::commit(std::string_view text) {
    file_.commit(text);
}

}  // namespace keelwright::cli
