#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace keelwright::test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs the built keelwright-cli with the arguments (no shell involved) and collects what it printed.
CliResult RunCli(const std::vector<std::string>& arguments);

// The folder of the bundled examples.
std::filesystem::path ExamplesDir();

}  // namespace keelwright::test
