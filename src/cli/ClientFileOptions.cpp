#include "cli/ClientFileOptions.h"

#include "cli/CliSupport.h"

namespace keelwright::cli {
namespace {

std::filesystem::path requiredPath(const QCommandLineParser& parser, const QString& option) {
    const QString value = parser.value(option);
    if (value.isEmpty()) {
        throw UsageError("--" + option.toStdString() + " is required");
    }
    return ToPath(value);
}

}  // namespace

void AddClientFileOptions(QCommandLineParser& parser) {
    parser.addOption({"idx", "The client's Multi.idx.", "MULTI_IDX"});
    parser.addOption({"mul", "The client's Multi.mul.", "MULTI_MUL"});
}

ClientFiles ClientFilesOf(const QCommandLineParser& parser) {
    return ClientFiles{requiredPath(parser, "idx"), requiredPath(parser, "mul")};
}

}  // namespace keelwright::cli
