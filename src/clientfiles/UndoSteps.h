#pragma once

#include <functional>
#include <vector>

#include "model/Error.h"

namespace keelwright {

// The undo of every file written so far in a change of several files, run the last written first when a
// later step fails.
class UndoSteps {
public:
    // Keeps the step that puts back what the file's write just did.
    void add(std::function<void()> undo) { undos_.push_back(std::move(undo)); }

    // Runs every step, then throws `cause`; when a step fails, throws `cause` saying that undoing failed too.
    [[noreturn]] void undoAndRethrow(const Error& cause) const;

private:
    std::vector<std::function<void()>> undos_;
};

}  // namespace keelwright
