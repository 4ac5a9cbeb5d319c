#include "mulfiles/HeldFile.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <stdexcept>
#include <string>

#include "model/PathText.h"

namespace keelwright::test {
namespace {

std::filesystem::path besideThisProgram(const std::wstring& name) {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    return std::filesystem::path(self).parent_path() / name;
}

}  // namespace

HeldFile::HeldFile(const std::filesystem::path& path) {
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE childInput = nullptr;
    HANDLE childOutput = nullptr;
    HANDLE output = nullptr;
    if (!CreatePipe(&childInput, &input_, &inherited, 0) ||
        !CreatePipe(&output, &childOutput, &inherited, 0)) {
        throw std::runtime_error("cannot make pipes");
    }
    SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(output, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = childInput;
    startup.hStdOutput = childOutput;
    startup.hStdError = childOutput;
    std::wstring command =
        L"\"" + besideThisProgram(L"keelwright_hold_file.exe").native() + L"\" \"" + path.native() + L"\"";
    PROCESS_INFORMATION process{};
    const bool started = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                        &startup, &process);
    if (started) {
        CloseHandle(process.hThread);
        process_ = process.hProcess;
    }
    CloseHandle(childInput);
    CloseHandle(childOutput);
    // The helper writes one byte once it holds the file, or ends without writing when it cannot.
    char held = 0;
    DWORD got = 0;
    const bool holding = started && ReadFile(output, &held, 1, &got, nullptr) && got == 1;
    CloseHandle(output);
    if (!holding) {
        release();
        throw std::runtime_error("keelwright_hold_file cannot hold " + PathText(path));
    }
}

HeldFile::~HeldFile() {
    release();
}

void HeldFile::release() {
    CloseHandle(input_);
    if (process_ != nullptr) {
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
        process_ = nullptr;
    }
}

}  // namespace keelwright::test
