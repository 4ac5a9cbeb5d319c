#pragma once

#include <exception>
#include <string>

namespace keelwright {

// Error numbers as users of the Windows tool know them from its run-time error reports.
enum class ErrorNumber : int {
    InvalidCall = 5,
    Overflow = 6,
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
    int line() const { return line_; }

    // Names the file and line the error was met in; returns *this so a handler can rethrow it.
    Error& at(std::string file, int line = 0);

    // "FILE:LINE: REASON", "FILE: REASON" or "REASON".
    const std::string& description() const { return description_; }
    // The error report's text: the number, one space, the description.
    std::string report() const;
    const char* what() const noexcept override { return description_.c_str(); }

private:
    void compose();

    ErrorNumber number_;
    std::string reason_;
    std::string file_;
    int line_ = 0;
    std::string description_;
};

}  // namespace keelwright
