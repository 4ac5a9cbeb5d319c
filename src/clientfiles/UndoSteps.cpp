#include "clientfiles/UndoSteps.h"

namespace keelwright {

void UndoSteps::undoAndRethrow(const Error& cause) const {
    for (auto undo = undos_.rbegin(); undo != undos_.rend(); ++undo) {
        try {
            (*undo)();
        } catch (const Error& e) {
            throw Error(cause.number(),
                        cause.description() + "; undoing the change also failed: " + e.description());
        }
    }
    throw cause;
}

}  // namespace keelwright
