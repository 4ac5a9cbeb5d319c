#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace keelwright {

// Error numbers as users of the Windows tool know them from its run-time error reports.
enum class ErrorNumber : int {
    InvalidCall = 5,
    Overflow = 6,
    Cancelled = 18,  // the user stopped the work before anything was written
    TypeMismatch = 13,
    BadFileName = 52,
    FileNotFound = 53,
    DeviceIo = 57,
    DiskFull = 61,
    InputPastEnd = 62,
    BadRecordNumber = 63,
    PathAccess = 75,
    InvalidFileFormat = 321,
};

// A failure of a Keelwright operation: an error number, a reason and, for errors met while reading a
// file, the file and the line (0 when no line applies).
class Error : public std::exception {
public:
    Error(ErrorNumber number, std::string reason);

    ErrorNumber number() const { return number_; }
    const std::string& reason() const { return reason_; }
    const std::string& file() const { return file_; }
    std::int64_t line() const { return line_; }

    // Names the file and line the error was met in; returns *this so a handler can rethrow it.
    Error& at(std::string file, std::int64_t line = 0);

    // "FILE:LINE: REASON", "FILE: REASON" or "REASON"; control characters in FILE shown as \xNN.
    const std::string& description() const { return description_; }
    // The error report's text: the number, one space, the description.
    std::string report() const;
    const char* what() const noexcept override { return description_.c_str(); }

private:
    void compose();

    ErrorNumber number_;
    std::string reason_;
    std::string file_;
    std::int64_t line_ = 0;
    std::string description_;
};

// A file name as an error shows it: control characters as \xNN, letters beyond ASCII (UTF-8) as they are.
std::string ShownFileName(std::string_view name);

// Input text as an error shows it: in double quotes, at most kQuotedInputLength bytes of it followed by "…"
// when there is more, and every control character and byte above 0x7E as \xNN, so that no input can flood a
// message or reach a terminal as an escape sequence.
inline constexpr std::size_t kQuotedInputLength = 80;
std::string QuoteInput(std::string_view input);

}  // namespace keelwright
