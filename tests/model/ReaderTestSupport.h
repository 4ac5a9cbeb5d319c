#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>

#include "model/ComponentsList.h"
#include "model/ComponentTable.h"
#include "model/Error.h"
#include "model/ScriptReaders.h"

namespace keelwright::test {

using Reader = void (*)(std::string_view, const std::string&, ComponentTable&, const ComponentsList&,
                        const ItemCountSink&);

// What a reader left: the table, and the count it showed (none when it failed before showing one).
struct Loaded {
    ComponentTable table;
    std::optional<std::int32_t> shownCount;
};

inline void RunReader(Reader reader, std::string_view text, Loaded& loaded, const ComponentsList& list) {
    reader(text, "script", loaded.table, list, [&](std::int32_t n) { loaded.shownCount = n; });
}

inline Loaded Read(Reader reader, std::string_view text, const ComponentsList& list = {}) {
    Loaded loaded;
    RunReader(reader, text, loaded, list);
    return loaded;
}

// Runs a reader on text that must fail and returns its error; `loaded` keeps what the reader left.
inline Error ReadFailure(Reader reader, std::string_view text, Loaded& loaded, const ComponentsList& list = {}) {
    try {
        RunReader(reader, text, loaded, list);
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "the script loaded";
    return Error(ErrorNumber::InvalidCall, "no error");
}

}  // namespace keelwright::test
