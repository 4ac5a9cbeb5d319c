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

struct StartedCli::Process {
    TempDir capture;
    std::string outPath;
    std::string errPath;
    CliLaunch launch;
    pid_t pid = -1;
    std::chrono::steady_clock::time_point deadline;
};

StartedCli::StartedCli(const std::vector<std::string>& arguments, const CliLaunch& launch)
    : process_(std::make_unique<Process>()) {
    Process& p = *process_;
    p.launch = launch;
    p.outPath = launch.stdoutPath.value_or((p.capture / "out").string());
    p.errPath = (p.capture / "err").string();

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

    p.pid = fork();
    if (p.pid < 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }
    if (p.pid == 0) {
        startChild(pointers.data(), p.outPath.c_str(), p.errPath.c_str(),
                   launch.fileSizeLimit ? &limit : nullptr);
    }
    p.deadline = std::chrono::steady_clock::now() + launch.timeout;
}

StartedCli::~StartedCli() {
    if (process_->pid > 0) {
        kill();
    }
}

void StartedCli::kill() {
    ::kill(process_->pid, SIGKILL);
    waitpid(process_->pid, nullptr, 0);
    process_->pid = -1;
}

CliResult StartedCli::finish() {
    Process& p = *process_;
    CliResult result;
    int waitStatus = 0;
    while (waitpid(p.pid, &waitStatus, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > p.deadline) {
            ::kill(p.pid, SIGKILL);
            waitpid(p.pid, &waitStatus, 0);
            result.timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    p.pid = -1;
    result.status = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : -1;
    if (!p.launch.stdoutPath) {
        result.out = ReadAll(p.outPath);
    }
    result.err = ReadAll(p.errPath);
    return result;
}

CliResult RunCli(const std::vector<std::string>& arguments, const CliLaunch& launch) {
    return StartedCli(arguments, launch).finish();
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
