// keelwright-cli: loads, patches, scripts and extracts multis from the command line with the same core as
// the desktop program.
#include <QCoreApplication>
#include <iostream>
#include <span>
#include <string_view>

#include "cli/CliSupport.h"
#include "cli/Commands.h"
#include "model/Error.h"
#include "mulfiles/UnusableIndexError.h"

namespace {

using namespace keelwright::cli;

constexpr Command kCommands[] = {
    {"show", "[--type txt|wsc] [--components FILE | --no-components] [--json] SCRIPT",
     "Loads a multi text or WSC export and shows its components.", RunShow},
    {"scripts",
     "[--type txt|wsc] [--components FILE | --no-components] --format 51a|54 --name NAME --buy VALUE "
     "--sell VALUE [--slot N] [--scripts-only] [-o FILE] SCRIPT",
     "Loads a multi and writes the Sphere item scripts for it and its deed.", RunScripts},
    {"patch",
     "[--type txt|wsc] [--components FILE | --no-components] [--json] --idx MULTI_IDX --mul MULTI_MUL "
     "[--format 51a|54 --name NAME --buy VALUE --sell VALUE [--scripts-only] -o FILE] SCRIPT",
     "Loads a script, patches it into the client's Multi.idx and Multi.mul and, when asked, writes its "
     "item scripts.",
     RunPatch},
    {"extract", "--idx MULTI_IDX --mul MULTI_MUL --multi M [-o FILE]",
     "Writes one multi of the client files as multi text.", RunExtract},
    {"list", "--idx MULTI_IDX --mul MULTI_MUL [--json]",
     "Lists the multis of the client files and checks them without changing them.", RunList},
};

int usage(std::ostream& out, int status) {
    out << "Usage: keelwright-cli COMMAND [OPTIONS]\n\nCommands:\n";
    for (const Command& command : kCommands) {
        out << "  " << command.name << " " << command.synopsis << "\n      " << command.summary << "\n";
    }
    out << "\nRun 'keelwright-cli COMMAND --help' for the options of a command.\n";
    return status;
}

int run(const Command& command, const QStringList& arguments) {
    try {
        return command.run(arguments);
    } catch (const HelpShown&) {
        return kSuccess;
    } catch (const UsageError& e) {
        std::cerr << "keelwright-cli " << command.name << ": " << e.what() << "\n"
                  << "Usage: keelwright-cli " << command.name << " " << command.synopsis << "\n"
                  << "Run 'keelwright-cli " << command.name << " --help' for details.\n";
        return kUsage;
    } catch (const keelwright::UnusableIndexError& e) {
        Fail(e.description());
        return kIndexUnusable;
    } catch (const keelwright::Error& e) {
        return Fail(e.description());
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("keelwright-cli");
    QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 2) {
        return usage(std::cerr, kUsage);
    }
    const QString name = arguments.takeAt(1);
    if (name == "--help" || name == "-h" || name == "help") {
        return usage(std::cout, kSuccess);
    }
    for (const Command& command : kCommands) {
        if (name == command.name) {
            arguments[0] = QString("keelwright-cli ") + command.name;
            return run(command, arguments);
        }
    }
    std::cerr << "keelwright-cli: unknown command '" << name.toStdString() << "'\n";
    return usage(std::cerr, kUsage);
}
