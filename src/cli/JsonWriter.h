#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "cli/StandardOutput.h"

namespace keelwright::cli {

// Writes one-line JSON as the data is walked, so that no document is built in memory: members and
// elements go out in the order they are given, with the commas between them. Calls must nest as JSON
// does; keys are written as given and so must come in the order the output promises.
class JsonWriter {
public:
    explicit JsonWriter(StandardOutput& out) : out_(out) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    // The key of the next member of the open object.
    JsonWriter& key(std::string_view name);

    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    // Text read from a file: single-byte text, each byte the character of the same value (Latin-1).
    JsonWriter& latin1(std::string_view bytes);
    // Text of the program's own, in UTF-8.
    JsonWriter& utf8(std::string_view text);

private:
    // The comma before a member or an element that follows another in its object or array.
    void beforeValue();
    void string(std::string_view bytes, bool fromLatin1);

    StandardOutput& out_;
    std::vector<bool> empty_;  // for each open object or array: nothing written in it yet
    bool afterKey_ = false;
};

}  // namespace keelwright::cli
