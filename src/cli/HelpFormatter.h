#pragma once

#include <CLI/CLI.hpp>
#include <string>

namespace keelwright::cli {

// The help of a command, laid out as people know it from keelwright-cli before: the usage line, the
// description, then the options and the arguments, each with its text wrapped beside it in one column.
class HelpFormatter : public CLI::FormatterBase {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
};

}  // namespace keelwright::cli
