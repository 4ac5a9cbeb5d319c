// RunCli on Windows (and under Wine): keelwright-cli.exe started with CreateProcessW, its output captured
// in files. CliTestSupport.cpp is the POSIX counterpart.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <stdexcept>

#include "TestFiles.h"
#include "cli/CliTestSupport.h"
#include "model/PathText.h"

namespace keelwright::test {
namespace {

std::wstring wideOf(const std::string& utf8) {
    const std::u8string text(utf8.begin(), utf8.end());
    return std::filesystem::path(text).native();
}

// One argument as the C runtime's command-line splitting (CommandLineToArgvW) gives it back: quoted when
// it is empty or holds blanks or quotes, with the backslashes before a quote or the closing quote doubled.
std::wstring quoted(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        return argument;
    }
    std::wstring text = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        text += c;
        backslashes = 0;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}

// A handle the child inherits as one of its standard handles.
HANDLE inheritedHandle(const wchar_t* path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const HANDLE handle = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                      disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw std::runtime_error("cannot open a standard handle for keelwright-cli");
    }
    return handle;
}

}  // namespace

struct StartedCli::Process {
    TempDir capture;
    std::filesystem::path outPath;
    std::filesystem::path errPath;
    CliLaunch launch;
    HANDLE process = nullptr;
    std::chrono::steady_clock::time_point deadline;
};

StartedCli::StartedCli(const std::vector<std::string>& arguments, const CliLaunch& launch)
    : process_(std::make_unique<Process>()) {
    Process& p = *process_;
    p.launch = launch;
    p.outPath = launch.stdoutPath ? std::filesystem::path(wideOf(*launch.stdoutPath)) : p.capture / "out";
    p.errPath = p.capture / "err";

    const std::filesystem::path program = launch.program.value_or(KEELWRIGHT_CLI);
    std::wstring commandLine = quoted(program.native());
    for (const std::string& argument : arguments) {
        commandLine += L" " + quoted(wideOf(argument));
    }

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = inheritedHandle(L"NUL", GENERIC_READ, OPEN_EXISTING);
    startup.hStdOutput = inheritedHandle(p.outPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    startup.hStdError = inheritedHandle(p.errPath.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &startup, &process);
    CloseHandle(startup.hStdInput);
    CloseHandle(startup.hStdOutput);
    CloseHandle(startup.hStdError);
    if (!started) {
        throw std::runtime_error("cannot start " + PathText(program));
    }
    CloseHandle(process.hThread);
    p.process = process.hProcess;
    p.deadline = std::chrono::steady_clock::now() + launch.timeout;
}

StartedCli::~StartedCli() {
    if (process_->process != nullptr) {
        kill();
    }
}

void StartedCli::kill() {
    TerminateProcess(process_->process, 1);
    WaitForSingleObject(process_->process, INFINITE);
    CloseHandle(process_->process);
    process_->process = nullptr;
}

CliResult StartedCli::finish() {
    Process& p = *process_;
    CliResult result;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::max<std::chrono::steady_clock::duration>(p.deadline - std::chrono::steady_clock::now(), {}));
    if (WaitForSingleObject(p.process, static_cast<DWORD>(left.count())) == WAIT_TIMEOUT) {
        TerminateProcess(p.process, 1);
        WaitForSingleObject(p.process, INFINITE);
        result.timedOut = true;
    }
    DWORD exitCode = 0;
    GetExitCodeProcess(p.process, &exitCode);
    CloseHandle(p.process);
    p.process = nullptr;

    result.status = static_cast<int>(exitCode);
    if (!p.launch.stdoutPath) {
        result.out = ReadAll(p.outPath);
    }
    result.err = ReadAll(p.errPath);
    return result;
}

CliResult RunCli(const std::vector<std::string>& arguments, const CliLaunch& launch) {
    return StartedCli(arguments, launch).finish();
}

std::filesystem::path ExamplesDir() {
    // A cross build knows the folder by its POSIX path; Wine takes it on the current drive.
    return std::filesystem::absolute(KEELWRIGHT_EXAMPLES).make_preferred();
}

}  // namespace keelwright::test
