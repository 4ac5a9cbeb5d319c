#pragma once

#include <filesystem>

namespace keelwright::test {

// Another process holding a file open for reading and writing, sharing nothing, as a running game client
// may, while this object lives: keelwright_hold_file.exe, which lies beside the test program. Windows only.
class HeldFile {
public:
    // Returns once the other process holds the file; throws std::runtime_error when it cannot.
    explicit HeldFile(const std::filesystem::path& path);
    ~HeldFile();
    HeldFile(const HeldFile&) = delete;
    HeldFile& operator=(const HeldFile&) = delete;

private:
    // Ends the helper's input, so it closes the file and exits, and waits for it.
    void release();

    void* input_ = nullptr;  // the write end of the helper's standard input
    void* process_ = nullptr;
};

}  // namespace keelwright::test
