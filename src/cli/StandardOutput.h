#pragma once

#include <string>
#include <string_view>

namespace keelwright::cli {

// Standard output, written through a buffer of its own so that a long listing costs few system calls. A
// write that fails (a full disk, a closed pipe) throws at once, so that the command fails instead of
// reporting success with its output lost.
class StandardOutput {
public:
    // On Windows this puts standard output in binary mode, so CR LF line ends go out as written.
    StandardOutput();

    void write(std::string_view bytes) {
        if (buffer_.size() + bytes.size() > kCapacity) {
            drain(bytes);
            return;
        }
        buffer_.append(bytes);
    }
    void put(char c) {
        if (buffer_.size() == kCapacity) {
            drain({});
        }
        buffer_.push_back(c);
    }

    // Hands everything written so far to the system. Throws Error (device I/O) when it cannot be written.
    void flush();

private:
    static constexpr std::size_t kCapacity = 64 * 1024;

    // Writes the buffer and `more`, then empties the buffer.
    void drain(std::string_view more);

    std::string buffer_;
};

}  // namespace keelwright::cli
