#pragma once

#include <cstdint>
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

// Runs keelwright-cli as RunCli does, but no file it writes can grow past `bytes`: a write beyond that
// comes up short, as on a full disk.
CliResult RunCliWithFileSizeLimit(const std::vector<std::string>& arguments, std::uint64_t bytes);

// The folder of the bundled examples.
std::filesystem::path ExamplesDir();

}  // namespace keelwright::test
