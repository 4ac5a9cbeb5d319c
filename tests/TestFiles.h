#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace keelwright::test {

// A fresh folder under the system's temporary folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }
    // Writes the bytes to a file in the folder and returns its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

// The time stamp of the tests' new UOP entries: 2024-01-01 00:00 UTC as a Windows FILETIME.
inline constexpr std::int64_t kFileTime = 133485408000000000;

// The bytes of a string, as the readers of binary files take them.
inline std::span<const std::uint8_t> AsBytes(const std::string& bytes) {
    return {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()};
}

std::string ReadAll(const std::filesystem::path& path);
void WriteAll(const std::filesystem::path& path, std::string_view bytes);

// The lines joined with CR LF after each, as a Windows program writes them.
std::string CrLfLines(const std::vector<std::string>& lines);
// The lines joined with LF after each.
std::string LfLines(const std::vector<std::string>& lines);

}  // namespace keelwright::test
