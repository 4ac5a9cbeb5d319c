// keelwright-cli: loads, patches, scripts, extracts and draws multis from the command line with the same
// core as the desktop program.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string_view>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "KeelwrightVersion.h"
#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "cli/ProgramArguments.h"
#include "model/Error.h"
#include "mulfiles/UnusableIndexError.h"

namespace {

using namespace keelwright::cli;

// One command of keelwright-cli. A new command is one more row here and one more file with its Run function.
struct Command {
    const char* name;
    const char* synopsis;  // the arguments after "keelwright-cli NAME"
    const char* summary;
    int (*run)(const Invocation& invocation);
};

constexpr Command kCommands[] = {
    {"show",
     "[--type txt|wsc|uoa|uoalib|csv] [--design NAME|N | --template ID] [--components FILE | --no-components "
     "| --exact] [--json] [--list-designs] SCRIPT",
     "Loads a script and shows its components, or lists the designs or templates it holds.", RunShow},
    {"scripts",
     "[--type txt|wsc|uoa|uoalib|csv] [--design NAME|N | --template ID] [--components FILE | --no-components "
     "| --exact] --format 51a|54|x --name NAME --buy VALUE --sell VALUE [--multi M | --slot N] "
     "[--scripts-only] [-o FILE] SCRIPT",
     "Loads a multi and writes the Sphere item scripts for it and its deed.", RunScripts},
    {"patch",
     "[--type txt|wsc|uoa|uoalib|csv] [--design NAME|N | --template ID] [--components FILE | --no-components "
     "| --exact] [--json] [--idx MULTI_IDX --mul MULTI_MUL [--record-size 12|16]] [--uop MULTICOLLECTION_UOP] "
     "[--multi M [--replace]] "
     "[--format 51a|54|x --name NAME --buy VALUE --sell VALUE [--scripts-only] -o FILE] SCRIPT",
     "Loads a script, patches it into the client's Multi.idx and Multi.mul, its MultiCollection.uop or all "
     "three under one multi number and, when asked, writes its item scripts.",
     RunPatch},
    {"extract",
     "(--idx MULTI_IDX --mul MULTI_MUL [--record-size 12|16] | --uop MULTICOLLECTION_UOP) "
     "--multi M [--exact | --format txt|csv|uoa|wsc [--name NAME]] [-o FILE]",
     "Writes one multi of the client files as multi text or another tool's format.", RunExtract},
    {"remove",
     "[--idx MULTI_IDX --mul MULTI_MUL [--record-size 12|16]] [--uop MULTICOLLECTION_UOP] --multi M [--json]",
     "Removes multi M from each of the client files given that holds it.", RunRemove},
    {"list", "(--idx MULTI_IDX --mul MULTI_MUL [--record-size 12|16] | --uop MULTICOLLECTION_UOP) [--json]",
     "Lists the multis of the client files and checks them without changing them.", RunList},
    {"check",
     "[--idx MULTI_IDX --mul MULTI_MUL [--record-size 12|16]] [--uop MULTICOLLECTION_UOP] [--json] "
     "[--wait SECONDS]",
     "Tells how Sphere, the game clients, ServUO, ModernUO and POL will read the client files.", RunCheck},
    {"preview",
     "[--type txt|wsc|uoa|uoalib|csv] [--design NAME|N | --template ID] [--components FILE | --no-components "
     "| --exact] [--art DIR] -o OUT.png SCRIPT, or "
     "(--idx MULTI_IDX --mul MULTI_MUL | --uop UOP) --multi M [--art DIR] -o OUT.png",
     "Draws a multi of a script or of the client files as a PNG picture, with the client's art if given.",
     RunPreview},
    {"apply", "[--dry-run] [--json] [--wait SECONDS] MANIFEST",
     "Makes the client files match a manifest of a shard's multis, in one transaction, and writes their item "
     "scripts.",
     RunApply},
};

std::string usage() {
    std::string text = "Usage: keelwright-cli COMMAND [OPTIONS]\n\nCommands:\n";
    for (const Command& command : kCommands) {
        text +=
            std::string("  ") + command.name + " " + command.synopsis + "\n      " + command.summary + "\n";
    }
    return text +
           "\nRun 'keelwright-cli COMMAND --help' for the options of a command, 'keelwright-cli --version' "
           "for the version.\n";
}

// Runs the command and hands what it wrote to standard output to the system: output that cannot be written
// fails the command.
int run(const Command& command, const Invocation& invocation) {
    try {
        int status = kSuccess;
        try {
            status = command.run(invocation);
        } catch (const HelpShown&) {
            status = kSuccess;
        }
        invocation.out.flush();
        return status;
    } catch (const UsageError& e) {
        std::cerr << invocation.command << ": " << e.what() << "\n"
                  << "Usage: " << invocation.command << " " << command.synopsis << "\n"
                  << "Run '" << invocation.command << " --help' for details.\n";
        return kUsage;
    } catch (const keelwright::UnusableIndexError& e) {
        // The window's message, then what the window's second line says: which slot, and why.
        Fail(e.description() + " " + e.explanation());
        return kIndexUnusable;
    } catch (const keelwright::Error& e) {
        return Fail(e.description());
    }
}

}  // namespace

int main(int argc, char* argv[]) {
#ifdef SIGXFSZ
    // A write past the file-size limit then fails with EFBIG and the patcher's undo runs, instead of the
    // signal ending the program between the write and its undo.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
#ifdef _WIN32
    // Binary mode, as StandardOutput puts standard output: the error lines end in LF on every system, and
    // no CR is added to them.
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    std::vector<std::string> arguments = ProgramArguments(argc, argv);
    StandardOutput out;
    if (arguments.size() < 2) {
        std::cerr << usage();
        return kUsage;
    }
    const std::string name = arguments[1];
    const bool version = name == "--version";
    if (version || name == "--help" || name == "-h" || name == "help") {
        try {
            out.write(version ? keelwright::VersionLine("keelwright-cli") : usage());
            out.flush();
            return kSuccess;
        } catch (const keelwright::Error& e) {
            return Fail(e.description());
        }
    }
    for (const Command& command : kCommands) {
        if (name == command.name) {
            Invocation invocation{std::string("keelwright-cli ") + command.name,
                                  std::vector<std::string>(arguments.begin() + 2, arguments.end()),
                                  ProgramFolder(arguments.front()), out};
            if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
                invocation.sourceDateEpoch = epoch;
            }
            return run(command, invocation);
        }
    }
    std::cerr << "keelwright-cli: unknown command " << keelwright::QuoteInput(name) << "\n" << usage();
    return kUsage;
}
