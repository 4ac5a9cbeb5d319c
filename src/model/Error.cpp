#include "model/Error.h"

namespace keelwright {

Error::Error(ErrorNumber number, std::string reason) : number_(number), reason_(std::move(reason)) {
    compose();
}

Error& Error::at(std::string file, int line) {
    file_ = std::move(file);
    line_ = line;
    compose();
    return *this;
}

std::string Error::report() const {
    return std::to_string(static_cast<int>(number_)) + " " + description_;
}

void Error::compose() {
    description_.clear();
    if (!file_.empty()) {
        description_ = file_;
        if (line_ > 0) {
            description_ += ':';
            description_ += std::to_string(line_);
        }
        description_ += ": ";
    }
    description_ += reason_;
}

}  // namespace keelwright
