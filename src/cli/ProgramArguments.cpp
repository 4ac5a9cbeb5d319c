#include "cli/ProgramArguments.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the definitions of windows.h.
#include <shellapi.h>
#endif

namespace keelwright::cli {
namespace {

#ifdef _WIN32
std::string utf8Of(const wchar_t* wide) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    std::string text(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), size, nullptr, nullptr);
    text.resize(text.size() - 1);  // the terminating zero
    return text;
}
#endif

// The payload bits of a continuation byte, or nothing for any other byte.
std::optional<char32_t> continuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80 ? std::optional<char32_t>(byte & 0x3F) : std::nullopt;
}

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide != nullptr) {
        std::vector<std::string> arguments;
        for (int i = 0; i < count; ++i) {
            arguments.push_back(utf8Of(wide[i]));
        }
        LocalFree(wide);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv, argv + argc);
}

std::filesystem::path PathOfArgument(std::string_view argument) {
#ifdef _WIN32
    return std::filesystem::path(std::u8string(argument.begin(), argument.end()));
#else
    return std::filesystem::path(std::string(argument));
#endif
}

std::optional<std::u32string> DecodeUtf8(std::string_view bytes) {
    std::u32string text;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        // The sequence length and the least value it may encode, which refuses overlong forms.
        std::size_t length = 0;
        char32_t value = 0;
        char32_t least = 0;
        if (lead < 0x80) {
            length = 1;
            value = lead;
        } else if ((lead & 0xE0) == 0xC0) {
            length = 2;
            value = lead & 0x1F;
            least = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            length = 3;
            value = lead & 0x0F;
            least = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            length = 4;
            value = lead & 0x07;
            least = 0x10000;
        } else {
            return std::nullopt;
        }
        if (bytes.size() - i < length) {
            return std::nullopt;
        }
        for (std::size_t k = 1; k < length; ++k) {
            const std::optional<char32_t> bits = continuation(static_cast<unsigned char>(bytes[i + k]));
            if (!bits) {
                return std::nullopt;
            }
            value = value << 6 | *bits;
        }
        if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            return std::nullopt;
        }
        text.push_back(value);
        i += length;
    }
    return text;
}

std::filesystem::path ProgramFolder(std::string_view argv0) {
#ifdef _WIN32
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) {
            break;
        }
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name).parent_path();
        }
        name.resize(name.size() * 2);
    }
#else
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (!error) {
        return program.parent_path();
    }
#endif
    return PathOfArgument(argv0).parent_path();
}

}  // namespace keelwright::cli
