#include "cli/CliTestSupport.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <stdexcept>
#include <thread>

#include "TestFiles.h"

namespace keelwright::test {
namespace {

// The child's side of RunCli, between fork and exec: only calls that are safe there.
[[noreturn]] void startChild(char* const* argv, const char* outPath, const char* errPath,
                             const rlimit* fileSizeLimit) {
    struct sigaction defaultAction {};
    defaultAction.sa_handler = SIG_DFL;
    for (int signal = 1; signal < NSIG; ++signal) {
        sigaction(signal, &defaultAction, nullptr);
    }
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath, O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) {
        _exit(126);
    }
    if (fileSizeLimit != nullptr && setrlimit(RLIMIT_FSIZE, fileSizeLimit) != 0) {
        _exit(126);
    }
    execv(argv[0], argv);
    _exit(127);
}

}  // namespace

CliResult RunCli(const std::vector<std::string>& arguments, const CliLaunch& launch) {
    const TempDir capture;
    const std::string outPath = launch.stdoutPath.value_or((capture / "out").string());
    const std::string errPath = (capture / "err").string();

    std::vector<std::string> argv = {launch.program ? launch.program->string() : KEELWRIGHT_CLI};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    std::vector<char*> pointers;
    for (std::string& argument : argv) {
        pointers.push_back(argument.data());
    }
    pointers.push_back(nullptr);
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    if (launch.fileSizeLimit) {
        limit.rlim_cur = static_cast<rlim_t>(*launch.fileSizeLimit);
    }

    const pid_t pid = fork();
    if (pid < 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    if (pid == 0) {
        startChild(pointers.data(), outPath.c_str(), errPath.c_str(),
                   launch.fileSizeLimit ? &limit : nullptr);
    }
    CliResult result;
    int waitStatus = 0;
    const auto deadline = std::chrono::steady_clock::now() + launch.timeout;
    while (waitpid(pid, &waitStatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &waitStatus, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    if (!launch.stdoutPath) {
        result.out = ReadAll(outPath);
    }
    result.err = ReadAll(errPath);
    return result;
}

CliResult RunCliWithFileSizeLimit(const std::vector<std::string>& arguments, std::uint64_t bytes) {
    CliLaunch launch;
    launch.fileSizeLimit = bytes;
    return RunCli(arguments, launch);
}

std::filesystem::path ExamplesDir() {
    return KEELWRIGHT_EXAMPLES;
}

}  // namespace keelwright::test
