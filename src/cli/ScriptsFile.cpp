#include "cli/ScriptsFile.h"

#include "model/Error.h"

namespace keelwright::cli {

ScriptsFile::ScriptsFile(const QString& path) : path_(path), file_(path) {
    if (!file_.open(QIODevice::WriteOnly)) {
        throw Error(ErrorNumber::PathAccess, "cannot write: " + file_.errorString().toStdString())
            .at(path_.toStdString());
    }
}

void ScriptsFile::commit(std::string_view text) {
    const auto size = static_cast<qint64>(text.size());
    if (file_.write(text.data(), size) != size || !file_.commit()) {
        throw Error(ErrorNumber::DeviceIo, "cannot write: " + file_.errorString().toStdString())
            .at(path_.toStdString());
    }
}

}  // namespace keelwright::cli
