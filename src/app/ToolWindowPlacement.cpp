#include "app/ToolWindowPlacement.h"

#include <QFrame>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QVariant>
#include <QWidget>
#include <algorithm>

#include "app/WindowLook.h"

namespace keelwright {
namespace {

constexpr int kGap = 8;
constexpr QSize kLeast(240, 160);

// The largest rectangle up to `wanted` with its top-left corner at `corner`, within `room`, that keeps
// `gap` from every obstacle: each obstacle in the way cuts the width or the height, whichever keeps more.
std::optional<QRect> clearFrom(QPoint corner, QSize wanted, const QList<QRect>& obstacles, const QRect& room,
                               int gap) {
    QRect place(corner,
                wanted.boundedTo(QSize(room.right() + 1 - corner.x(), room.bottom() + 1 - corner.y())));
    for (bool cut = true; cut && !place.isEmpty();) {
        cut = false;
        for (const QRect& obstacle : obstacles) {
            const QRect kept = obstacle.adjusted(-gap, -gap, gap, gap);
            if (!kept.intersects(place)) {
                continue;
            }
            const int width = kept.left() - place.left();
            const int height = kept.top() - place.top();
            if (width <= 0 && height <= 0) {
                return std::nullopt;  // the corner lies in the obstacle's way
            }
            if (width * place.height() >= height * place.width()) {
                place.setWidth(width);
            } else {
                place.setHeight(height);
            }
            cut = true;
        }
    }
    return place.isEmpty() ? std::nullopt : std::optional(place);
}

// The corners to try beside `window`: right of it and below it, left of it and above it, each level with
// its edge and pulled into the room.
QList<QPoint> cornersBeside(const QRect& window, QSize wanted, const QRect& room, int gap) {
    const auto inside = [&](int x, int y) {
        return QPoint(std::clamp(x, room.left(), std::max(room.left(), room.right())),
                      std::clamp(y, room.top(), std::max(room.top(), room.bottom())));
    };
    const int leftOf = std::max(room.left(), window.left() - gap - wanted.width());
    const int above = std::max(room.top(), window.top() - gap - wanted.height());
    return {inside(window.right() + 1 + gap, window.top()),
            inside(window.left(), window.bottom() + 1 + gap),
            inside(leftOf, window.top()),
            inside(window.left(), above),
            inside(window.right() + 1 + gap, room.top()),
            inside(leftOf, room.top())};
}

std::optional<QRect> placeClearOf(QSize wanted, QSize least, const QList<QRect>& besides,
                                  const QList<QRect>& obstacles, const QRect& room, int gap) {
    std::optional<QRect> best;
    for (auto window = besides.rbegin(); window != besides.rend(); ++window) {
        for (const QPoint& corner : cornersBeside(*window, wanted, room, gap)) {
            const std::optional<QRect> place = clearFrom(corner, wanted, obstacles, room, gap);
            if (!place || place->width() < least.width() || place->height() < least.height()) {
                continue;
            }
            if (place->size() == wanted) {
                return place;
            }
            if (!best || place->width() * place->height() > best->width() * best->height()) {
                best = place;
            }
        }
    }
    return best;
}

}  // namespace

std::optional<QRect> ToolWindowPlace(QSize wanted, QSize least, const QList<QRect>& open, const QRect& room,
                                     int gap, const QRect& mainCommands) {
    if (open.isEmpty()) {
        return std::nullopt;
    }
    least = least.boundedTo(wanted);
    if (std::optional<QRect> place = placeClearOf(wanted, least, open, open, room, gap)) {
        return place;
    }
    if (std::optional<QRect> place = placeClearOf(wanted, least, open, {open.front()}, room, gap)) {
        return place;
    }
    if (mainCommands.isNull()) {
        return std::nullopt;
    }
    return placeClearOf(wanted, least, QList<QRect>(open) << mainCommands, {mainCommands}, room, gap);
}

void ScrollWhenSmall(QWidget* window) {
    auto* content = new QWidget;
    content->setLayout(window->layout());  // takes the layout, and its controls with it, off the window
    auto* scroller = new QScrollArea;
    scroller->setObjectName("scrWindow");
    scroller->setWidgetResizable(true);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setWidget(content);
    auto* whole = new QVBoxLayout(window);
    whole->setContentsMargins(0, 0, 0, 0);
    whole->addWidget(scroller);
}

void PlaceToolWindow(QWidget* window, const QList<const QWidget*>& alreadyOpen, const QRect& screen) {
    if (alreadyOpen.isEmpty()) {
        return;
    }
    // A window's frame is not known before it is shown; the main window's is the same window manager's.
    const QWidget* main = alreadyOpen.front();
    const QSize frame = main->frameGeometry().size() - main->size();
    const QPoint titleBar = main->geometry().topLeft() - main->frameGeometry().topLeft();
    QList<QRect> frames;
    for (const QWidget* open : alreadyOpen) {
        frames << open->frameGeometry();
    }
    QRect commands;
    if (const QVariant width = main->property(kCommandsWidthProperty); width.isValid()) {
        const QRect outer = frames.front();
        commands = QRect(outer.right() + 1 - width.toInt(), outer.top(), width.toInt(), outer.height());
    }
    // Small enough to find room, large enough to use: the contents scroll (ScrollWhenSmall).
    const QSize least = window->minimumSize().expandedTo(window->minimumSizeHint()).expandedTo(kLeast);
    if (const std::optional<QRect> place =
            ToolWindowPlace(window->size() + frame, least + frame, frames, screen, kGap, commands)) {
        window->setGeometry(QRect(place->topLeft() + titleBar, place->size() - frame));
        return;
    }
    PlaceOverOpener(window);
}

void PlaceToolWindow(QWidget* window) {
    QWidget* opener = window->parentWidget() != nullptr ? window->parentWidget()->window() : nullptr;
    const QScreen* screen = opener != nullptr ? opener->screen() : nullptr;
    if (screen == nullptr) {
        PlaceOverOpener(window);
        return;
    }
    QList<const QWidget*> open{opener};
    for (const QWidget* tool : opener->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (tool != window && tool->isWindow() && tool->isVisible()) {
            open << tool;
        }
    }
    PlaceToolWindow(window, open, screen->availableGeometry());
}

}  // namespace keelwright
