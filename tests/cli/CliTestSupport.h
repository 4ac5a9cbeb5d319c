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

#ifndef _WIN32
// Runs keelwright-cli as RunCli does, but no file it writes can grow past `bytes`: a write beyond that
// comes up short, as on a full disk. POSIX only: Windows has no file size limit.
CliResult RunCliWithFileSizeLimit(const std::vector<std::string>& arguments, std::uint64_t bytes);
#endif

// The folder of the bundled examples.
std::filesystem::path ExamplesDir();

}  // namespace keelwright::test
