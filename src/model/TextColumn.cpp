#include "model/TextColumn.h"

#include <algorithm>

namespace keelwright {

void TextColumn::clear() {
    bytes_.clear();
    ends_.clear();
}

void TextColumn::reserve(std::size_t texts, std::size_t bytes) {
    ends_.reserve(texts);
    bytes_.reserve(bytes);
}

void TextColumn::push_back(std::string_view text) {
    bytes_.append(text);
    ends_.push_back(bytes_.size());
}

void TextColumn::append(const TextColumn& other, std::size_t first) {
    for (std::size_t i = first; i < other.size(); ++i) {
        push_back(other[i]);
    }
}

void TextColumn::set(std::size_t i, std::string_view text) {
    const std::size_t begin = i == 0 ? 0 : ends_[i - 1];
    const std::size_t oldLength = ends_[i] - begin;
    bytes_.replace(begin, oldLength, text);
    if (text.size() != oldLength) {
        for (std::size_t j = i; j < ends_.size(); ++j) {
            ends_[j] = ends_[j] - oldLength + text.size();
        }
    }
}

void TextColumn::swap(TextColumn& other) noexcept {
    bytes_.swap(other.bytes_);
    ends_.swap(other.ends_);
}

}  // namespace keelwright
