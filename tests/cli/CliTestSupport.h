#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace keelwright::test {

struct CliResult {
    int status = -1;  // the exit status; -1 when a signal ended the program
    bool timedOut = false;
    std::string out;
    std::string err;
};

// How a test runs keelwright-cli beyond its arguments.
struct CliLaunch {
#ifndef _WIN32
    // No file the program writes can grow past this: a write beyond comes up short, as on a full disk.
    std::optional<std::uint64_t> fileSizeLimit;
#endif
    // Where standard output goes instead of being collected ("/dev/full").
    std::optional<std::string> stdoutPath;
    // The program to run instead of the built keelwright-cli: a copy of it elsewhere.
    std::optional<std::filesystem::path> program;
    // A program still running then is killed, so that a hang fails the test instead of stopping the suite.
    std::chrono::milliseconds timeout{60000};
};

// The built keelwright-cli started with the arguments (no shell involved) and not yet waited for, so that
// a test can run several at once. On POSIX the program starts with the default action of every signal, as
// from a shell. A program still running when the object goes is killed.
class StartedCli {
public:
    explicit StartedCli(const std::vector<std::string>& arguments, const CliLaunch& launch = {});
    ~StartedCli();
    StartedCli(const StartedCli&) = delete;
    StartedCli& operator=(const StartedCli&) = delete;

    // Waits for the end (killing it after the launch's timeout) and collects what it printed.
    CliResult finish();
    // Ends it at once, as SIGKILL or TerminateProcess do: it runs no code of its own on the way out.
    void kill();

private:
    struct Process;
    std::unique_ptr<Process> process_;
};

// Runs the built keelwright-cli to its end and collects what it printed.
CliResult RunCli(const std::vector<std::string>& arguments, const CliLaunch& launch = {});

#ifndef _WIN32
// Runs keelwright-cli as RunCli does, under a real file-size limit of `bytes` (RLIMIT_FSIZE). POSIX only:
// Windows has no file size limit.
CliResult RunCliWithFileSizeLimit(const std::vector<std::string>& arguments, std::uint64_t bytes);
#endif

// The folder of the bundled examples; on Windows as a full path with its drive letter and backslashes.
std::filesystem::path ExamplesDir();

}  // namespace keelwright::test
