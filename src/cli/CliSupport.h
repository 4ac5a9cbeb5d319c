#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <stdexcept>
#include <string_view>

#include "model/ComponentsList.h"
#include "model/ComponentTable.h"

namespace keelwright::cli {

enum ExitCode : int {
    kSuccess = 0,
    kFailure = 1,
    kUsage = 2,
    kIndexUnusable = 3,
};

// A command line that does not fit the command's synopsis.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --help was answered; the command has nothing more to do.
struct HelpShown {};

// One sub-command of keelwright-cli.
struct Command {
    const char* name;
    const char* synopsis;  // the arguments after "keelwright-cli NAME"
    const char* summary;
    int (*run)(const QStringList& arguments);  // arguments[0] is "keelwright-cli NAME"
};

// Parses the arguments. Prints the help and throws HelpShown for --help; throws UsageError for anything the parser rejects or for
// a positional argument count other than `positionals`.
void Parse(QCommandLineParser& parser, const QStringList& arguments, qsizetype positionals);

// Adds --type, --components and --no-components, the options every command that loads a script takes.
void AddScriptOptions(QCommandLineParser& parser);

// The loaded multi of a command that takes a script, as the window's load command leaves it.
struct LoadedMulti {
    ComponentTable table;
    ComponentsList components;
};
// Reads the components list the options name and loads the script (the first positional argument).
LoadedMulti LoadScript(const QCommandLineParser& parser);

std::filesystem::path ToPath(const QString& text);
std::string ToBytes(const QString& text);  // Latin-1: one byte per character
QString FromBytes(std::string_view bytes);  // Latin-1: each byte the character of the same value

void WriteOut(std::string_view bytes);
void Warn(std::string_view message);
// Prints "keelwright-cli: error: MESSAGE" on stderr and returns kFailure.
int Fail(std::string_view message);

}  // namespace keelwright::cli
