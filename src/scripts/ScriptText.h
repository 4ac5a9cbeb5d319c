#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>

namespace keelwright {

// A script under construction, built by appending whole lines: the server reads CR LF line ends, the last
// line's included.
class ScriptText {
public:
    explicit ScriptText(std::size_t expectedBytes) { text_.reserve(expectedBytes); }

    // Appends one line made of the parts, end to end, and its CR LF.
    void line(std::initializer_list<std::string_view> parts);

    std::string take() && { return std::move(text_); }

private:
    std::string text_;
};

}  // namespace keelwright
