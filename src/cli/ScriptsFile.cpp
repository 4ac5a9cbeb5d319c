#include "cli/ScriptsFile.h"

#include "model/Error.h"
#include "model/NumberText.h"

namespace keelwright::cli {

ScriptsFile::ScriptsFile(const QString& path) : path_(path), file_(path) {
    // Unbuffered, so that a short write is seen by write() itself: the buffered path loses the error of
    // its final flush and would commit a truncated file as a success.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        throw Error(ErrorNumber::PathAccess, "cannot write: " + file_.errorString().toStdString())
            .at(path_.toStdString());
    }
}

void ScriptsFile::commit(std::string_view text) {
    const auto size = static_cast<qint64>(text.size());
    const qint64 written = file_.write(text.data(), size);
    if (written >= 0 && written < size) {
        // A short write carries no error text of its own; a full disk or a size limit is the usual cause.
        throw Error(ErrorNumber::DeviceIo, "cannot write: only " + NumberText(written) + " of " +
                                               NumberText(size) + " bytes could be written")
            .at(path_.toStdString());
    }
    if (written < 0 || !file_.flush() || !file_.commit()) {
        throw Error(ErrorNumber::DeviceIo, "cannot write: " + file_.errorString().toStdString())
            .at(path_.toStdString());
    }
}

}  // namespace keelwright::cli
