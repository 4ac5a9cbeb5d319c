#pragma once

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Commands.h"

namespace CLI {
class App;
}

namespace keelwright::cli {

// A command line that does not fit the command's synopsis.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// --help was answered; the command has nothing more to do.
struct HelpShown {};

// The options and arguments of one command, parsed by CLI11. A command adds what it takes, parses, then
// asks for what was given. Options are named as they are typed ("--idx", "-o,--output"); given more than
// once, the last value counts.
class CommandLine {
public:
    CommandLine(const Invocation& invocation, const std::string& description);
    ~CommandLine();
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    // An option that takes a value, shown as VALUE_NAME in the help.
    void addOption(const std::string& names, const std::string& help, const std::string& valueName);
    // An option that takes no value.
    void addFlag(const std::string& names, const std::string& help);
    // The command's positional argument, for the help.
    void addPositional(const std::string& name, const std::string& help);

    // Parses the invocation's arguments. Writes the help and throws HelpShown for -h or --help; throws
    // UsageError for an unknown option, a missing or unexpected value, or a count of positional arguments
    // other than `positionals`.
    void parse(std::size_t positionals) { parse(positionals, positionals); }
    // The same for a command whose forms take from `fewest` to `most` positional arguments.
    void parse(std::size_t fewest, std::size_t most);

    // Whether the option was given; the name is any one of its names ("--output").
    bool isSet(const std::string& name) const;
    // The option's value as given last, or the empty text when it was not given.
    std::string value(const std::string& name) const;
    const std::vector<std::string>& positionals() const { return positionals_; }
    const Invocation& invocation() const { return invocation_; }

private:
    const Invocation& invocation_;
    std::unique_ptr<CLI::App> app_;  // CLI11's parser, whose header only CommandLine.cpp compiles
    std::vector<std::string> positionals_;
    bool positionalAdded_ = false;
};

}  // namespace keelwright::cli
