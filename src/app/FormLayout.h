#pragma once

#include <QRect>
#include <algorithm>

#include "app/WindowLook.h"

namespace keelwright {

// The rows of a frame, in twips: row i begins at top + i * pitch and is `height` high. Every control of a
// row takes the row's top and height, so a label lines up with its box; another row is one more index.
struct FormRows {
    int top;
    int pitch;
    int height;

    QRect cell(int row, int left, int width) const { return Twips(left, top + row * pitch, width, height); }
    // The bottom edge of the last of `rows` rows.
    constexpr int bottom(int rows) const { return top + (rows - 1) * pitch + height; }
};

// Controls one below the other down a column of the window, in twips, `gap` apart. Another control is one
// more call, and everything below it moves down.
class ColumnStack {
public:
    ColumnStack(int left, int top, int gap) : left_(left), next_(top), gap_(gap) {}

    // The top of the next control, `height` high, which then takes its place in the column.
    int take(int height) {
        const int top = next_;
        next_ += height + gap_;
        return top;
    }
    QRect place(int width, int height) { return Twips(left_, take(height), width, height); }
    void addSpace(int twips) { next_ += twips; }
    // Where the next control would begin.
    int next() const { return next_; }

private:
    int left_;
    int next_;
    int gap_;
};

}  // namespace keelwright
