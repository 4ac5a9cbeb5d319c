#include "cli/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "model/Error.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace keelwright::cli {
namespace {

// Writes the bytes through the C library's buffer to the system, which reports a full disk or a closed pipe.
void writeOut(std::string_view bytes) {
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size() || std::fflush(stdout) != 0) {
        const int error = errno;
        std::clearerr(stdout);
        throw Error(error == ENOSPC ? ErrorNumber::DiskFull : ErrorNumber::DeviceIo,
                    "cannot write to standard output" +
                        (error != 0 ? ": " + std::generic_category().message(error) : std::string()));
    }
}

}  // namespace

StandardOutput::StandardOutput() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    buffer_.reserve(kCapacity);
}

void StandardOutput::flush() {
    drain({});
}

void StandardOutput::drain(std::string_view more) {
    const std::string_view pending = buffer_;
    try {
        if (!pending.empty()) {
            writeOut(pending);
        }
    } catch (const Error&) {
        buffer_.clear();  // the command ends now, and nothing must go out twice
        throw;
    }
    buffer_.clear();
    if (more.size() < kCapacity) {
        buffer_.append(more);
    } else {
        writeOut(more);
    }
}

}  // namespace keelwright::cli
