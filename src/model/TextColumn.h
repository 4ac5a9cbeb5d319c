#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace keelwright {

// A column of texts kept end to end in one buffer: a million short texts cost a few bytes each rather
// than a string object each, and walking the column reads memory in order.
class TextColumn {
public:
    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }

    // Text i; a position past the stored texts reads as the empty text.
    std::string_view operator[](std::size_t i) const {
        if (i >= ends_.size()) {
            return {};
        }
        const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
        return std::string_view(bytes_).substr(begin, ends_[i] - begin);
    }

    void clear();
    void reserve(std::size_t texts, std::size_t bytes);
    void push_back(std::string_view text);
    // Appends texts first to size() - 1 of another column.
    void append(const TextColumn& other, std::size_t first);
    // Replaces text i; costs the column's length unless the new text is as long as the old one.
    void set(std::size_t i, std::string_view text);
    void swap(TextColumn& other) noexcept;

private:
    std::string bytes_;
    std::vector<std::size_t> ends_;  // end of text i in bytes_
};

}  // namespace keelwright
