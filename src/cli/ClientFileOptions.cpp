#include "cli/ClientFileOptions.h"

#include "cli/CliSupport.h"

namespace keelwright::cli {

void AddClientFileOptions(CommandLine& parser) {
    parser.addOption("--idx", "The client's Multi.idx.", "MULTI_IDX");
    parser.addOption("--mul", "The client's Multi.mul.", "MULTI_MUL");
}

ClientFiles ClientFilesOf(const CommandLine& parser) {
    return ClientFiles{RequiredPath(parser, "--idx"), RequiredPath(parser, "--mul")};
}

}  // namespace keelwright::cli
