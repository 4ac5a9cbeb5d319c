#include "cli/CliTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <stdexcept>

#include "TestFiles.h"

extern char** environ;

namespace keelwright::test {

CliResult RunCli(const std::vector<std::string>& arguments) {
    const TempDir capture;
    const std::string outPath = (capture / "out").string();
    const std::string errPath = (capture / "err").string();

    std::vector<std::string> argv = {KEELWRIGHT_CLI};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    int waitStatus = 0;
    waitpid(pid, &waitStatus, 0);

    CliResult result;
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

CliResult RunCliWithFileSizeLimit(const std::vector<std::string>& arguments, std::uint64_t bytes) {
    // The child inherits both the limit and the ignored signal, so an oversized write fails with EFBIG
    // instead of killing it. Only the child writes files while the limit is in force.
    rlimit previous{};
    getrlimit(RLIMIT_FSIZE, &previous);
    const rlimit limited{static_cast<rlim_t>(bytes), previous.rlim_max};
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    CliResult result = RunCli(arguments);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);
    return result;
}

std::filesystem::path ExamplesDir() {
    return KEELWRIGHT_EXAMPLES;
}

}  // namespace keelwright::test
